#include "app/window/SplitterBar.h"

#include <QMouseEvent>

#include <algorithm>

TSplitterBar::TSplitterBar(QWidget* pane, QWidget* parent) : QWidget(parent), m_pane(pane) {
    setFixedWidth(kBarWidth);
    setCursor(Qt::SplitHCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

int TSplitterBar::PaneWidth() const {
    return m_pane->maximumWidth();
}

void TSplitterBar::SetPaneWidth(int width) {
    m_pane->setFixedWidth(std::max(width, 0));
}

void TSplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_pressX = static_cast<int>(event->globalPosition().x());
    m_pressWidth = PaneWidth();
}

// The pane may grow until the area right of the bar keeps kMinSize pixels.
void TSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    const int delta = static_cast<int>(event->globalPosition().x()) - m_pressX;
    const int room = parentWidget() != nullptr
                         ? parentWidget()->width() - m_pane->x() - kBarWidth - kMinSize
                         : m_pressWidth + delta;
    SetPaneWidth(std::clamp(m_pressWidth + delta, kMinSize, std::max(room, kMinSize)));
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}
