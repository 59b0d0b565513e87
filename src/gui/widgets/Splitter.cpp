#include "gui/widgets/Splitter.h"

#include <QMouseEvent>

#include <algorithm>

TSplitter::TSplitter(QWidget* pane, QWidget* parent) : QFrame(parent), m_pane(pane) {
    setFixedWidth(kWidth);
    setCursor(Qt::SplitHCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QFrame::mousePressEvent(event);
    m_dragging = true;
    m_startX = event->globalPosition().toPoint().x();
    m_startWidth = m_pane->width();
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return QFrame::mouseMoveEvent(event);
    // the pane may grow until the area right of the bar keeps MinSize pixels
    const int widest =
        parentWidget() ? std::max(MinSize, parentWidget()->width() - m_pane->x() - kWidth - MinSize)
                       : std::max(MinSize, m_pane->width());
    const int wanted = m_startWidth + event->globalPosition().toPoint().x() - m_startX;
    const int width = std::clamp(wanted, MinSize, widest);
    if (width != m_pane->width()) {
        m_pane->setFixedWidth(width);
        emit moved(width);
    }
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QFrame::mouseReleaseEvent(event);
}
