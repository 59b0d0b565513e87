#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Format.h"

#include <gtest/gtest.h>

TEST(Cp932, MapsTheCharactersThatOnlyCp932Holds) {
    EXPECT_EQ(toCp932("①"), "\x87\x40");
    EXPECT_EQ(toCp932("⑩"), "\x87\x49");
    EXPECT_EQ(toCp932("－"), "\x81\x7C");
    EXPECT_EQ(toCp932("￥"), "\x81\x8F");
    EXPECT_EQ(toUtf8("\x81\x7C"), "－");
    EXPECT_EQ(toUtf8("\x87\x40\x87\x49"), "①⑩");
}

TEST(Cp932, RefusesWhatDoesNotConvert) {
    EXPECT_THROW(toCp932("\xF0\x9F\x98\x80"), EConvertError); // an emoji has no CP932 form
    EXPECT_THROW(toUtf8("\x82"), EConvertError);              // a lead byte without its partner
    EXPECT_EQ(toUtf8Lenient("A\x82"), "A\xEF\xBF\xBD");
}

TEST(Cp932, LiteralsAreConvertedOnce) {
    const char* literal = "東京";
    EXPECT_EQ(&sjis(literal), &sjis(literal));
    EXPECT_EQ(sjis(literal), "\x93\x8C\x8B\x9E");
}

TEST(Cp932, CutsNeverLeaveHalfACharacter) {
    std::string text = toCp932("ab東京cd"); // a b 東(2) 京(2) c d
    EXPECT_EQ(LeftBytes(text, 3), "ab ");
    EXPECT_EQ(LeftBytes(text, 4), toCp932("ab東"));
    EXPECT_EQ(LeftBytes(text, 20), text);
    EXPECT_EQ(EraseBytes(text, 3, 2), "ab  cd"); // the halves of 東 and 京 left behind
    EXPECT_EQ(EraseBytes(text, 2, 4), "abcd");

    std::string line(8, '.');
    OverwriteBytes(line, 1, toCp932("東京"));
    EXPECT_EQ(line, std::string(".").append(toCp932("東京")).append("..."));
    OverwriteBytes(line, 2, "xy"); // splits 東 and 京
    EXPECT_EQ(line, ". xy ...");
    OverwriteBytes(line, 5, toCp932("東京")); // cut at the line's end
    EXPECT_EQ(line, std::string(". xy ").append(toCp932("東")).append(" "));
    EXPECT_EQ(line.size(), 8u);
}

TEST(Format, PadsAndAlignsBytes) {
    EXPECT_EQ(Format("%-6s|", toCp932("東京").c_str()), toCp932("東京") + "  |");
    EXPECT_EQ(Format("%70s", "x").size(), 70u);
    EXPECT_EQ(Format("%s", std::string(1000, 'z').c_str()).size(), 1000u);
}
