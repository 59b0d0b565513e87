#include "support/OutputDays.h"

#include "platform/Cp932.h"
#include "platform/Version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string kHeader = std::string("    RUV PELTON version ") + ProductVersion() +
                            "  Copyright (C) 2001-2026 RUV PELTON developers";
const std::string kRule(79, '-');
const std::string kClosing(79, '=');

// The two heading lines of race number at 東京 with the fixture's post time.
Lines heading(int number) {
    return {std::string(70, ' ') + J(std::to_string(9 + number) + ":00発走"),
            J(" " + std::to_string(number) +
              "R 東京 2001年1回8日 01/28 ３歳以上 未勝利                        1600m 芝")};
}

// The runner lines of FormRace's default field with the given win odds texts.
Lines threeRunners(const std::array<const char*, 3>& odds) {
    return {J(std::string("1  1アオバ             牡4 55   騎手   ") + odds[0] +
              "  ◎1  120  120 +120 +120 +120"),
            J(std::string("2  2イチゴ             牡4 55   騎手   ") + odds[1] +
              "  ○2  110  110 +110 +110 +110"),
            J(std::string("3  3ウメ               牡4 55   騎手   ") + odds[2] +
              "  ▲3  100  100  100  100  100")};
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::size_t countOf(const Lines& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

const char* const kFile04 = "s2001012804.txt";
const char* const kFile00 = "s2001012800.txt";

} // namespace

TEST(TextReportTest, TheFirstRaceOfAVenueStartsTheFileAndTheSecondIsAppended) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("04", 2)};
    OutputDay d(day);
    d.run(TOutputCommand::Text);

    const Lines race = concat({threeRunners({"  1.5", "  2.5", "  3.5"}),
                               {kRule, J("<買い目> 枠番連勝      12     13     23"),
                                J("<オッズ> RUV予想     21.2   21.3   22.3"), kClosing}});
    EXPECT_EQ(d.lines(kFile04), concat({{kHeader, ""}, heading(1), race, {""}, heading(2), race}));
    for (const std::string& line : d.lines(kFile04)) {
        if (!line.empty() && line[0] >= '1' && line[0] <= '8') { // the runner lines
            EXPECT_EQ(line.size(), 74u) << toUtf8(line);
        }
    }
    EXPECT_EQ(d.files(), (std::vector<std::string>{kFile04}));
}

TEST(TextReportTest, InterleavedVenuesKeepEveryRace) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("00", 1), FormRace("04", 2), FormRace("00", 2)};
    OutputDay d(day);
    d.run(TOutputCommand::Text);

    for (const char* file : {kFile04, kFile00}) {
        const Lines lines = d.lines(file);
        SCOPED_TRACE(file);
        EXPECT_EQ(lines.front(), kHeader);
        EXPECT_EQ(countOf(lines, kHeader), 1u);
        EXPECT_EQ(countOf(lines, kClosing), 2u);
    }
    EXPECT_EQ(countOf(d.lines(kFile04), heading(2)[1]), 1u);
}

TEST(TextReportTest, RunningTheCommandAgainRewritesTheFile) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("04", 2)};
    OutputDay d(day);
    d.run(TOutputCommand::Text);
    const std::string first = d.read(kFile04);
    d.run(TOutputCommand::Text);
    EXPECT_EQ(d.read(kFile04), first);
}

// What the odds of the race make of the win odds column and the odds line.
struct OddsCase {
    const char* name;
    SampleRaceOdds odds;
    std::array<const char*, 3> win;
    std::vector<std::string> oddsLine;     // empty: no odds line
    std::optional<SampleRaceOdds> rx = {}; // the RX file, read first, when there is one
};

void PrintTo(const OddsCase& c, std::ostream* os) {
    *os << c.name;
}

// Odds whose runner count disagrees with the race card of three runners.
SampleRaceOdds OddsOfRunners(const char* count) {
    SampleRaceOdds o;
    o.runnerCount = count;
    return o;
}

class TextReportOddsTest : public ::testing::TestWithParam<OddsCase> {};

