// TMenuBar: the menu bar as a dockable tool bar of flat buttons.
#pragma once

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QToolBar>

class QToolButton;

// The main menu shown on a tool bar: one flat button with the caption of each top-level
// item of Menu, dropping down that item's sub-menu (or running the item when it has
// none). The buttons are rebuilt when another menu is set and when items are added to
// or removed from the menu; a changed item updates its button.
class TMenuBar : public QToolBar {
    Q_OBJECT

public:
    explicit TMenuBar(QWidget* parent = nullptr);
    ~TMenuBar() override;

    QMenu* Menu() const { return m_menu; }
    // Setting the menu already set does nothing; nullptr leaves the bar empty.
    void SetMenu(QMenu* menu);

    // The buttons, in the order of the menu's top-level items.
    const QList<QToolButton*>& Buttons() const { return m_buttons; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void clearButtons();
    void scheduleRebuild();
    void bind(qsizetype index, QAction* item);

    QPointer<QMenu> m_menu;
    // The same object, for comparisons that must not touch a menu being destroyed.
    QObject* m_watched = nullptr;
    QList<QToolButton*> m_buttons;
    QList<QAction*> m_buttonActions; // the bar's own actions that hold the buttons
    bool m_rebuildScheduled = false;
};
