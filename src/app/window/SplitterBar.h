#pragma once

#include <QWidget>

// A bar between a pane and the area beside it, as the platform's splitter: dragging it
// sets the pane's width, which stays fixed while the window is resized. The pane and
// the bar are shown and hidden on their own.
class TSplitterBar : public QWidget {
    Q_OBJECT

public:
    // pane lies left of the bar in the same layout.
    TSplitterBar(QWidget* pane, QWidget* parent);

    // Pixels; the pane is never made narrower than this by a drag.
    static constexpr int kMinSize = 30;
    static constexpr int kBarWidth = 3;

    // The pane's width, kept while the pane is hidden.
    int PaneWidth() const;
    void SetPaneWidth(int width);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_pane;
    int m_pressX = 0;
    int m_pressWidth = 0;
    bool m_dragging = false;
};
