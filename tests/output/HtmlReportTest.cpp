#include "support/OutputDays.h"

#include "platform/Cp932.h"
#include "platform/Version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char* const kFile04 = "s2001012804.htm";

Lines headerBlock() {
    return {"<HTML><HEAD><TITLE></TITLE></HEAD><center>",
            std::string("    RUV PELTON version ") + ProductVersion() +
                "  Copyright (C) 2001-2026 RUV PELTON developers",
            "</center><p><hr><p></HTML>"};
}

std::string titleLine(int number) {
    return J(
        R"(<table border="0"><tr><td><font color="Blue">                              </font></td></tr>)"
        R"(<tr><td bgcolor="green"><font color="white"><b> )" +
        std::to_string(number) +
        "R 東京 2001年1回8日 01/28 ３歳以上 未勝利                        1600m 芝" +
        std::to_string(9 + number) + ":00発走" +
        R"(</b></font></td></tr></table><table border="0">)"
        R"(<tr bgcolor="cyan"><td>枠</td><td>ブ</td><td>馬</td><td>馬名</td><td>性齢</td><td>斤量</td><td>騎手</td><td align="right">単勝</td><td>Q印</td><td>P印</td><td>順</td><td>５走前</td><td>４走前</td><td>３走前</td><td>２走前</td><td>前　走</td></tr>)");
}

