#include "view/FramePosValue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> numbers(const TFormPlacement& p) {
    return {p.Left, p.Top, p.Right, p.Bottom, p.MinX, p.MinY, p.MaxX, p.MaxY, p.State};
}

std::string describe(const TToolBarPlacement& p) {
    return ToolBarPosText(p);
}

// A window placed somewhere, as the current place before a value is applied.
TFormPlacement current() {
    TFormPlacement p;
    p.Left = 10;
    p.Top = 20;
    p.Right = 310;
    p.Bottom = 220;
    p.State = TFormPlacement::kNormal;
    return p;
}

TToolBarPlacement currentBar() {
    TToolBarPlacement p;
    p.Visible = false;
    p.Docked = false;
    p.Top = 1;
    p.Left = 2;
    p.UndockWidth = 3;
    p.UndockHeight = 4;
    p.DockHeight = 5;
    p.DockWidth = 6;
    p.DockSite = "nil";
    return p;
}

} // namespace

TEST(FramePosValueTest, FormValueIsNineNumbers) {
    TFormPlacement p{100, 50, 740, 530, -1, -1, -1, -1, TFormPlacement::kMaximized};
    EXPECT_EQ(FormPosText(p), "100,50,740,530,-1,-1,-1,-1,2");
    TFormPlacement back = current();
    ASSERT_TRUE(ApplyFormPosText(FormPosText(p), back));
    EXPECT_EQ(numbers(back), numbers(p));
}

TEST(FramePosValueTest, FormValueItemsThatAreNoIntegersKeepTheCurrentPlace) {
    struct Case {
        const char* text;
        std::vector<int> expected; // Left, Top, Right, Bottom, MinX, MinY, MaxX, MaxY, State
    };
    const Case cases[] = {
        {"x,2,,4,$10,0x10,-7,8,1", {10, 2, 310, 4, 16, 16, -7, 8, 1}},
        // a state that is not 0, 1 or 2 keeps the current one instead of stopping the window
        {"1,2,3,4,5,6,7,8,x", {1, 2, 3, 4, 5, 6, 7, 8, 0}},
        {"1,2,3,4,5,6,7,8,3", {1, 2, 3, 4, 5, 6, 7, 8, 0}},
        {"1,2,3,4,5,6,7,8,-1", {1, 2, 3, 4, 5, 6, 7, 8, 0}},
        {"1,2,3,4,5,6,7,8,", {1, 2, 3, 4, 5, 6, 7, 8, 0}},
        // items past the ninth are not read
        {"1,2,3,4,5,6,7,8,1,9,9", {1, 2, 3, 4, 5, 6, 7, 8, 1}},
    };
    for (const Case& c : cases) {
        TFormPlacement p = current();
        EXPECT_TRUE(ApplyFormPosText(c.text, p)) << c.text;
        EXPECT_EQ(numbers(p), c.expected) << c.text;
    }
}

TEST(FramePosValueTest, ValuesOfFewerThanNineItemsAreIgnored) {
    for (const char* text : {"", "1,2,3,4,5,6,7,8", "1,1,1,1,1,1,1,1"}) {
        TFormPlacement p = current();
        EXPECT_FALSE(ApplyFormPosText(text, p)) << text;
        EXPECT_EQ(numbers(p), numbers(current())) << text;

        TToolBarPlacement bar = currentBar();
        EXPECT_FALSE(ApplyToolBarPosText(text, bar)) << text;
        EXPECT_EQ(describe(bar), describe(currentBar())) << text;
    }
}

TEST(FramePosValueTest, ToolBarValueRoundTrips) {
    TToolBarPlacement docked;
    docked.Top = 0;
    docked.Left = 11;
    docked.UndockWidth = 180;
    docked.UndockHeight = 30;
    docked.DockHeight = 29;
    docked.DockWidth = 29;
    docked.DockSite = "TopToolBarArea";
    EXPECT_EQ(ToolBarPosText(docked), "1,1,0,11,180,30,29,29,TopToolBarArea");

    TToolBarPlacement floating = docked;
    floating.Visible = false;
    floating.Docked = false;
    floating.Top = -40;
    floating.DockSite = TToolBarPlacement::kFloatingSite;
    EXPECT_EQ(ToolBarPosText(floating), "0,0,-40,11,180,30,29,29,nil");

    for (const TToolBarPlacement& p : {docked, floating}) {
        TToolBarPlacement back = currentBar();
        ASSERT_TRUE(ApplyToolBarPosText(ToolBarPosText(p), back));
        EXPECT_EQ(describe(back), describe(p));
    }
}

TEST(FramePosValueTest, ToolBarFlagsDefaultToOnAndNumbersKeepTheCurrentPlace) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"x,,a,b,c,d,e,f,ControlBar1", "1,1,1,2,3,4,5,6,ControlBar1"},
        {"0,0,7,8,9,10,11,12,nil", "0,0,7,8,9,10,11,12,nil"},
        {"2,$0,7,8,9,10,11,12,", "1,0,7,8,9,10,11,12,"},
    };
    for (const Case& c : cases) {
        TToolBarPlacement p = currentBar();
        EXPECT_TRUE(ApplyToolBarPosText(c.text, p)) << c.text;
        EXPECT_EQ(describe(p), c.expected) << c.text;
    }
}
