#include "view/StrCGridModel.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace {

// A grid with a heading row and one data row per text in column 1; column 0 keeps the
// row's original position so that moved rows can be followed.
void fill(TStrColGridModel& grid, const std::vector<std::string>& texts) {
    grid.SetColCount(3);
    grid.SetRowCount(static_cast<int>(texts.size()) + 1);
    grid.SetCells(1, 0, "head");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid.SetCells(0, row, std::to_string(row));
        grid.SetCells(1, row, texts[i]);
    }
}

std::vector<std::string> column(const TStrColGridModel& grid, int col) {
    std::vector<std::string> out;
    for (int r = 1; r < grid.RowCount(); ++r)
        out.push_back(grid.Cells(col, r));
    return out;
}

// A click in the heading row over column col.
void clickHeading(TStrColGridModel& grid, int col) {
    const TGridRect rect = grid.CellRect(col, 0);
    ASSERT_FALSE(rect.isEmpty());
    grid.MouseDown(rect.left + 3, rect.top + 3);
}

using Strings = std::vector<std::string>;

} // namespace

TEST(StrCGridModelSort, HeadingClickOnAColumnWithoutSortKindChangesNothing) {
    TStrColGridModel grid;
    fill(grid, {"c", "a", "b"});
    EXPECT_EQ(grid.ColSortKind(1), kSortNone);
    clickHeading(grid, 1);
    EXPECT_EQ(column(grid, 1), (Strings{"c", "a", "b"}));
    EXPECT_EQ(grid.SortedCol(), -1);
}

TEST(StrCGridModelSort, SortOptionsGiveTheirDirections) {
    struct Case {
        TSortOpt option;
        Strings afterFirst;
        Strings afterSecond;
    };
    const Strings asc{"a", "b", "c"};
    const Strings desc{"c", "b", "a"};
    const Strings unsorted{"b", "c", "a"};
    for (const Case& c : {Case{soBoth, asc, desc}, Case{soUpOnly, asc, asc},
                          Case{soDownOnly, desc, desc}, Case{soNon, unsorted, unsorted}}) {
        SCOPED_TRACE(static_cast<int>(c.option));
        TStrColGridModel grid;
        fill(grid, unsorted);
        grid.SetColSortKind(1, kSortText);
        grid.SetSortOpt(c.option);
        clickHeading(grid, 1);
        EXPECT_EQ(column(grid, 1), c.afterFirst);
        clickHeading(grid, 1);
        EXPECT_EQ(column(grid, 1), c.afterSecond);
        EXPECT_EQ(grid.Cells(1, 0), "head");
    }
}

TEST(StrCGridModelSort, AClickOnAnotherColumnSortsItAscending) {
    TStrColGridModel grid;
    fill(grid, {"b", "c", "a"});
    grid.SetColSortKind(0, kSortNumber);
    grid.SetColSortKind(1, kSortText);
    clickHeading(grid, 1);
    clickHeading(grid, 1);
    EXPECT_EQ(column(grid, 1), (Strings{"c", "b", "a"}));
    EXPECT_TRUE(grid.SortedDescending());
    clickHeading(grid, 0);
    EXPECT_EQ(column(grid, 0), (Strings{"1", "2", "3"}));
    EXPECT_EQ(grid.SortedCol(), 0);
    EXPECT_FALSE(grid.SortedDescending());
    EXPECT_TRUE(grid.SortedByNumber());
}

TEST(StrCGridModelSort, ClicksBelowTheHeadingRowDoNotSort) {
    TStrColGridModel grid;
    fill(grid, {"b", "a"});
    grid.SetColSortKind(1, kSortText);
    const TGridRect rect = grid.CellRect(1, 1);
    EXPECT_EQ(grid.MouseDown(rect.left, rect.top), (TGridCoord{1, 1}));
    EXPECT_EQ(column(grid, 1), (Strings{"b", "a"}));
}

