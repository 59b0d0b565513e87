#include "gui/widgets/StrCGrid.h"

#include "platform/Cp932.h"
#include "gui/support/QtBoundary.h"

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Three columns, a heading and four runners; column 1 sorts as a number.
struct Grid {
    TStrColGrid grid;
    Grid() {
        grid.resize(400, 300);
        grid.SetColCount(3);
        grid.SetRowCount(5);
        grid.SetFixedCols(0);
        grid.SetColor(0xFFFFFF);
        grid.SetFixedColor(0xC0C0C0);
        grid.SetFontColor(0x000000);
        grid.SetColSortKind(1, kSortNumber);
        const char* names[] = {"馬名", "サクラ", "ハルウララ", "ディープ", "オグリ"};
        const char* odds[] = {"単勝", "12", "9", "-", "3.5"};
        for (int r = 0; r < 5; ++r) {
            grid.SetCells(0, r, toCp932(names[r]));
            grid.SetCells(1, r, toCp932(odds[r]));
        }
        grid.show();
    }
    QPoint inside(int col, int row) const {
        const TGridRect r = grid.CellRect(col, row);
        return {r.left + r.width() / 2, r.top + r.height() / 2};
    }
    QImage image() { return grid.viewport()->grab().toImage(); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (int r = 1; r < grid.RowCount(); ++r)
            out.push_back(toUtf8(grid.Cells(0, r)));
        return out;
    }
};

using Strings = std::vector<std::string>;

// Through the window system, as a display sends it: press, release, double click, release.
void doubleClick(TStrColGrid& grid, QPoint inViewport) {
    QWidget* top = grid.window();
    ASSERT_NE(top->windowHandle(), nullptr);
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {},
                       grid.viewport()->mapTo(top, inViewport));
}

TColor pixel(const QImage& image, int x, int y) {
    return toTColor(image.pixelColor(x, y));
}

} // namespace

TEST(StrCGrid, MousePressesInTheHeadingRowSort) {
    Grid g;
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.inside(0, 0));
    EXPECT_EQ(g.names(), (Strings{"サクラ", "ハルウララ", "ディープ", "オグリ"})); // not sortable
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.inside(1, 0));
    EXPECT_EQ(g.names(), (Strings{"オグリ", "ハルウララ", "サクラ", "ディープ"}));
    QTest::mouseClick(g.grid.viewport(), Qt::RightButton, {}, g.inside(1, 0));
    EXPECT_EQ(g.names(), (Strings{"サクラ", "ハルウララ", "オグリ", "ディープ"}));
    // a double click is two presses: up again, then down
    doubleClick(g.grid, g.inside(1, 0));
    EXPECT_EQ(g.names(), (Strings{"サクラ", "ハルウララ", "オグリ", "ディープ"}));
    EXPECT_TRUE(g.grid.SortedDescending());
    EXPECT_EQ(toUtf8(g.grid.Cells(0, 0)), "馬名");
}

TEST(StrCGrid, ClicksFocusCellsAndDoubleClicksAreReported) {
    Grid g;
    QSignalSpy clicked(&g.grid, &TStrColGrid::cellClicked);
    QSignalSpy doubleClicked(&g.grid, &TStrColGrid::cellDoubleClicked);
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.inside(2, 3));
    EXPECT_EQ(g.grid.Col(), 2);
    EXPECT_EQ(g.grid.Row(), 3);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 2);
    EXPECT_EQ(clicked[0][1].toInt(), 3);
    doubleClick(g.grid, g.inside(1, 2));
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_EQ(doubleClicked[0][1].toInt(), 2);
    QTest::keyClick(&g.grid, Qt::Key_Down);
    EXPECT_EQ(g.grid.Row(), 3);
    QTest::keyClick(&g.grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(g.grid.Row(), 4);
    QTest::keyClick(&g.grid, Qt::Key_Home);
    EXPECT_EQ(g.grid.Col(), 0);
}

