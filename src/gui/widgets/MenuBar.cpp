// TMenuBar: the menu bar as a dockable tool bar of flat buttons.
#include "gui/widgets/MenuBar.h"

#include <QActionEvent>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

TMenuBar::TMenuBar(QWidget* parent) : QToolBar(parent) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setContentsMargins(0, 0, 0, 0);
    // a menu bar shows no drop-down arrows beside its captions
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
}

TMenuBar::~TMenuBar() {
    if (m_watched)
        m_watched->removeEventFilter(this);
}

void TMenuBar::SetMenu(QMenu* menu) {
    if (menu == m_menu)
        return;
    if (m_watched) {
        m_watched->removeEventFilter(this);
        disconnect(m_watched, nullptr, this, nullptr);
    }
    m_menu = menu;
    m_watched = menu;
    if (m_watched) {
        m_watched->installEventFilter(this);
        connect(m_watched, &QObject::destroyed, this, [this] {
            m_watched = nullptr;
            clearButtons();
        });
    }
    rebuild();
}

void TMenuBar::clearButtons() {
    // deleting the widget action deletes its button too
    qDeleteAll(m_buttonActions);
    m_buttonActions.clear();
    m_buttons.clear();
}

void TMenuBar::rebuild() {
    m_rebuildScheduled = false;
    clearButtons();
    if (!m_menu)
        return;
    const QList<QAction*> items = m_menu->actions();
    for (QAction* item : items) {
        if (item->isSeparator())
            continue;
        auto* button = new QToolButton(this);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (item->menu()) {
            button->setMenu(item->menu());
            button->setPopupMode(QToolButton::InstantPopup);
            // the pointer left the button over the menu, so the button never heard it go:
            // once the menu has closed it looks raised only when the pointer is on it
            connect(item->menu(), &QMenu::aboutToHide, button, [button] {
                QTimer::singleShot(0, button, [button] {
                    if (!button->rect().contains(button->mapFromGlobal(QCursor::pos()))) {
                        button->setAttribute(Qt::WA_UnderMouse, false);
                        button->update();
                    }
                });
            });
        } else {
            connect(button, &QToolButton::clicked, item, &QAction::trigger);
        }
        m_buttonActions.append(addWidget(button));
        m_buttons.append(button);
    }
    for (qsizetype i = 0, b = 0; i < items.size(); ++i)
        if (!items[i]->isSeparator())
            bind(b++, items[i]);
}

// The caption keeps its '&', so the button has the item's mnemonic.
void TMenuBar::bind(qsizetype index, QAction* item) {
    QToolButton* button = m_buttons[index];
    button->setText(item->text());
    button->setToolTip(item->toolTip());
    button->setEnabled(item->isEnabled());
    // a widget on a tool bar is shown and hidden through its action
    m_buttonActions[index]->setVisible(item->isVisible());
}

void TMenuBar::scheduleRebuild() {
    // later, so that an item may be added or removed from one of the buttons' own commands
    if (m_rebuildScheduled)
        return;
    m_rebuildScheduled = true;
    QTimer::singleShot(0, this, [this] {
        if (m_rebuildScheduled)
            rebuild();
    });
}

bool TMenuBar::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != m_watched || (type != QEvent::ActionAdded && type != QEvent::ActionRemoved &&
                                 type != QEvent::ActionChanged))
        return QToolBar::eventFilter(watched, event);
    if (type != QEvent::ActionChanged) {
        scheduleRebuild();
    } else {
        // a plain QWidget here: the menu may be on its way out
        const QList<QAction*> items = static_cast<QWidget*>(watched)->actions();
        const QAction* changed = static_cast<QActionEvent*>(event)->action();
        for (qsizetype i = 0, b = 0; i < items.size() && b < m_buttons.size(); ++i) {
            if (items[i]->isSeparator())
                continue;
            if (items[i] == changed)
                bind(b, items[i]);
            ++b;
        }
    }
    return QToolBar::eventFilter(watched, event);
}