TEST(StrCGridModelSort, NumbersSortBothWaysWithTextsBelowThem) {
    struct Case {
        TSortOpt option;
        Strings cells;
        Strings numbers; // the rows that hold numbers, in order
    };
    const Strings four{"12", "9", "-", "3.5"};
    // more than five rows go through the quicksort; "%5.1f" cells carry leading blanks
    const Strings many{"12", "  9.0", "-", "3.5", "", "100", " 0.5", "-", "7", "-1", "x"};
    for (const Case& c : {
             Case{soUpOnly, four, {"3.5", "9", "12"}},
             Case{soDownOnly, four, {"12", "9", "3.5"}},
             Case{soUpOnly, many, {"-1", " 0.5", "3.5", "7", "  9.0", "12", "100"}},
             Case{soDownOnly, many, {"100", "12", "  9.0", "7", "3.5", " 0.5", "-1"}},
         }) {
        TStrColGridModel grid;
        fill(grid, c.cells);
        grid.SetColSortKind(1, kSortNumber);
        grid.SetSortOpt(c.option);
        clickHeading(grid, 1);
        Strings sorted = column(grid, 1);
        const Strings head(sorted.begin(), sorted.begin() + static_cast<long>(c.numbers.size()));
        EXPECT_EQ(head, c.numbers);
        Strings tail(sorted.begin() + static_cast<long>(c.numbers.size()), sorted.end());
        Strings texts;
        for (const std::string& s : c.cells)
            if (std::find(c.numbers.begin(), c.numbers.end(), s) == c.numbers.end())
                texts.push_back(s);
        std::sort(tail.begin(), tail.end());
        std::sort(texts.begin(), texts.end());
        EXPECT_EQ(tail, texts);
    }
    // the four-row example in full, texts included
    TStrColGridModel grid;
    fill(grid, four);
    grid.SetColSortKind(1, kSortNumber);
    clickHeading(grid, 1);
    EXPECT_EQ(column(grid, 1), (Strings{"3.5", "9", "12", "-"}));
    clickHeading(grid, 1);
    EXPECT_EQ(column(grid, 1), (Strings{"12", "9", "3.5", "-"}));
}

TEST(StrCGridModelSort, UpperAndLowerCaseSortTogether) {
    TStrColGridModel grid;
    fill(grid, {"b", "A", toCp932("ｂ"), "a", "B", "c", toCp932("Ａ"), toCp932("ａ")});
    grid.SetColSortKind(1, kSortText);
    clickHeading(grid, 1);
    Strings keys;
    for (const std::string& s : column(grid, 1))
        keys.push_back(toUtf8(GridUpperCase(s)));
    EXPECT_EQ(keys, (Strings{"A", "A", "B", "B", "C", "Ａ", "Ａ", "Ｂ"}));
}

TEST(StrCGridModelSort, LargeRangesMatchAReferenceSort) {
    std::mt19937 random(7);
    for (const bool byNumber : {false, true}) {
        for (const TSortOpt option : {soUpOnly, soDownOnly}) {
            Strings cells;
            for (int i = 0; i < 60; ++i)
                cells.push_back(byNumber ? std::to_string(random() % 40) + ".5"
                                         : std::string(1, static_cast<char>('a' + random() % 26)));
            TStrColGridModel grid;
            fill(grid, cells);
            grid.SetColSortKind(1, byNumber ? kSortNumber : kSortText);
            grid.SetSortOpt(option);
            clickHeading(grid, 1);
            Strings expected = cells;
            const auto less = [&](const std::string& a, const std::string& b) {
                return byNumber ? std::stod(a) < std::stod(b) : a < b;
            };
            std::sort(expected.begin(), expected.end(), less);
            if (option == soDownOnly)
                std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(column(grid, 1), expected);
            // every row moved whole: column 0 still names the row the text started in
            for (int r = 1; r < grid.RowCount(); ++r) {
                const auto from = static_cast<std::size_t>(std::stoi(grid.Cells(0, r)) - 1);
                EXPECT_EQ(grid.Cells(1, r), cells[from]);
            }
        }
    }
}

