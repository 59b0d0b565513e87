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

// Every half-width kana followed by each mark: only the kana that have a voiced or
// semi-voiced form in Shift-JIS join the mark; small kana and the rest keep it apart.
TEST(ToFullWidth, JoinsEachMarkOnlyWhereTheKanaHasThatForm) {
    const std::string kana = toCp932("ｦｧｨｩｪｫｬｭｮｯｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ");
    const struct {
        char mark;
        const char* expected;
    } marks[] = {
        {'\xDE', "ヲ゛ァ゛ィ゛ゥ゛ェ゛ォ゛ャ゛ュ゛ョ゛ッ゛ア゛イ゛ヴエ゛オ゛"
                 "ガギグゲゴザジズゼゾダヂヅデドナ゛ニ゛ヌ゛ネ゛ノ゛バビブベボ"
                 "マ゛ミ゛ム゛メ゛モ゛ヤ゛ユ゛ヨ゛ラ゛リ゛ル゛レ゛ロ゛ワ゛ン゛"},
        {'\xDF', "ヲ゜ァ゜ィ゜ゥ゜ェ゜ォ゜ャ゜ュ゜ョ゜ッ゜ア゜イ゜ウ゜エ゜オ゜"
                 "カ゜キ゜ク゜ケ゜コ゜サ゜シ゜ス゜セ゜ソ゜タ゜チ゜ツ゜テ゜ト゜"
                 "ナ゜ニ゜ヌ゜ネ゜ノ゜パピプペポマ゜ミ゜ム゜メ゜モ゜"
                 "ヤ゜ユ゜ヨ゜ラ゜リ゜ル゜レ゜ロ゜ワ゜ン゜"},
    };
    for (const auto& m : marks) {
        std::string marked;
        for (char k : kana)
            marked += std::string{k, m.mark};
        EXPECT_EQ(full(marked), m.expected);
    }
}

TEST(ToFullWidth, LeavesFullWidthTextAndOtherBytesUnchanged) {
    std::string text = toCp932("東京ガ①");
    EXPECT_EQ(ToFullWidth(text), text);
    EXPECT_EQ(ToFullWidth("\x7F\x01"), "\x7F\x01");
    EXPECT_EQ(ToFullWidth(""), "");
}
