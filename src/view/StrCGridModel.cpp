// TStrColGridModel: the string grid's cells, colours, alignment and sorting, without a toolkit.
#include "view/StrCGridModel.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace {

const std::string& rangeMessage() {
    return sjis("ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// One code point from the start of valid UTF-8 text (as toUtf8 produces it).
char32_t decodeUtf8(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (b(0) < 0x80)
        return b(0);
    if (b(0) < 0xE0)
        return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    if (b(0) < 0xF0)
        return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    return ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
}

std::string encodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

locale_t utf8Locale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

// The upper-case form of one two-byte CP932 character, or the character itself when it
// has none (or none in CP932).
std::string upperDoubleByte(std::string_view ch) {
    const locale_t locale = utf8Locale();
    if (locale == static_cast<locale_t>(0))
        return std::string(ch);
    try {
        const char32_t c = decodeUtf8(toUtf8(ch));
        const auto upper = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale));
        if (upper != c)
            return toCp932(encodeUtf8(upper));
    } catch (const EConvertError&) {
    }
    return std::string(ch);
}

// Columns (rows) are drawn in this order: the fixed ones, then from the first scrolled one.
int firstDrawn(int fixedCount, int firstScrolled) {
    return fixedCount > 0 ? 0 : firstScrolled;
}
int nextDrawn(int index, int fixedCount, int firstScrolled) {
    return index + 1 == fixedCount ? firstScrolled : index + 1;
}

} // namespace