TEST(StrCGridModelAttributes, ColouredCellsMoveWithTheirRows) {
    TStrColGridModel grid;
    fill(grid, {"3", "1", "2"});
    grid.SetColSortKind(1, kSortNumber);
    grid.SetCellColor(0, 1, 0xFF0000);        // the row of "3"
    grid.SetCellFontColor(1, 1, 0x00FF00);    // the row of "3"
    grid.SetCellAlignment(2, 3, kAlignRight); // the row of "2"
    clickHeading(grid, 1);
    EXPECT_EQ(column(grid, 1), (Strings{"1", "2", "3"}));
    EXPECT_EQ(grid.CellColor(0, 3), 0xFF0000u);
    EXPECT_EQ(grid.CellFontColor(1, 3), 0x00FF00u);
    EXPECT_EQ(grid.CellAlignment(2, 2), kAlignRight);
    EXPECT_EQ(grid.CellColor(0, 1), grid.Color());
    EXPECT_EQ(grid.CellFontColor(1, 1), grid.FontColor());
    EXPECT_EQ(grid.CellAlignment(2, 3), kAlignLeft);
    EXPECT_EQ(grid.AttributeRecordCount(), 3u);
}

TEST(StrCGridModelAttributes, TheSixOperationsRefusePositionsOutsideTheGrid) {
    using Op = std::function<void(TStrColGridModel&, int, int)>;
    const std::vector<Op> ops{
        [](TStrColGridModel& g, int c, int r) { g.CellAlignment(c, r); },
        [](TStrColGridModel& g, int c, int r) { g.SetCellAlignment(c, r, kAlignRight); },
        [](TStrColGridModel& g, int c, int r) { g.CellFontColor(c, r); },
        [](TStrColGridModel& g, int c, int r) { g.SetCellFontColor(c, r, 1); },
        [](TStrColGridModel& g, int c, int r) { g.CellColor(c, r); },
        [](TStrColGridModel& g, int c, int r) { g.SetCellColor(c, r, 1); },
    };
    const std::string message = "\xBE\xD9\x88\xCA\x92\x75\x82\xAA\xB8\xDE\xD8\xAF\xC4\xDE\x82\xCC"
                                "\x94\xCD\x88\xCD\x82\xF0\x92\xB4\x82\xA6\x82\xDC\x82\xB5\x82\xBD"
                                "\x81\x42";
    ASSERT_EQ(toUtf8(message), "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。");
    TStrColGridModel grid;
    grid.SetColCount(4);
    grid.SetRowCount(3);
    for (const auto& [col, row] :
         std::vector<std::pair<int, int>>{{4, 0}, {0, 3}, {-1, 0}, {0, -1}}) {
        for (std::size_t i = 0; i < ops.size(); ++i) {
            SCOPED_TRACE(std::to_string(i) + " at " + std::to_string(col) + "," +
                         std::to_string(row));
            try {
                ops[i](grid, col, row);
                ADD_FAILURE() << "no range error";
            } catch (const ERangeError& e) {
                EXPECT_EQ(std::string(e.what()), message);
            }
        }
    }
    EXPECT_EQ(grid.AttributeRecordCount(), 0u);
    EXPECT_THROW(grid.SetCells(4, 0, "x"), ERangeError);
    EXPECT_EQ(grid.Cells(4, 0), "");
}

TEST(StrCGridModelAttributes, ReadingACellWithoutRecordGivesDefaultsAndCreatesNone) {
    TStrColGridModel grid;
    grid.SetColor(0x123456);
    grid.SetFixedColor(0xABCDEF);
    grid.SetFontColor(0x010203);
    grid.SetAlignment(kAlignCenter);
    EXPECT_EQ(grid.CellColor(2, 2), 0x123456u);
    EXPECT_EQ(grid.CellColor(0, 0), 0x123456u); // the grid's colour, even for a fixed cell
    EXPECT_EQ(grid.CellFontColor(2, 2), 0x010203u);
    EXPECT_EQ(grid.CellAlignment(2, 2), kAlignCenter);
    EXPECT_EQ(grid.AttributeRecordCount(), 0u);
}

TEST(StrCGridModelAttributes, ANewRecordStartsFromTheGridsDefaults) {
    TStrColGridModel grid;
    grid.SetColor(0x123456);
    grid.SetFixedColor(0xABCDEF);
    grid.SetFontColor(0x010203);
    grid.SetAlignment(kAlignRight);
    grid.SetCellFontColor(0, 2, 0xFF);         // fixed column
    grid.SetCellAlignment(2, 0, kAlignCenter); // fixed row
    grid.SetCellColor(2, 2, 0xEE);
    EXPECT_EQ(grid.CellColor(0, 2), 0xABCDEFu);
    EXPECT_EQ(grid.CellAlignment(0, 2), kAlignRight);
    EXPECT_EQ(grid.CellColor(2, 0), 0xABCDEFu);
    EXPECT_EQ(grid.CellFontColor(2, 0), 0x010203u);
    EXPECT_EQ(grid.CellFontColor(2, 2), 0x010203u);
    EXPECT_EQ(grid.AttributeRecordCount(), 3u);
}

