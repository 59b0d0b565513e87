// TStrColGrid: the sortable string grid of every table of the window.
#include "gui/widgets/StrCGrid.h"

#include "gui/support/QtBoundary.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kGray = 0x808080;
constexpr TColor kBlack = 0x000000;

QRect toQRect(const TGridRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

TStrColGrid::TStrColGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    SetColor(toTColor(palette().color(QPalette::Base)));
    SetFixedColor(toTColor(palette().color(QPalette::Button)));
    SetFontColor(toTColor(palette().color(QPalette::Text)));
}

void TStrColGrid::gridChanged(TChange) {
    updateScrollBars();
    viewport()->update();
}

bool TStrColGrid::event(QEvent* event) {
    // the platform aims a keyboard menu at the middle of the focused widget, whatever cell
    // has the focus; one from the mouse arrives at the viewport
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        keyboardContextMenu();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void TStrColGrid::keyboardContextMenu() {
    ScrollToFocus(viewport()->width(), viewport()->height());
    const TGridRect cell = CellRect(Col(), Row());
    // the menu opens at the cell's lower left corner, within the part of it that shows
    const QRect shown = viewport()->rect();
    const QPoint at(std::clamp(cell.left + 1, 0, std::max(shown.right(), 0)),
                    std::clamp(cell.bottom - 1, 0, std::max(shown.bottom(), 0)));
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport(), &menu);
}

bool TStrColGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !m_cellToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const TGridCoord cell = MouseCoord(help->pos().x(), help->pos().y());
    const QString text = cell.x >= 0 ? m_cellToolTip(cell.x, cell.y) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        // the tip goes when the pointer leaves the cell
        QToolTip::showText(help->globalPos(), text, viewport(), toQRect(CellRect(cell.x, cell.y)));
    }
    return true;
}

// The bars count cells below (right of) the fixed ones. Their signals stay on: the scroll
// area shows and hides them on a change of range; the flag keeps their value changes
// from coming back here.
void TStrColGrid::updateScrollBars() {
    if (m_syncingScrollBars)
        return;
    m_syncingScrollBars = true;
    const QSize size = viewport()->size();
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    vertical->setRange(0, MaxTopRow(size.height()) - FixedRows());
    vertical->setPageStep(VisibleRowCount(size.height()));
    vertical->setValue(TopRow() - FixedRows());
    horizontal->setRange(0, MaxLeftCol(size.width()) - FixedCols());
    horizontal->setPageStep(VisibleColCount(size.width()));
    horizontal->setValue(LeftCol() - FixedCols());
    m_syncingScrollBars = false;
}

void TStrColGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TStrColGrid::scrollContentsBy(int, int) {
    if (m_syncingScrollBars)
        return;
    m_syncingScrollBars = true;
    SetTopRow(FixedRows() + verticalScrollBar()->value());
    SetLeftCol(FixedCols() + horizontalScrollBar()->value());
    m_syncingScrollBars = false;
    viewport()->update();
}

void TStrColGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), toQColor(Color()));
    painter.setFont(font());
    const bool gridHasFocus = hasFocus();
    const QSize size = viewport()->size();
    for (int row = FixedRows() > 0 ? 0 : TopRow(); row < RowCount();
         row = row + 1 == FixedRows() ? TopRow() : row + 1) {
        bool rowShown = false;
        for (int col = FixedCols() > 0 ? 0 : LeftCol(); col < ColCount();
             col = col + 1 == FixedCols() ? LeftCol() : col + 1) {
            const TGridRect rect = CellRect(col, row);
            if (rect.left >= size.width() || rect.top >= size.height())
                break;
            rowShown = true;
            drawCell(painter, col, row, gridHasFocus);
            drawLines(painter, col, row, rect);
        }
        if (!rowShown)
            break;
    }
}

