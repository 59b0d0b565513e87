#include "race/HenkanJ.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace {

std::string full(const std::string& halfCp932) {
    return toUtf8(ToFullWidth(halfCp932));
}

} // namespace

TEST(ToFullWidth, TurnsDigitsLettersAndSymbolsFullWidth) {
    EXPECT_EQ(full("2001"), "２００１");
    EXPECT_EQ(full("Az09"), "Ａｚ０９");
    EXPECT_EQ(ToFullWidth("-"), "\x81\x7C");
    EXPECT_EQ(ToFullWidth("\\"), "\x81\x8F");
    EXPECT_EQ(ToFullWidth(" "), "\x81\x40");
    EXPECT_EQ(full("(@)/.,"), "（＠）／．，");
}

TEST(ToFullWidth, JoinsVoicingMarksToTheKanaThatTakeThem) {
    EXPECT_EQ(full(toCp932("ｶﾞ")), "ガ");
    EXPECT_EQ(full(toCp932("ﾊﾟ")), "パ");
    EXPECT_EQ(full(toCp932("ﾎﾞﾎﾟ")), "ボポ");
    EXPECT_EQ(full(toCp932("ﾄﾞ")), "ド");
    EXPECT_EQ(full(toCp932("ｱﾞ")), "ア゛");
    EXPECT_EQ(full(toCp932("ﾝﾟ")), "ン゜");
    EXPECT_EQ(ToFullWidth("\xDE"), "\xDE"); // a lone mark stays
    EXPECT_EQ(full(toCp932("ｰ")), "ー");
    EXPECT_EQ(full(toCp932("ｦｧｯﾜﾝ")), "ヲァッワン");
    EXPECT_EQ(full(toCp932("｢ｱｲｳ｣､｡･")), "「アイウ」、。・");
}

TEST(ToFullWidth, LeavesFullWidthTextAndOtherBytesUnchanged) {
    std::string text = toCp932("東京ガ①");
    EXPECT_EQ(ToFullWidth(text), text);
    EXPECT_EQ(ToFullWidth("\x7F\x01"), "\x7F\x01");
    EXPECT_EQ(ToFullWidth(""), "");
}
