// TStrColGridModel: the string grid's cells, colours, alignment and sorting, without a toolkit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The state and rules of the sortable string grid, free of any toolkit, so that its
// cells, attributes, sorting, geometry and drawing decisions are tested without a
// window. TStrColGrid (StrCGrid.h) puts a Qt widget around it. Cell texts are CP932.

using TColor = std::uint32_t; // 0xRRGGBB

enum TAlignment : std::int32_t { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

// Which directions a click on the heading row gives; soNon switches sorting off.
enum TSortOpt : std::uint8_t { soBoth, soUpOnly, soDownOnly, soNon };

enum TColSortKind : std::uint8_t { kSortText = 0, kSortNumber = 1, kSortNone = 2 };

struct TGridOptions {
    bool fixedVertLine = true;
    bool fixedHorzLine = true;
    bool vertLine = true;
    bool horzLine = true;
    bool drawFocusSelected = false; // the focused cell is highlighted like the selection
    bool rowSelect = false;         // the selection is the whole row of the focused cell
};

struct TGridCoord {
    int x = -1; // column
    int y = -1; // row
    bool operator==(const TGridCoord&) const = default;
};

// Pixel rectangle of a cell without its grid lines: right and bottom are exclusive.
struct TGridRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const TGridRect&) const = default;
};

struct TGridDrawState {
    bool selected = false;
    bool focused = false; // the focused cell of a grid that has the keyboard focus
    bool fixed = false;
    bool exactlyFixed() const { return fixed && !selected && !focused; }
};

// How one cell is painted. For kHighlight the colours are the system's highlight pair,
// which only the widget knows; background and text are then left at the defaults.
enum class TCellFill { kFixed, kHighlight, kRecord, kPrepared };

struct TCellLook {
    TCellFill fill = TCellFill::kPrepared;
    TColor background = 0;
    TColor text = 0;
    TAlignment alignment = kAlignLeft;
    bool focusRect = false;
    bool bevel = false;
};

// A text that StrToFloat would read: blanks, an optional sign, digits with an optional
// decimal point (at least one digit), an optional exponent, blanks. Returns false
// for anything else, the empty text included.
bool GridTextToFloat(std::string_view text, double& value);

// The CP932 text in upper case by the locale's rules: Latin, full-width Latin, Greek
// and Cyrillic letters. Bytes that are not valid CP932 leave the text as it was, apart
// from the single-byte Latin letters, which are raised without touching the second
// byte of a two-byte character.
std::string GridUpperCase(std::string_view cp932);

class TStrColGridModel {
public:
    // Five columns and rows, one fixed row and column, cells 64 x 24 pixels.
    TStrColGridModel();
    virtual ~TStrColGridModel() = default;
    TStrColGridModel(const TStrColGridModel&) = delete;
    TStrColGridModel& operator=(const TStrColGridModel&) = delete;

    // -- the string grid --------------------------------------------------------------

