#include "gui/support/QtBoundary.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

TEST(QtBoundary, MapsTheWindowsJapaneseFacesToTheIpaFonts) {
    const std::pair<const char*, const char*> cases[] = {
        {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ 明朝", "IPAMincho"},     {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"Courier New", "Courier New"}, {"ＭＳゴシック", "ＭＳゴシック"}, // no blank: not the face
    };
    for (const auto& [windows, mapped] : cases)
        EXPECT_EQ(MappedFontFace(toCp932(windows)), QString::fromUtf8(mapped)) << windows;
    const QFont font = MappedFont(toCp932("ＭＳ ゴシック"), 11);
    EXPECT_EQ(font.family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(font.pointSize(), 11);
}

TEST(QtBoundary, ConvertsTextsAndColours) {
    EXPECT_EQ(qsjis(toCp932("単勝 ①")), QStringLiteral("単勝 ①"));
    EXPECT_EQ(qsjis("a\x85\x61"), QStringLiteral("a\uFFFDa")); // 0x85 starts no character
    EXPECT_EQ(sjisOf(QStringLiteral("馬連－")), toCp932("馬連－"));
    EXPECT_THROW(sjisOf(QStringLiteral("한")), EConvertError);
    EXPECT_EQ(toQColor(0x12AB34), QColor(0x12, 0xAB, 0x34));
    EXPECT_EQ(toTColor(QColor(0x12, 0xAB, 0x34)), 0x12AB34u);
}
