#pragma once

#include <QFrame>

class QMouseEvent;

// The bar beside a pane of fixed width: dragging it makes the pane wider or narrower.
// The pane stands before the bar in a horizontal layout, its width set with
// setFixedWidth; the bar keeps it between MinSize and what leaves MinSize to the
// widgets after the bar. Bar and pane are shown and hidden separately.
class TSplitter : public QFrame {
    Q_OBJECT

public:
    static constexpr int kWidth = 3;

    explicit TSplitter(QWidget* pane, QWidget* parent = nullptr);

    QWidget* Pane() const { return m_pane; }
    int MinSize = 30;

signals:
    // The pane's width changed by a drag.
    void moved(int width);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_pane;
    bool m_dragging = false;
    int m_startX = 0;
    int m_startWidth = 0;
};