TEST(StrCGridModelAttributes, RecordsOfRowsCutAwayComeBackWhenTheGridGrows) {
    TStrColGridModel grid;
    grid.SetCells(1, 4, "x");
    grid.SetCellColor(1, 4, 0xFF);
    grid.SetRowCount(2);
    EXPECT_THROW(grid.CellColor(1, 4), ERangeError);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.CellColor(1, 4), 0xFFu);
    EXPECT_EQ(grid.Cells(1, 4), ""); // texts of rows cut away are gone
}

TEST(StrCGridModelLayout, CountsFixedPartsAndSortKinds) {
    TStrColGridModel grid;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
    EXPECT_THROW(grid.SetFixedRows(1), std::invalid_argument);
    grid.SetColSortKind(4, kSortText);
    grid.SetColCount(7);
    EXPECT_EQ(grid.ColSortKind(4), kSortText);
    EXPECT_EQ(grid.ColSortKind(6), kSortNone);
    EXPECT_EQ(grid.ColSortKind(7), kSortNone);
}

TEST(StrCGridModelLayout, CellRectanglesAndMouseCoordinatesAgree) {
    TStrColGridModel grid; // 64 x 24 cells, 1-pixel lines
    grid.SetRowCount(10);
    EXPECT_EQ(grid.CellRect(0, 0), (TGridRect{0, 0, 64, 24}));
    EXPECT_EQ(grid.CellRect(1, 1), (TGridRect{65, 25, 129, 49}));
    EXPECT_EQ(grid.MouseCoord(65, 25), (TGridCoord{1, 1}));
    EXPECT_EQ(grid.MouseCoord(129, 49), (TGridCoord{1, 1})); // the lines belong to the cell
    EXPECT_EQ(grid.MouseCoord(130, 50), (TGridCoord{2, 2}));
    EXPECT_EQ(grid.MouseCoord(5 * 65, 0), (TGridCoord{}));
    EXPECT_EQ(grid.MaxTopRow(100), 7); // 75 pixels below the heading hold rows 7 to 9
    grid.SetTopRow(3);
    EXPECT_TRUE(grid.CellRect(1, 2).isEmpty());
    EXPECT_EQ(grid.CellRect(1, 3), (TGridRect{65, 25, 129, 49}));
    EXPECT_EQ(grid.MouseCoord(70, 30), (TGridCoord{1, 3}));
    EXPECT_EQ(grid.MouseCoord(70, 10), (TGridCoord{1, 0}));
    grid.FocusCell(1, 9);
    grid.ScrollToFocus(400, 100);
    EXPECT_EQ(grid.TopRow(), 7);
    grid.FocusCell(0, 0); // clamped out of the fixed part
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    grid.ScrollToFocus(400, 100);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST(StrCGridModelDrawing, ChoosesFillAlignmentFocusRectangleAndBevel) {
    struct Case {
        const char* name;
        int col, row;
        bool hasFocus, focusDraw, drawFocusSelected, rowSelect;
        TCellFill fill;
        TAlignment alignment;
        bool focusRect, bevel;
    };
    // the focused cell is (1, 1); cell (2, 1) has a record; fixed cells align centred
    const Case cases[] = {
        {"fixed", 1, 0, true, true, false, false, TCellFill::kFixed, kAlignCenter, false, true},
        {"fixedRecord", 0, 1, true, true, false, false, TCellFill::kRecord, kAlignRight, false,
         true},
        {"focused", 1, 1, true, true, false, false, TCellFill::kPrepared, kAlignLeft, true, false},
        {"focusedSelected", 1, 1, true, true, true, false, TCellFill::kHighlight, kAlignLeft, true,
         false},
        {"focusedRowSelect", 1, 1, true, true, false, true, TCellFill::kHighlight, kAlignLeft, true,
         false},
        {"rowSelectRecord", 2, 1, true, false, false, true, TCellFill::kHighlight, kAlignLeft,
         false, false},
        {"unfocusedFocusDraw", 1, 1, false, true, false, false, TCellFill::kHighlight, kAlignLeft,
         false, false},
        {"unfocusedNoFocusDraw", 1, 1, false, false, false, false, TCellFill::kPrepared, kAlignLeft,
         false, false},
        {"record", 2, 1, true, true, false, false, TCellFill::kRecord, kAlignRight, false, false},
        {"other", 3, 3, true, true, true, true, TCellFill::kPrepared, kAlignLeft, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStrColGridModel grid;
        grid.SetFixedAlignment(kAlignCenter);
        grid.SetFocusDraw(c.focusDraw);
        TGridOptions options;
        options.drawFocusSelected = c.drawFocusSelected;
        options.rowSelect = c.rowSelect;
        grid.SetOptions(options);
        grid.SetCellColor(2, 1, 0x0000FF);
        grid.SetCellAlignment(2, 1, kAlignRight);
        grid.SetCellAlignment(0, 1, kAlignRight);
        grid.FocusCell(1, 1);
        const TCellLook look =
            grid.CellLook(c.col, c.row, grid.DrawState(c.col, c.row, c.hasFocus), c.hasFocus);
        EXPECT_EQ(look.fill, c.fill);
        EXPECT_EQ(look.alignment, c.alignment);
        EXPECT_EQ(look.focusRect, c.focusRect);
        EXPECT_EQ(look.bevel, c.bevel);
        if (c.fill == TCellFill::kRecord && c.col == 2) {
            EXPECT_EQ(look.background, 0x0000FFu);
        }
    }
}

TEST(StrCGridModelDrawing, TextStartsTwoPixelsInOrCentredTruncated) {
    const TGridRect rect{10, 0, 74, 24};
    EXPECT_EQ(TStrColGridModel::TextLeft(rect, 20, kAlignLeft), 12);
    EXPECT_EQ(TStrColGridModel::TextLeft(rect, 20, kAlignRight), 52);
    EXPECT_EQ(TStrColGridModel::TextLeft(rect, 20, kAlignCenter), 32);
    EXPECT_EQ(TStrColGridModel::TextLeft(rect, 21, kAlignCenter), 31);
    EXPECT_EQ(TStrColGridModel::TextLeft(rect, 70, kAlignCenter), 7); // wider than the cell
}

TEST(GridTextToFloat, ReadsWhatTheRuntimeReads) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"3.5", true, 3.5},     {"  3.5", true, 3.5},     {"3.5  ", true, 3.5}, {"-2", true, -2},
        {"+2", true, 2},        {".5", true, 0.5},        {"5.", true, 5},      {"1E3", true, 1000},
        {"2.5e-1", true, 0.25}, {"-", false, 0},          {"", false, 0},       {" ", false, 0},
        {"1,000", false, 0},    {"12.3- 14.5", false, 0}, {"1e", false, 0},     {"0x10", false, 0},
        {"1E999", false, 0},    {"- 1", false, 0},        {"1 2", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -99;
        EXPECT_EQ(GridTextToFloat(c.text, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : -99);
    }
    double value = 0;
    EXPECT_FALSE(GridTextToFloat(toCp932("１２"), value));
}

TEST(GridUpperCase, RaisesLettersAndLeavesEverythingElse) {
    const std::pair<const char*, const char*> cases[] = {
        {"abc xyz", "ABC XYZ"},     {"ａｂｚ", "ＡＢＺ"}, {"αω дя", "ΑΩ ДЯ"}, {"ⅰⅹ", "ⅠⅩ"},
        {"ヂッ", "ヂッ"}, // second bytes 0x61 and 0x62 are not letters
        {"ｱｲｳ漢字ｶﾅ", "ｱｲｳ漢字ｶﾅ"},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(GridUpperCase(toCp932(in)), toCp932(out));
    }
    ASSERT_EQ(toCp932("ヂ"), "\x83\x61");
    // 0x85 0x61 is no CP932 character: kept, while single-byte letters are still raised
    EXPECT_EQ(GridUpperCase("x\x85\x61y"), "X\x85\x61Y");
    EXPECT_EQ(GridUpperCase("a\x83"), "A\x83"); // a lead byte at the end stays
}