void TStrColGrid::drawCell(QPainter& painter, int col, int row, bool gridHasFocus) {
    const TGridRect rect = CellRect(col, row);
    if (rect.isEmpty())
        return;
    const QRect cell = toQRect(rect);
    const TGridDrawState state = DrawState(col, row, gridHasFocus);
    const TCellLook look = CellLook(col, row, state, gridHasFocus);
    QColor background = toQColor(look.background);
    QColor text = toQColor(look.text);
    if (look.fill == TCellFill::kHighlight) {
        background = palette().color(QPalette::Highlight);
        text = palette().color(QPalette::HighlightedText);
    }
    painter.save();
    painter.fillRect(cell, background);
    const std::string& cp932 = Cells(col, row);
    if (!cp932.empty()) {
        const QString caption = qsjis(cp932);
        const QFontMetrics metrics(painter.font());
        const int x = TextLeft(rect, metrics.horizontalAdvance(caption), look.alignment);
        painter.setClipRect(cell);
        painter.setPen(text);
        painter.drawText(x, rect.top + kTextTopMargin + metrics.ascent(), caption);
    }
    painter.restore();
    if (look.focusRect) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = cell;
        option.backgroundColor = background;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    if (look.bevel) {
        const int right = rect.right - 1;
        const int bottom = rect.bottom - 1;
        painter.setPen(palette().color(QPalette::Light));
        const QPoint highlight[] = {{right, rect.top}, {rect.left, rect.top}, {rect.left, bottom}};
        painter.drawPolyline(highlight, 3);
        painter.setPen(QColor(128, 128, 128));
        const QPoint shadow[] = {{rect.left, bottom}, {right, bottom}, {right, rect.top}};
        painter.drawPolyline(shadow, 3);
    }
}

// The line right of and below a cell; fixed cells get black lines, the others silver
// (grey on a silver grid), as the platform grid draws them.
void TStrColGrid::drawLines(QPainter& painter, int col, int row, const TGridRect& rect) {
    const int width = GridLineWidth();
    if (width <= 0)
        return;
    const bool fixed = col < FixedCols() || row < FixedRows();
    const QColor color = toQColor(fixed ? kBlack : (Color() == kSilver ? kGray : kSilver));
    const TGridOptions& options = Options();
    const bool vertical = col < FixedCols() ? options.fixedVertLine : options.vertLine;
    const bool horizontal = row < FixedRows() ? options.fixedHorzLine : options.horzLine;
    if (vertical)
        painter.fillRect(rect.right, rect.top, width, rect.height() + (horizontal ? width : 0),
                         color);
    if (horizontal)
        painter.fillRect(rect.left, rect.bottom, rect.width(), width, color);
}

TGridCoord TStrColGrid::press(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const TGridCoord cell = MouseDown(at.x(), at.y());
    if (event->button() == Qt::LeftButton && cell.x >= FixedCols() && cell.y >= FixedRows() &&
        cell.x >= 0 && cell.y >= 0) {
        FocusCell(cell.x, cell.y);
        ScrollToFocus(viewport()->width(), viewport()->height());
    }
    emit currentCellMoved();
    return cell;
}

void TStrColGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const TGridCoord cell = press(event);
    if (event->button() == Qt::LeftButton && cell.x >= 0)
        emit cellClicked(cell.x, cell.y);
}

// Qt delivers the second press of a double click only as the double click; it is a
// press all the same, so a double click on a heading sorts twice.
void TStrColGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const TGridCoord cell = press(event);
    if (event->button() == Qt::LeftButton && cell.x >= 0)
        emit cellDoubleClicked(cell.x, cell.y);
}

void TStrColGrid::keyPressEvent(QKeyEvent* event) {
    // where the platform makes no menu of them itself
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        keyboardContextMenu();
        return;
    }
    // the whole grid for a spreadsheet, or the current cell
    if (event->key() == Qt::Key_C &&
        event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
        QGuiApplication::clipboard()->setText(qsjis(TabSeparatedText()));
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(qsjis(CopiedCell(Col(), Row())));
        return;
    }
    const int page = std::max(VisibleRowCount(viewport()->height()), 1);
    const bool control = event->modifiers() & Qt::ControlModifier;
    int col = Col();
    int row = Row();
    switch (event->key()) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_Home:
        if (control)
            row = 0;
        else
            col = 0;
        break;
    case Qt::Key_End:
        if (control)
            row = RowCount() - 1;
        else
            col = ColCount() - 1;
        break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    FocusCell(col, row);
    ScrollToFocus(viewport()->width(), viewport()->height());
    emit currentCellMoved();
}

void TStrColGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TStrColGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
