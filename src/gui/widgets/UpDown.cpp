#include "gui/widgets/UpDown.h"

#include "platform/IniFile.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

TUpDown::TUpDown(QLineEdit* associate, int min, int max, QWidget* parent)
    : QWidget(parent), m_associate(associate), m_min(min), m_max(max), m_position(min) {
    ButtonUp = new QToolButton(this);
    ButtonDown = new QToolButton(this);
    const int half = std::max(associate->sizeHint().height() / 2, 8);
    for (auto [button, arrow] : {std::pair{ButtonUp, Qt::UpArrow}, {ButtonDown, Qt::DownArrow}}) {
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, half);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ButtonUp);
    layout->addWidget(ButtonDown);
    connect(ButtonUp, &QToolButton::clicked, this, [this] { step(1); });
    connect(ButtonDown, &QToolButton::clicked, this, [this] { step(-1); });
}

void TUpDown::SetPosition(int position) {
    m_position = std::clamp(position, m_min, m_max);
    m_associate->setText(QString::number(m_position));
}

void TUpDown::step(int delta) {
    // the entry may have been changed behind the arrows' back
    const int shown = ProfileTextToInteger(m_associate->text().toStdString()).value_or(m_position);
    SetPosition(std::clamp(shown, m_min, m_max) + delta);
}