TEST(StrCGrid, DrawsRecordColoursFixedBevelAndAlignedText) {
    Grid g;
    g.grid.SetFocusDraw(false); // no highlight on the unfocused grid
    g.grid.SetCellColor(0, 1, 0xFF0000);
    g.grid.SetCellFontColor(0, 1, 0xFFFFFF);
    g.grid.SetCellAlignment(1, 2, kAlignRight);
    g.grid.SetColSortKind(1, kSortNumber);
    g.grid.SortByColumn(1); // サクラ (12) moves to row 3 with its red cell
    QImage image = g.image();
    const TGridRect red = g.grid.CellRect(0, 3);
    EXPECT_EQ(pixel(image, red.left + 1, red.bottom - 2), 0xFF0000u);
    EXPECT_EQ(pixel(image, red.right - 2, red.top + 1), 0xFF0000u);
    const TGridRect plain = g.grid.CellRect(0, 1);
    EXPECT_EQ(pixel(image, plain.left + 1, plain.bottom - 2), 0xFFFFFFu);

    // the heading row is fixed: bevel light at top left, grey 128 at bottom right
    const TGridRect head = g.grid.CellRect(1, 0);
    EXPECT_EQ(pixel(image, head.left, head.top), toTColor(g.grid.palette().color(QPalette::Light)));
    EXPECT_EQ(pixel(image, head.right - 1, head.bottom - 1), 0x808080u);
    EXPECT_EQ(pixel(image, head.left + 5, head.bottom - 5), 0xC0C0C0u);
    EXPECT_EQ(pixel(image, head.right, head.top + 5), 0x000000u); // fixed line

    // "9" is right-aligned in row 2: ink near the right edge, none near the left
    const TGridRect nine = g.grid.CellRect(1, 2);
    ASSERT_EQ(g.grid.Cells(1, 2), "9");
    const auto inkBetween = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = nine.top; y < nine.bottom; ++y)
                if (pixel(image, x, y) != 0xFFFFFFu)
                    return true;
        return false;
    };
    EXPECT_FALSE(inkBetween(nine.left, nine.right - 20));
    EXPECT_TRUE(inkBetween(nine.right - 20, nine.right - 2));
    EXPECT_FALSE(inkBetween(nine.right - 2, nine.right));
}

TEST(StrCGrid, HighlightsTheSelectionOnlyAsAllowed) {
    Grid g;
    TGridOptions options;
    options.rowSelect = true;
    g.grid.SetOptions(options);
    g.grid.FocusCell(1, 2);
    const TColor highlight = toTColor(g.grid.palette().color(QPalette::Highlight));
    const TGridRect cell = g.grid.CellRect(2, 2);
    EXPECT_EQ(pixel(g.image(), cell.left + 1, cell.top + 1), highlight); // FocusDraw is on
    g.grid.SetFocusDraw(false);
    EXPECT_EQ(pixel(g.image(), cell.left + 1, cell.top + 1), 0xFFFFFFu);
}

TEST(StrCGrid, ScrollBarsMoveTheRowsBelowTheFixedOnes) {
    Grid g;
    QScrollBar* bar = g.grid.verticalScrollBar();
    EXPECT_FALSE(bar->isVisible()); // five rows fit
    EXPECT_FALSE(g.grid.horizontalScrollBar()->isVisible());
    g.grid.SetRowCount(40);
    g.grid.SetFixedCols(1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_GT(bar->maximum(), 0);
    bar->setValue(5);
    EXPECT_EQ(g.grid.TopRow(), 6);
    EXPECT_EQ(g.grid.MouseCoord(g.inside(1, 6).x(), g.inside(1, 6).y()), (TGridCoord{1, 6}));
    EXPECT_EQ(g.grid.CellRect(1, 6).top, g.grid.CellRect(1, 0).bottom + 1);
    g.grid.FocusCell(1, 39);
    g.grid.ScrollToFocus(g.grid.viewport()->width(), g.grid.viewport()->height());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(g.grid.TopRow(), g.grid.FixedRows() + bar->maximum());
}