TEST_P(TextReportOddsTest, WinOddsAndOddsLine) {
    const OddsCase& c = GetParam();
    SampleDay day;
    day.races = {FormRace("04", 1)};
    OutputDay d(day, {c.odds});
    if (c.rx)
        d.useRxFile({*c.rx});
    d.run(TOutputCommand::Text);

    Lines expected = concat({{kHeader, ""},
                             heading(1),
                             threeRunners(c.win),
                             {kRule, J("<買い目> 枠番連勝      12     13     23")}});
    for (const std::string& line : c.oddsLine)
        expected.push_back(J(line));
    expected.push_back(kClosing);
    EXPECT_EQ(d.lines(kFile04), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Odds, TextReportOddsTest,
    ::testing::Values(
        OddsCase{"NoOddsForTheRace", NoOdds(), {"  0.0", "  0.0", "  0.0"}, {}},
        OddsCase{"ScratchedRunner",
                 WinOddsText(2, "     "),
                 {"  1.5", "    -", "  3.5"},
                 {"<オッズ> RUV予想     21.2   21.3   22.3"}},
        OddsCase{"BetPairWithoutOdds",
                 BracketOddsText(1, 3, "    "),
                 {"  1.5", "  2.5", "  3.5"},
                 {"<オッズ> RUV予想     21.2      -   22.3"}},
        // odds of another field size are no odds for the race
        OddsCase{"FewerRunnersThanTheCard", OddsOfRunners("02"), {"  0.0", "  0.0", "  0.0"}, {}},
        OddsCase{"MoreRunnersThanTheCard", OddsOfRunners("10"), {"  0.0", "  0.0", "  0.0"}, {}},
        OddsCase{"RxOddsOfAnotherFieldGiveWayToTheOddsFile",
                 {},
                 {"  1.5", "  2.5", "  3.5"},
                 {"<オッズ> RUV予想     21.2   21.3   22.3"},
                 OddsOfRunners("4")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextReportTest, NoBetWritesMiokuriAndNoOddsLine) {
    SampleDay day;
    day.races = {FormRace("04", 1, {120, 110, 100}, true)};
    OutputDay d(day);
    d.run(TOutputCommand::Text);
    EXPECT_EQ(d.lines(kFile04), concat({{kHeader, ""},
                                        heading(1),
                                        threeRunners({"  1.5", "  2.5", "  3.5"}),
                                        {kRule, J("<買い目> 見送り"), kClosing}}));
}

TEST(TextReportTest, ALongOddsSourceTextShiftsTheOddsThatFollow) {
    SampleDay day;
    day.races = {FormRace("04", 1)};
    OutputDay d(day);
    SampleRaceOdds rx;
    rx.rxTimes = {"09:50", "01/28-09:51:20", "09:52", "09:53"}; // the bracket quinella time
    d.useRxFile({rx});
    d.run(TOutputCommand::Text);
    const Lines lines = d.lines(kFile04);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], J("<オッズ> DRN 01/28-09:51:20   21.2   21.3   22.3"));
}

TEST(TextReportTest, FieldsOfManyRunnersBetOnRunnerPairs) {
    SampleDay day;
    day.races = {FormRace("04", 1, {120, 110, 100, 90, 80, 70, 60, 50, 40})};
    OutputDay d(day);
    d.run(TOutputCommand::Text);
    const Lines lines = d.lines(kFile04);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[10],
              J("7  7キキョウ           牡4 55   騎手     7.5    7   60   60   60   60   60"));
    EXPECT_EQ(lines[12],
              J("8  9ケヤキ             牡4 55   騎手     9.5    9   40   40   40   40   40"));
    EXPECT_EQ(lines[14], J("<買い目> 馬番連勝    1- 2   1- 3   1- 4   1- 5   1- 6   2- 3"));
    EXPECT_EQ(lines[15], J("<オッズ> RUV予想    310.2  310.3  310.4  310.5  310.6  320.3"));
}

// Fields longer than their columns run on and are overwritten by the next field; a
// character split by that, or by the cut at column 74, leaves a blank, not half of it.
// Where the next field writes nothing, the character that ran on stays whole.
TEST(TextReportTest, OverlongFieldsNeverLeaveHalfACharacter) {
    const struct {
        const char* jockey;
        const char* star;
        const char* line;
    } cases[] = {
        // the jockey's name, cut to six bytes by the race data, overwrites the mark's half
        {"ジョッキー", "1",
         "1B 1アオバ             牡4 57.5 ジョッ*  1.5  ◎1  120  120 +120 +120 +120"},
        {"", "1", "1B 1アオバ             牡4 57.5 *        1.5  ◎1  120  120 +120 +120 +120"},
        {"", "0", "1B 1アオバ             牡4 57.5☆        1.5  ◎1  120  120 +120 +120 +120"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SampleDay day;
        day.races = {FormRace("04", 1)};
        SampleRunner& first = day.races[0].runners[0];
        first.blinkers = "1";
        first.weightKilograms = "57";
        first.weightTenths = "5";
        first.allowance = "1"; // a two-byte mark after 57.5: six bytes in a column of five
        first.jockeyStar = c.star;
        first.jockey = c.jockey;
        day.races[0].runners[2].horseName = "ウメノハナサカリ号"; // 18 bytes, the whole column
        OutputDay d(day);
        d.run(TOutputCommand::Text);
        const Lines lines = d.lines(kFile04);
        ASSERT_GE(lines.size(), 7u);
        EXPECT_EQ(lines[4], J(c.line));
        EXPECT_EQ(lines[6],
                  J("3  3ウメノハナサカリ号 牡4 55   騎手     3.5  ▲3  100  100  100  100  100"));
        for (const std::string& line : lines)
            EXPECT_NO_THROW(toUtf8(line)) << toUtf8Lenient(line);
    }
}
