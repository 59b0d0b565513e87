#include "view/RaceIndex.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> lines(std::initializer_list<const char*> utf8) {
    std::vector<std::string> result;
    for (const char* line : utf8)
        result.push_back(toCp932(line));
    return result;
}

std::string text(const TRaceIndexNode& node) {
    return toUtf8(node.text);
}

} // namespace

TEST(RaceIndex, GroupsRacesUnderTheirVenuesInLineOrder) {
    TRaceIndex index(lines({"東京  1R ３歳未勝利 芝1600m", "中山  1R ３歳新馬 ダート1200m",
                            "東京  2R ４歳以上500万 芝2000m"}));
    ASSERT_EQ(index.Roots().size(), 2u);
    const TRaceIndexNode& tokyo = *index.Roots()[0];
    EXPECT_EQ(text(tokyo), "東京");
    EXPECT_EQ(tokyo.data, -1);
    ASSERT_EQ(tokyo.children.size(), 2u);
    EXPECT_EQ(text(*tokyo.children[0]), "1R ３歳未勝利 芝1600m");
    EXPECT_EQ(tokyo.children[0]->data, 0);
    EXPECT_EQ(text(*tokyo.children[1]), "2R ４歳以上500万 芝2000m");
    EXPECT_EQ(tokyo.children[1]->data, 2);
    EXPECT_EQ(text(*index.Roots()[1]), "中山");
    EXPECT_EQ(index.Roots()[1]->children[0]->data, 1);
}

TEST(RaceIndex, SplitsAtTheFirstBlankAndSkipsTheBlanksAfterIt) {
    TRaceIndex index(lines({"京都   11R 京都記念 芝2200m", "NoBlankLine", " 1R leading blank"}));
    ASSERT_EQ(index.Roots().size(), 2u);
    EXPECT_EQ(text(*index.Roots()[0]->children[0]), "11R 京都記念 芝2200m");
    // a line without a blank: an empty venue holding the whole line
    const TRaceIndexNode& unnamed = *index.Roots()[1];
    EXPECT_EQ(unnamed.text, "");
    ASSERT_EQ(unnamed.children.size(), 2u);
    EXPECT_EQ(unnamed.children[0]->text, "NoBlankLine");
    EXPECT_EQ(unnamed.children[1]->text, "1R leading blank");
}

TEST(RaceIndex, AVenueNameIsLookedUpOverRaceNodesToo) {
    // the first node of the whole tree with that text wins, a race node included
    TRaceIndex index(lines({"A B", "B x"}));
    ASSERT_EQ(index.Roots().size(), 1u);
    const TRaceIndexNode& race = *index.Roots()[0]->children[0];
    EXPECT_EQ(race.text, "B");
    ASSERT_EQ(race.children.size(), 1u);
    EXPECT_EQ(race.children[0]->text, "x");
    EXPECT_EQ(race.children[0]->data, 1);
}