// The rows of FormRace's default field with the given win odds cells.
Lines threeRows(const std::array<const char*, 3>& odds) {
    const std::string right = R"(<td align="right">)";
    auto figures = [&](const char* plain, const char* top) {
        return right + plain + "</td>" + right + plain + "</td>" + right + top + "</td>" + right +
               top + "</td>" + right + top + "</td></tr>";
    };
    return {
        J(std::string(
              R"(<tr><td align="center" bgcolor="#FFFFFF"><font color="#000000">1</font></td><td></td><td align="center">1</td><td>アオバ            </td><td>牡 4</td><td>55</td><td>騎手</td>)") +
          right + odds[0] +
          R"(</td><td align="center"></td><td align="center"><font color="red">◎</font></td><td align="center">1</td>)" +
          figures("120", "+120")),
        J(std::string(
              R"(<tr><td align="center" bgcolor="#000000"><font color="#FFFFFF">2</font></td><td></td><td align="center">2</td><td>イチゴ            </td><td>牡 4</td><td>55</td><td>騎手</td>)") +
          right + odds[1] +
          R"(</td><td align="center"></td><td align="center"><font color="red">○</font></td><td align="center">2</td>)" +
          figures("110", "+110")),
        J(std::string(
              R"(<tr><td align="center" bgcolor="#FF0000"><font color="#FFFFFF">3</font></td><td></td><td align="center">3</td><td>ウメ              </td><td>牡 4</td><td>55</td><td>騎手</td>)") +
          right + odds[2] +
          R"(</td><td align="center"></td><td align="center"><font color="red">▲</font></td><td align="center">3</td>)" +
          figures("100", "100"))};
}

const std::string kBets = J(
    R"(<p><table border="1"><tr><td>買い目</td><td>枠番連勝</td><td align="right">   12</td><td align="right">   13</td><td align="right">   23</td></tr>)");

// A race block: its rows, then the bet table's rows.
Lines raceBlock(int number, const Lines& rows, const Lines& betRows) {
    Lines block{"<HTML>", titleLine(number)};
    block.insert(block.end(), rows.begin(), rows.end());
    block.push_back("</table>");
    block.insert(block.end(), betRows.begin(), betRows.end());
    block.push_back("</table><p><hr><p>");
    block.push_back("</HTML>");
    return block;
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

TEST(HtmlReportTest, ANewFileHasTheHeaderBlockThenOneBlockPerRace) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("04", 2)};
    OutputDay d(day);
    d.run(TOutputCommand::Html);
    const Lines rows = threeRows({"  1.5", "  2.5", "  3.5"});
    const Lines betRows{
        kBets,
        J(R"(<tr><td>オッズ</td><td>RUV予想</td><td align="right">  21.2</td><td align="right">  21.3</td><td align="right">  22.3</td></tr>)")};
    EXPECT_EQ(d.lines(kFile04),
              concat({headerBlock(), raceBlock(1, rows, betRows), raceBlock(2, rows, betRows)}));
    EXPECT_EQ(d.files(), (std::vector<std::string>{kFile04}));
}

struct HtmlCase {
    const char* name;
    SampleRaceOdds odds;
    bool noBet;
    std::array<const char*, 3> win;
    Lines betRows;
};

class HtmlReportCaseTest : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlReportCaseTest, OddsCellsAndBetTable) {
    const HtmlCase& c = GetParam();
    SampleDay day;
    day.races = {FormRace("04", 1, {120, 110, 100}, c.noBet)};
    OutputDay d(day, {c.odds});
    d.run(TOutputCommand::Html);
    Lines betRows;
    for (const std::string& row : c.betRows)
        betRows.push_back(row.empty() ? kBets : J(row));
    EXPECT_EQ(d.lines(kFile04), concat({headerBlock(), raceBlock(1, threeRows(c.win), betRows)}));
}

// An empty bet row stands for the race's usual row of bets.
INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlReportCaseTest,
    ::testing::Values(
        HtmlCase{"NoOddsForTheRace", NoOdds(), false, {"0.0", "0.0", "0.0"}, {""}},
        HtmlCase{
            "ScratchedRunner",
            WinOddsText(3, "     "),
            false,
            {"  1.5", "  2.5", "-"},
            {"",
             R"(<tr><td>オッズ</td><td>RUV予想</td><td align="right">  21.2</td><td align="right">  21.3</td><td align="right">  22.3</td></tr>)"}},
        HtmlCase{
            "BetPairWithoutOdds",
            BracketOddsText(2, 3, "    "),
            false,
            {"  1.5", "  2.5", "  3.5"},
            {"",
             R"(<tr><td>オッズ</td><td>RUV予想</td><td align="right">  21.2</td><td align="right">  21.3</td><td align="right">-</td></tr>)"}},
        HtmlCase{"NoBet",
                 SampleRaceOdds{},
                 true,
                 {"  1.5", "  2.5", "  3.5"},
                 {R"(<p><table border="1"><tr><td>買い目</td><td>見送り</td></tr>)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlReportTest, EveryRunnerRowHasTheSixteenCellsOfTheHeadingRow) {
    SampleDay day;
    day.races = {FormRace("04", 1, {120, 110, 100, 90, 80, 70, 60, 50, 40})};
    day.races[0].runners[8].blinkers = "1";
    day.races[0].runners[8].age = "10";
    OutputDay d(day);
    d.run(TOutputCommand::Html);
    const Lines lines = d.lines(kFile04);
    ASSERT_EQ(lines.size(), 3u + 2u + 9u + 5u);
    auto cells = [](const std::string& row) {
        std::size_t n = 0;
        for (std::size_t at = row.find("<td"); at != std::string::npos;
             at = row.find("<td", at + 1))
            ++n;
        return n;
    };
    for (std::size_t i = 5; i < 14; ++i)
        EXPECT_EQ(cells(lines[i]), 16u) << toUtf8(lines[i]);
    const std::string start = J(
        R"(<tr><td align="center" bgcolor="#FF80C0"><font color="#000000">8</font></td><td>B</td><td align="center">9</td><td>ケヤキ            </td><td>牡10</td>)");
    EXPECT_EQ(lines[13].substr(0, start.size()), start);
    EXPECT_EQ(
        lines[15],
        J(R"(<p><table border="1"><tr><td>買い目</td><td>馬番連勝</td><td align="right"> 1- 2</td><td align="right"> 1- 3</td><td align="right"> 1- 4</td><td align="right"> 1- 5</td><td align="right"> 1- 6</td><td align="right"> 2- 3</td></tr>)"));
    EXPECT_EQ(
        lines[16],
        J(R"(<tr><td>オッズ</td><td>RUV予想</td><td align="right"> 310.2</td><td align="right"> 310.3</td><td align="right"> 310.4</td><td align="right"> 310.5</td><td align="right"> 310.6</td><td align="right"> 320.3</td></tr>)"));
}

TEST(HtmlReportTest, InterleavedVenuesKeepEveryRace) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("00", 1), FormRace("04", 2)};
    OutputDay d(day);
    d.run(TOutputCommand::Html);
    const Lines lines = d.lines(kFile04);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "<HTML>"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), headerBlock()[0]), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), titleLine(2)), 1);
    EXPECT_EQ(d.files(), (std::vector<std::string>{"s2001012800.htm", kFile04}));
}