bool GridTextToFloat(std::string_view text, double& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t bodyStart = i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(text[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    const std::size_t bodyEnd = i;
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return false;
    // from_chars ignores the locale, which the toolkit sets from the environment
    double parsed = 0;
    const char* first = text.data() + bodyStart;
    const char* last = text.data() + bodyEnd;
    const auto [ptr, ec] = std::from_chars(first, last, parsed);
    if (ec != std::errc() || ptr != last)
        return false;
    value = negative ? -parsed : parsed;
    return true;
}

std::string GridUpperCase(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size());
    std::size_t i = 0;
    while (i < cp932.size()) {
        const auto b = static_cast<unsigned char>(cp932[i]);
        if (isLeadByte(b) && i + 1 < cp932.size()) {
            out += upperDoubleByte(cp932.substr(i, 2));
            i += 2;
        } else {
            out += (b >= 'a' && b <= 'z') ? static_cast<char>(b - 'a' + 'A') : cp932[i];
            ++i;
        }
    }
    return out;
}

TStrColGridModel::TStrColGridModel()
    : m_cells(static_cast<std::size_t>(m_rowCount),
              std::vector<std::string>(static_cast<std::size_t>(m_colCount))),
      m_colWidths(static_cast<std::size_t>(m_colCount), m_defaultColWidth),
      m_rowHeights(static_cast<std::size_t>(m_rowCount), m_defaultRowHeight),
      m_attrs(static_cast<std::size_t>(m_rowCount)),
      m_sortKinds(static_cast<std::size_t>(m_colCount), kSortNone) {}

// -- the string grid ----------------------------------------------------------------------

void TStrColGridModel::SetColCount(int count) {
    count = std::max(count, 1);
    if (count == m_colCount)
        return;
    m_colCount = count;
    m_fixedCols = std::min(m_fixedCols, count - 1);
    const auto n = static_cast<std::size_t>(count);
    for (auto& row : m_cells)
        row.resize(n);
    m_colWidths.resize(n, m_defaultColWidth);
    if (m_sortKinds.size() < n)
        m_sortKinds.resize(n, kSortNone);
    clampScroll();
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::SetRowCount(int count) {
    count = std::max(count, 1);
    if (count == m_rowCount)
        return;
    m_rowCount = count;
    m_fixedRows = std::min(m_fixedRows, count - 1);
    const auto n = static_cast<std::size_t>(count);
    m_cells.resize(n, std::vector<std::string>(static_cast<std::size_t>(m_colCount)));
    m_rowHeights.resize(n, m_defaultRowHeight);
    if (m_attrs.size() < n)
        m_attrs.resize(n);
    clampScroll();
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::SetFixedCols(int count) {
    if (count < 0 || count >= m_colCount)
        throw std::invalid_argument("fixed column count must be less than the column count");
    m_fixedCols = count;
    m_leftCol = count; // the scrolled part starts again at its first column
    clampScroll();
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::SetFixedRows(int count) {
    if (count < 0 || count >= m_rowCount)
        throw std::invalid_argument("fixed row count must be less than the row count");
    m_fixedRows = count;
    m_topRow = count;
    clampScroll();
    gridChanged(TChange::kLayout);
}

const std::string& TStrColGridModel::Cells(int col, int row) const {
    static const std::string empty;
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        return empty;
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void TStrColGridModel::SetCells(int col, int row, std::string text) {
    checkCell(col, row);
    m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetDefaultColWidth(int width) {
    m_defaultColWidth = std::max(width, 0);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultColWidth);
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::SetDefaultRowHeight(int height) {
    m_defaultRowHeight = std::max(height, 0);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_defaultRowHeight);
    gridChanged(TChange::kLayout);
}

int TStrColGridModel::ColWidths(int col) const {
    if (col < 0 || col >= m_colCount)
        return m_defaultColWidth;
    return m_colWidths[static_cast<std::size_t>(col)];
}

void TStrColGridModel::SetColWidths(int col, int width) {
    if (col < 0 || col >= m_colCount)
        return;
    m_colWidths[static_cast<std::size_t>(col)] = std::max(width, 0);
    gridChanged(TChange::kLayout);
}

int TStrColGridModel::RowHeights(int row) const {
    if (row < 0 || row >= m_rowCount)
        return m_defaultRowHeight;
    return m_rowHeights[static_cast<std::size_t>(row)];
}

void TStrColGridModel::SetRowHeights(int row, int height) {
    if (row < 0 || row >= m_rowCount)
        return;
    m_rowHeights[static_cast<std::size_t>(row)] = std::max(height, 0);
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::SetGridLineWidth(int width) {
    m_gridLineWidth = std::max(width, 0);
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::SetColor(TColor color) {
    m_color = color;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetFixedColor(TColor color) {
    m_fixedColor = color;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetFontColor(TColor color) {
    m_fontColor = color;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetOptions(const TGridOptions& options) {
    m_options = options;
    gridChanged(TChange::kLayout);
}

void TStrColGridModel::FocusCell(int col, int row) {
    m_col = std::clamp(col, m_fixedCols, m_colCount - 1);
    m_row = std::clamp(row, m_fixedRows, m_rowCount - 1);
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetTopRow(int row) {
    m_topRow = row;
    clampScroll();
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetLeftCol(int col) {
    m_leftCol = col;
    clampScroll();
    gridChanged(TChange::kCells);
}

void TStrColGridModel::clampScroll() {
    m_topRow = std::clamp(m_topRow, m_fixedRows, m_rowCount - 1);
    m_leftCol = std::clamp(m_leftCol, m_fixedCols, m_colCount - 1);
    m_col = std::clamp(m_col, m_fixedCols, m_colCount - 1);
    m_row = std::clamp(m_row, m_fixedRows, m_rowCount - 1);
}

int TStrColGridModel::vertLineWidth(int col) const {
    const bool drawn = col < m_fixedCols ? m_options.fixedVertLine : m_options.vertLine;
    return drawn ? m_gridLineWidth : 0;
}

int TStrColGridModel::horzLineWidth(int row) const {
    const bool drawn = row < m_fixedRows ? m_options.fixedHorzLine : m_options.horzLine;
    return drawn ? m_gridLineWidth : 0;
}

int TStrColGridModel::FixedWidth() const {
    int width = 0;
    for (int c = 0; c < m_fixedCols; ++c)
        width += ColWidths(c) + vertLineWidth(c);
    return width;
}

int TStrColGridModel::FixedHeight() const {
    int height = 0;
    for (int r = 0; r < m_fixedRows; ++r)
        height += RowHeights(r) + horzLineWidth(r);
    return height;
}

int TStrColGridModel::MaxTopRow(int clientHeight) const {
    const int room = clientHeight - FixedHeight();
    int top = m_rowCount - 1;
    int used = RowHeights(top) + horzLineWidth(top);
    while (top > m_fixedRows) {
        const int more = RowHeights(top - 1) + horzLineWidth(top - 1);
        if (used + more > room)
            break;
        used += more;
        --top;
    }
    return std::max(top, m_fixedRows);
}

int TStrColGridModel::MaxLeftCol(int clientWidth) const {
    const int room = clientWidth - FixedWidth();
    int left = m_colCount - 1;
    int used = ColWidths(left) + vertLineWidth(left);
    while (left > m_fixedCols) {
        const int more = ColWidths(left - 1) + vertLineWidth(left - 1);
        if (used + more > room)
            break;
        used += more;
        --left;
    }
    return std::max(left, m_fixedCols);
}

int TStrColGridModel::VisibleRowCount(int clientHeight) const {
    const int room = clientHeight - FixedHeight();
    int used = 0;
    int count = 0;
    for (int r = m_topRow; r < m_rowCount; ++r) {
        used += RowHeights(r) + horzLineWidth(r);
        if (used > room)
            break;
        ++count;
    }
    return std::max(count, 1);
}

int TStrColGridModel::VisibleColCount(int clientWidth) const {
    const int room = clientWidth - FixedWidth();
    int used = 0;
    int count = 0;
    for (int c = m_leftCol; c < m_colCount; ++c) {
        used += ColWidths(c) + vertLineWidth(c);
        if (used > room)
            break;
        ++count;
    }
    return std::max(count, 1);
}

void TStrColGridModel::ScrollToFocus(int clientWidth, int clientHeight) {
    if (m_row < m_topRow)
        m_topRow = m_row;
    while (m_topRow < m_row && m_row >= m_topRow + VisibleRowCount(clientHeight))
        ++m_topRow;
    if (m_col < m_leftCol)
        m_leftCol = m_col;
    while (m_leftCol < m_col && m_col >= m_leftCol + VisibleColCount(clientWidth))
        ++m_leftCol;
    clampScroll();
    gridChanged(TChange::kCells);
}

TGridCoord TStrColGridModel::MouseCoord(int x, int y) const {
    if (x < 0 || y < 0)
        return {};
    int col = -1;
    int right = 0;
    for (int c = firstDrawn(m_fixedCols, m_leftCol); c < m_colCount && col < 0;
         c = nextDrawn(c, m_fixedCols, m_leftCol)) {
        right += ColWidths(c) + vertLineWidth(c);
        if (x < right)
            col = c;
    }
    int row = -1;
    int bottom = 0;
    for (int r = firstDrawn(m_fixedRows, m_topRow); r < m_rowCount && row < 0;
         r = nextDrawn(r, m_fixedRows, m_topRow)) {
        bottom += RowHeights(r) + horzLineWidth(r);
        if (y < bottom)
            row = r;
    }
    if (col < 0 || row < 0)
        return {};
    return {col, row};
}

TGridRect TStrColGridModel::CellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        return {};
    if ((col >= m_fixedCols && col < m_leftCol) || (row >= m_fixedRows && row < m_topRow))
        return {};
    int left = 0;
    for (int c = 0; c < std::min(col, m_fixedCols); ++c)
        left += ColWidths(c) + vertLineWidth(c);
    for (int c = m_leftCol; c < col; ++c)
        left += ColWidths(c) + vertLineWidth(c);
    int top = 0;
    for (int r = 0; r < std::min(row, m_fixedRows); ++r)
        top += RowHeights(r) + horzLineWidth(r);
    for (int r = m_topRow; r < row; ++r)
        top += RowHeights(r) + horzLineWidth(r);
    return {left, top, left + ColWidths(col), top + RowHeights(row)};
}

// -- attributes ---------------------------------------------------------------------------

void TStrColGridModel::SetAlignment(TAlignment alignment) {
    m_alignment = alignment;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetFixedAlignment(TAlignment alignment) {
    m_fixedAlignment = alignment;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetFocusDraw(bool on) {
    m_focusDraw = on;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::SetFocusRectDraw(bool on) {
    m_focusRectDraw = on;
    gridChanged(TChange::kCells);
}

void TStrColGridModel::checkCell(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        throw ERangeError(rangeMessage());
}

const TStrColGridModel::TCellAttr* TStrColGridModel::findAttr(int col, int row) const {
    const auto& list = m_attrs[static_cast<std::size_t>(row)];
    if (m_lastFound.col == col && m_lastFound.row == row && m_lastFound.index < list.size())
        return &list[m_lastFound.index];
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].col == col) {
            m_lastFound = {col, row, i};
            return &list[i];
        }
    }
    return nullptr;
}

TStrColGridModel::TCellAttr& TStrColGridModel::attrFor(int col, int row) {
    if (const TCellAttr* found = findAttr(col, row))
        return const_cast<TCellAttr&>(*found);
    auto& list = m_attrs[static_cast<std::size_t>(row)];
    const bool fixed = col < m_fixedCols || row < m_fixedRows;
    list.push_back({col, row, m_alignment, m_fontColor, fixed ? m_fixedColor : m_color});
    m_lastFound = {col, row, list.size() - 1};
    return list.back();
}

TAlignment TStrColGridModel::CellAlignment(int col, int row) const {
    checkCell(col, row);
    const TCellAttr* attr = findAttr(col, row);
    return attr ? attr->alignment : m_alignment;
}

void TStrColGridModel::SetCellAlignment(int col, int row, TAlignment alignment) {
    checkCell(col, row);
    attrFor(col, row).alignment = alignment;
    gridChanged(TChange::kCells);
}

TColor TStrColGridModel::CellFontColor(int col, int row) const {
    checkCell(col, row);
    const TCellAttr* attr = findAttr(col, row);
    return attr ? attr->fontColor : m_fontColor;
}

void TStrColGridModel::SetCellFontColor(int col, int row, TColor color) {
    checkCell(col, row);
    attrFor(col, row).fontColor = color;
    gridChanged(TChange::kCells);
}

TColor TStrColGridModel::CellColor(int col, int row) const {
    checkCell(col, row);
    const TCellAttr* attr = findAttr(col, row);
    return attr ? attr->color : m_color;
}

void TStrColGridModel::SetCellColor(int col, int row, TColor color) {
    checkCell(col, row);
    attrFor(col, row).color = color;
    gridChanged(TChange::kCells);
}

std::size_t TStrColGridModel::AttributeRecordCount() const {
    std::size_t count = 0;
    for (const auto& list : m_attrs)
        count += list.size();
    return count;
}

// -- sorting ------------------------------------------------------------------------------

TColSortKind TStrColGridModel::ColSortKind(int col) const {
    if (col < 0 || col >= m_colCount)
        return kSortNone;
    return m_sortKinds[static_cast<std::size_t>(col)];
}

void TStrColGridModel::SetColSortKind(int col, TColSortKind kind) {
    if (col < 0 || col >= m_colCount)
        return;
    m_sortKinds[static_cast<std::size_t>(col)] = kind;
}

bool TStrColGridModel::keyAfter(const TSortKey& x, const TSortKey& y) const {
    if (!m_sortByNumber)
        return x.text > y.text; // char_traits compares bytes unsigned: CP932 byte order
    double xValue = 0;
    double yValue = 0;
    const bool xNumber = GridTextToFloat(x.text, xValue);
    const bool yNumber = GridTextToFloat(y.text, yValue);
    if (xNumber && yNumber)
        return xValue > yValue;
    if (!xNumber && !yNumber)
        return false;
    // inverted for a descending sort, so texts end below all numbers both ways
    return m_sortDescending ? xNumber : !xNumber;
}

void TStrColGridModel::exchangeSort(std::vector<TSortKey>& keys, int first, int last) const {
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int r = first; r < last; ++r) {
            auto& a = keys[static_cast<std::size_t>(r)];
            auto& b = keys[static_cast<std::size_t>(r + 1)];
            if (keyAfter(a, b)) {
                std::swap(a, b);
                exchanged = true;
            }
        }
    }
}

void TStrColGridModel::quickSort(std::vector<TSortKey>& keys, int first, int last) const {
    if (last - first <= 4) {
        exchangeSort(keys, first, last);
        return;
    }
    const auto at = [&](int i) -> TSortKey& { return keys[static_cast<std::size_t>(i)]; };
    const TSortKey pivot = at((first + last) / 2);
    int i = first;
    int j = last;
    do {
        // the bounds only matter for a comparison that is not a strict order
        while (i < last && keyAfter(pivot, at(i)))
            ++i;
        while (j > first && keyAfter(at(j), pivot))
            --j;
        if (i <= j) {
            std::swap(at(i), at(j));
            ++i;
            --j;
        }
    } while (i <= j);
    if (first < j)
        quickSort(keys, first, j);
    if (i < last)
        quickSort(keys, i, last);
}

void TStrColGridModel::SortByColumn(int col) {
    const TColSortKind kind = ColSortKind(col);
    if (m_sortOpt == soNon || kind == kSortNone)
        return;
    bool descending = false;
    switch (m_sortOpt) {
    case soUpOnly: descending = false; break;
    case soDownOnly: descending = true; break;
    default: descending = col == m_sortCol ? !m_sortDescending : false; break;
    }
    m_sortCol = col;
    m_sortDescending = descending;
    m_sortByNumber = kind == kSortNumber;
    m_lastFound = {};

    const int count = m_rowCount - 1;
    if (count < 2) {
        gridChanged(TChange::kCells);
        return;
    }
    std::vector<TSortKey> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (int r = 1; r < m_rowCount; ++r)
        keys.push_back({r, GridUpperCase(Cells(col, r))});
    quickSort(keys, 0, count - 1);

    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(count));
    std::vector<std::vector<TCellAttr>> attrs(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto from = static_cast<std::size_t>(keys[static_cast<std::size_t>(i)].row);
        const auto to = static_cast<std::size_t>(descending ? count - 1 - i : i);
        cells[to] = std::move(m_cells[from]);
        attrs[to] = std::move(m_attrs[from]);
    }
    for (int i = 0; i < count; ++i) {
        const auto row = static_cast<std::size_t>(i + 1);
        m_cells[row] = std::move(cells[static_cast<std::size_t>(i)]);
        m_attrs[row] = std::move(attrs[static_cast<std::size_t>(i)]);
        for (TCellAttr& attr : m_attrs[row])
            attr.row = i + 1;
    }
    gridChanged(TChange::kCells);
}

TGridCoord TStrColGridModel::MouseDown(int x, int y) {
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.y == 0)
        SortByColumn(cell.x);
    return cell;
}

// -- drawing ------------------------------------------------------------------------------

TGridDrawState TStrColGridModel::DrawState(int col, int row, bool gridHasFocus) const {
    TGridDrawState state;
    state.fixed = col < m_fixedCols || row < m_fixedRows;
    if (!state.fixed) {
        state.selected = row == m_row && (m_options.rowSelect || col == m_col);
        state.focused = gridHasFocus && col == m_col && row == m_row;
    }
    return state;
}

TCellLook TStrColGridModel::CellLook(int col, int row, const TGridDrawState& state,
                                     bool gridHasFocus) const {
    TCellLook look;
    look.alignment = state.exactlyFixed() ? m_fixedAlignment : m_alignment;
    look.text = m_fontColor;
    const TCellAttr* attr = nullptr;
    if (col >= 0 && row >= 0 && col < m_colCount && row < m_rowCount)
        attr = findAttr(col, row);
    if (!attr && state.exactlyFixed()) {
        look.fill = TCellFill::kFixed;
        look.background = m_fixedColor;
    } else if ((gridHasFocus || m_focusDraw) && state.selected &&
               (m_options.drawFocusSelected || !state.focused || m_options.rowSelect)) {
        look.fill = TCellFill::kHighlight;
    } else if (attr) {
        look.fill = TCellFill::kRecord;
        look.alignment = attr->alignment;
        look.background = attr->color;
        look.text = attr->fontColor;
    } else {
        look.fill = TCellFill::kPrepared;
        look.background = state.fixed ? m_fixedColor : m_color;
    }
    look.focusRect = gridHasFocus && state.focused && m_focusRectDraw;
    look.bevel = state.exactlyFixed();
    return look;
}

int TStrColGridModel::TextLeft(const TGridRect& rect, int textWidth, TAlignment alignment) {
    switch (alignment) {
    case kAlignRight: return rect.right - textWidth - 2;
    case kAlignCenter: return rect.left + (rect.width() - textWidth) / 2;
    default: return rect.left + 2;
    }
}

std::string TStrColGridModel::CopiedCell(int col, int row) const {
    const std::string& text = Cells(col, row);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TStrColGridModel::TabSeparatedText() const {
    std::string text;
    for (int row = 0; row < m_rowCount; ++row) {
        for (int col = 0; col < m_colCount; ++col) {
            if (col > 0)
                text += '\t';
            for (const char c : CopiedCell(col, row))
                text += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        }
        text += '\n';
    }
    return text;
}