    // A count below 1 becomes 1; fixed rows (columns) are cut to count - 1 when the count
    // falls to them. Cells of rows and columns taken away are lost; attributes stay.
    int ColCount() const { return m_colCount; }
    void SetColCount(int count);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int count);
    // Must be below the column (row) count, else std::invalid_argument; scrolls back to
    // the first column (row) after the fixed ones.
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int count);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int count);

    // The text of a cell; empty outside the grid.
    const std::string& Cells(int col, int row) const;
    // Outside the grid: ERangeError, nothing written.
    void SetCells(int col, int row, std::string text);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int width); // resets every column width
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int height); // resets every row height
    // Outside the grid the default is read and a write is ignored. Negative sizes are 0.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int width);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(TColor color);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);

    const TGridOptions& Options() const { return m_options; }
    void SetOptions(const TGridOptions& options);

    // The focused cell, always one outside the fixed rows and columns.
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    // Clamped into the scrollable part of the grid.
    void FocusCell(int col, int row);

    // The first scrollable row and column shown after the fixed ones.
    int TopRow() const { return m_topRow; }
    void SetTopRow(int row);
    int LeftCol() const { return m_leftCol; }
    void SetLeftCol(int col);
    // The largest TopRow (LeftCol) that still fills a view of that height (width).
    int MaxTopRow(int clientHeight) const;
    int MaxLeftCol(int clientWidth) const;
    // Rows (columns) from TopRow (LeftCol) that fit wholly into the view; at least 1.
    int VisibleRowCount(int clientHeight) const;
    int VisibleColCount(int clientWidth) const;
    // Scrolls the least so that the focused cell is wholly in a view of this size.
    void ScrollToFocus(int clientWidth, int clientHeight);

    // The cell under a point of the view; {-1, -1} when there is none.
    TGridCoord MouseCoord(int x, int y) const;
    // Where a cell is drawn; an empty rectangle when it is scrolled out of view.
    TGridRect CellRect(int col, int row) const;
    // Total size of the fixed part and of all cells, grid lines included.
    int FixedWidth() const;
    int FixedHeight() const;

    // -- what this grid adds ------------------------------------------------------------

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    TAlignment FixedAlignment() const { return m_fixedAlignment; }
    void SetFixedAlignment(TAlignment alignment);
    bool FocusDraw() const { return m_focusDraw; }
    void SetFocusDraw(bool on);
    bool FocusRectDraw() const { return m_focusRectDraw; }
    void SetFocusRectDraw(bool on);
    TSortOpt SortOpt() const { return m_sortOpt; }
    void SetSortOpt(TSortOpt option) { m_sortOpt = option; }

    // The six cell operations. A column or row outside the grid raises ERangeError
    // "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。" and changes nothing. Reading a cell without
    // an attribute record gives the grid's default and creates no record.
    TAlignment CellAlignment(int col, int row) const;
    void SetCellAlignment(int col, int row, TAlignment alignment);
    TColor CellFontColor(int col, int row) const;
    void SetCellFontColor(int col, int row, TColor color);
    TColor CellColor(int col, int row) const;
    void SetCellColor(int col, int row, TColor color);

    // Outside the columns a kind reads as kSortNone and a write is ignored.
    TColSortKind ColSortKind(int col) const;
    void SetColSortKind(int col, TColSortKind kind);

    // A cell's text as copied: without the blanks that pad it on either side.
    std::string CopiedCell(int col, int row) const;
    // The whole grid for a spreadsheet: every row in the order shown, the headings
    // included, copied cells separated by tabs and each row ended by "\n"; a tab or line
    // break inside a cell becomes a blank.
    std::string TabSeparatedText() const;

    // Sorts rows 1 .. RowCount - 1 by the text of column col; row 0 stays.
    void SortByColumn(int col);
    // The column of the last sort (-1 before the first) and its direction.
    int SortedCol() const { return m_sortCol; }
    bool SortedDescending() const { return m_sortDescending; }
    bool SortedByNumber() const { return m_sortByNumber; }

    // A mouse-button press at a point of the view: a press in row 0 sorts by that
    // column before anything else happens. Returns the cell under the point.
    TGridCoord MouseDown(int x, int y);

    // The drawing decisions for one cell.
    TCellLook CellLook(int col, int row, const TGridDrawState& state, bool gridHasFocus) const;
    // The state the grid gives a cell when it draws it.
    TGridDrawState DrawState(int col, int row, bool gridHasFocus) const;
    // Where the text of a cell starts: left + 2, right - width - 2 or centred.
    static int TextLeft(const TGridRect& rect, int textWidth, TAlignment alignment);
    static constexpr int kTextTopMargin = 2;

    // Number of attribute records held; they are created only by a write.
    std::size_t AttributeRecordCount() const;

protected:
    enum class TChange { kCells, kLayout };
    // Called after every change; the widget repaints or lays out its scroll bars.
    virtual void gridChanged(TChange) {}

private:
    struct TCellAttr {
        int col;
        int row;
        TAlignment alignment;
        TColor fontColor;
        TColor color;
    };
    struct TSortKey {
        int row;
        std::string text;
    };

    void checkCell(int col, int row) const;
    const TCellAttr* findAttr(int col, int row) const;
    TCellAttr& attrFor(int col, int row);
    bool keyAfter(const TSortKey& x, const TSortKey& y) const;
    void quickSort(std::vector<TSortKey>& keys, int first, int last) const;
    void exchangeSort(std::vector<TSortKey>& keys, int first, int last) const;
    int vertLineWidth(int col) const;
    int horzLineWidth(int row) const;
    void clampScroll();

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    std::vector<std::vector<std::string>> m_cells; // [row][col]
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_gridLineWidth = 1;
    TColor m_color = 0xFFFFFF;
    TColor m_fixedColor = 0xC0C0C0;
    TColor m_fontColor = 0x000000;
    TGridOptions m_options;
    int m_col = 1;
    int m_row = 1;
    int m_topRow = 1;
    int m_leftCol = 1;

    TAlignment m_alignment = kAlignLeft;
    TAlignment m_fixedAlignment = kAlignLeft;
    bool m_focusDraw = true;
    bool m_focusRectDraw = true;
    TSortOpt m_sortOpt = soBoth;
    // One list per row the grid has ever had; never shortened, moved with its row.
    std::vector<std::vector<TCellAttr>> m_attrs;
    std::vector<TColSortKind> m_sortKinds;
    int m_sortCol = -1;
    bool m_sortDescending = false;
    bool m_sortByNumber = false;

    // The last cell found by the attribute lookup and its place in its row's list.
    struct TLookupCache {
        int col = -1;
        int row = -1;
        std::size_t index = 0;
    };
    mutable TLookupCache m_lastFound;
};
