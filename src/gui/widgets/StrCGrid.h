// TStrColGrid: the sortable string grid of every table of the window.
#pragma once

#include "view/StrCGridModel.h"

#include <QAbstractScrollArea>

#include <functional>

class QPainter;

// The string grid of every table of the main window: cells, attributes and sorting of
// TStrColGridModel, drawn by itself. Fixed rows and columns stay in place while the
// rest scrolls cell by cell; a mouse press in row 0 sorts by that column first. Ctrl+C
// copies the focused cell's text, Ctrl+Shift+C the whole grid as tab-separated text.
class TStrColGrid : public QAbstractScrollArea, public TStrColGridModel {
    Q_OBJECT

public:
    // Colours start from the palette: the grid's colour from Base, the fixed colour from
    // Button, the text colour from Text.
    explicit TStrColGrid(QWidget* parent = nullptr);

    // The tooltip of the cell under the pointer, asked for when the pointer rests on a
    // cell; an empty text shows none.
    using TCellToolTip = std::function<QString(int col, int row)>;
    void SetCellToolTip(TCellToolTip toolTip) { m_cellToolTip = std::move(toolTip); }

signals:
    // A left click (double click) on a cell, after the grid has handled it.
    void cellClicked(int col, int row);
    void cellDoubleClicked(int col, int row);
    // A press or a key may have moved the focused cell, or a sort the rows under it.
    void currentCellMoved();

protected:
    void gridChanged(TChange change) override;
    // A context menu asked for from the keyboard (the Menu key, Shift+F10) belongs to the
    // focused cell: it reaches the viewport as if asked for at that cell.
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TGridCoord press(QMouseEvent* event);
    void keyboardContextMenu();
    void updateScrollBars();
    void drawCell(QPainter& painter, int col, int row, bool gridHasFocus);
    void drawLines(QPainter& painter, int col, int row, const TGridRect& rect);

    bool m_syncingScrollBars = false;
    TCellToolTip m_cellToolTip;
};
