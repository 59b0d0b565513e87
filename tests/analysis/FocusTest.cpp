#include "analysis/Focus.h"

#include "support/FakeRace.h"
#include "platform/Cp932.h"
#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"
#include "sampleday/DayWriter.h"
#include "sampleday/TimeDbWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

std::vector<std::string> betTexts(const TFocus& focus) {
    std::vector<std::string> texts;
    for (int i = 0; i < focus.BetCount(); ++i)
        texts.push_back(focus.BetText(i));
    return texts;
}

std::vector<int> markNos(const TFocus& focus) {
    std::vector<int> marks;
    for (int r = 1; r <= focus.RunnerCount(); ++r)
        marks.push_back(focus.MarkNo(r));
    return marks;
}

std::vector<std::string> cellTexts(const TFocus& focus, int runner) {
    std::vector<std::string> texts;
    for (int c = 0; c < TFocus::kCells; ++c)
        texts.push_back(toUtf8(focus.FigureText(runner, c)));
    return texts;
}

class FocusTest : public ::testing::Test {
protected:
    FocusTest() {
        WriteTimeDb(m_folder.path(), focusDb());
        m_focus.emplace(m_folder.folderText());
    }
    TFocus& calc(const FakeField& field) {
        m_focus->Calc(FakeRace(field));
        return *m_focus;
    }
    TWorkFolder m_folder;
    std::optional<TFocus> m_focus;
};

} // namespace

TEST(FocusCreateTest, TimeDatabaseErrorsPassThrough) {
    TWorkFolder empty;
    try {
        TFocus focus(empty.folderText());
        FAIL() << "created";
    } catch (const ESemOpenError& e) {
        EXPECT_EQ(std::string(e.what()), sjis("time.dbxがオープンできません") +
                                             sjis("\n探したフォルダ: ") + empty.folderText());
    }
}

TEST(FocusCreateTest, RoundedFigureIsTheIntegerPartOfFigurePlusAHalf) {
    const struct {
        float figure;
        int rounded;
    } cases[] = {
        {84.5f, 85}, {84.49f, 84},     {std::nextafter(84.5f, 0.0f), 84},
        {0.5f, 1},   {0.49999997f, 0}, // 1.0 if the half were added in single precision
        {85.5f, 86},                   // not to even
        {0.0f, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundedFigure(c.figure), c.rounded) << c.figure;
}

TEST_F(FocusTest, BeforeAnyCalcEverythingIsEmpty) {
    EXPECT_EQ(m_focus->BetCount(), 0);
    EXPECT_EQ(m_focus->MarkNo(1), 0);
    EXPECT_EQ(m_focus->MarkText(1), "");
    EXPECT_EQ(m_focus->FigureText(1, 0), "");
    EXPECT_EQ(m_focus->MarkedRunner(1), 0);
    EXPECT_EQ(m_focus->BetLines(0), "");
}

TEST_F(FocusTest, CellsShowStatusLabelsAndRoundedFiguresWithTopAndDirtSigns) {
    FakeField race;
    FakeRun variantDay = fig(90); // 2001-01-28 at course 5 carries +3 on turf
    variantDay.date = 20010128;
    FakeRun heavier = fig(84);
    heavier.weight = 552; // 84.4
    race.runners = {
        runs({fig(84.5), heavier, status(kRunLocal), noFactor(), status(kRunNone)}),
        runs({fig(100), fig(100), fig(100), fig(120), variantDay}),
        runs({fig(100, true), fig(100), fig(100), status(kRunJump), status(kRunNotEvaluated)}),
        runs({status(11), status(kRunDisqualified), fig(84.5, true)}),
    };
    TFocus& focus = calc(race);
    EXPECT_EQ(cellTexts(focus, 1), (std::vector<std::string>{"85", "84", "地方", "XXX", "－"}));
    // only the last three races compete for the top flags
    EXPECT_EQ(cellTexts(focus, 2), (std::vector<std::string>{"+100", "+100", "+100", "120", "93"}));
    EXPECT_EQ(cellTexts(focus, 3),
              (std::vector<std::string>{"+D100", "+100", "+100", "障害", "XXX"}));
    EXPECT_EQ(cellTexts(focus, 4), (std::vector<std::string>{"－", "失格", "D85", "－", "－"}));
    EXPECT_EQ(focus.RunnerScore(1).cells[1].figure, static_cast<float>(80 + 4 + 0.2 * 2));
}

TEST_F(FocusTest, TopFlagsGoToTheBestLevelsUntilFourCellsCarryOne) {
    const struct {
        std::vector<Runs> runners;
        std::vector<std::vector<std::string>> texts;
    } cases[] = {
        // 90, 88, 88 (87.5 rounds up), 88, 85: the 85 stays unflagged
        {{runs({fig(90), fig(88), fig(85)}), runs({fig(87.5), fig(88)})},
         {{"+90", "+88", "85", "－", "－"}, {"+88", "+88", "－", "－", "－"}}},
        // five cells of 90: all flagged, the 89 is not
        {{runs({fig(90), fig(90), fig(90)}), runs({fig(90), fig(90), fig(89)})},
         {{"+90", "+90", "+90", "－", "－"}, {"+90", "+90", "89", "－", "－"}}},
        // single cells on each level: the fourth is flagged, the fifth is not
        {{runs({fig(90), fig(89), fig(88)}), runs({fig(87), fig(86)})},
         {{"+90", "+89", "+88", "－", "－"}, {"+87", "86", "－", "－", "－"}}},
        // fewer than four positive figures: every one of them
        {{runs({fig(60), status(kRunLocal), fig(0.5)}), runs({fig(0), fig(0)})},
         {{"+60", "地方", "+1", "－", "－"}, {"0", "0", "－", "－", "－"}}},
    };
    for (const auto& c : cases) {
        FakeField race;
        race.runners = c.runners;
        TFocus& focus = calc(race);
        for (std::size_t r = 0; r < c.texts.size(); ++r)
            EXPECT_EQ(cellTexts(focus, static_cast<int>(r + 1)), c.texts[r]) << "runner " << r + 1;
    }
}

TEST_F(FocusTest, ScoreAveragesTheFiguresAboveEightySevenPercentOfTheMean) {
    const struct {
        Runs runs;
        float score;
        int goodCount;
    } cases[] = {
        {runs({fig(113), fig(87)}), 113.0f, 1}, // 87 is exactly 87% of 100
        {runs({fig(113), fig(87.5)}), 100.25f, 2},
        // 78.3 equals the threshold once it is a 32-bit float (the double is below it)
        {runs({tenthFig(217), tenthFig(-17)}), static_cast<float>(217 * 0.1 + 80), 1},
        {runs({fig(95)}), 95.0f, 1},
        {runs({fig(0)}), 0.0f, 0},
        {runs({fig(0), fig(100), fig(100)}), 100.0f, 2},
        // races without a figure do not lower the mean: 60 stays below 87% of 80
        {runs({status(kRunLocal), noFactor(), fig(100), fig(60)}), 100.0f, 1},
        {runs({status(kRunNone)}), 0.0f, 0},
    };
    for (const auto& c : cases) {
        FakeField race;
        race.runners = {c.runs};
        TFocus& focus = calc(race);
        EXPECT_EQ(focus.RunnerScore(1).score, c.score) << c.score;
        EXPECT_EQ(focus.RunnerScore(1).goodCount, c.goodCount) << c.score;
    }
}

TEST_F(FocusTest, EqualScoresRankTheHigherRunnerNumberFirst) {
    TFocus& focus = calc(fieldOf({90, 95, 90, 95, 0, 80}));
    std::vector<int> ranks;
    for (int r = 1; r <= 6; ++r)
        ranks.push_back(focus.RunnerScore(r).rank);
    EXPECT_EQ(ranks, (std::vector<int>{4, 2, 3, 1, 0, 5}));

    // equal as 32-bit averages: (80 + 74.4) / 2 and 77.2, not equal in double
    FakeField race;
    race.runners = {runs({tenthFig(0), tenthFig(-56)}), runs({tenthFig(-28)})};
    TFocus& tied = calc(race);
    ASSERT_EQ(tied.RunnerScore(1).score, tied.RunnerScore(2).score);
    EXPECT_EQ(tied.RunnerScore(2).rank, 1);
    EXPECT_EQ(tied.RunnerScore(1).rank, 2);
}

TEST_F(FocusTest, AtMostNineRunnersAreRankedAndMarked) {
    TFocus& focus = calc(fieldOf({50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60}));
    EXPECT_EQ(markNos(focus), (std::vector<int>{0, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    const char* symbols[] = {"", "", "", "", "", "×", "×", "△", "▲", "○", "◎"};
    for (int r = 1; r <= 11; ++r)
        EXPECT_EQ(toUtf8(focus.MarkText(r)), symbols[r - 1]) << r;
    EXPECT_EQ(focus.MarkedRunner(1), 11);
    EXPECT_EQ(focus.MarkedRunner(7), 5);
    EXPECT_EQ(focus.MarkedRunner(0), 1);
    EXPECT_EQ(focus.MarkedRunner(10), 0);
}

TEST_F(FocusTest, FirstAndSecondExchangeOnTopFlagsThenLastRace) {
    const struct {
        const char* what;
        std::vector<Runs> runners;
        int favourite;
    } cases[] = {
        // first: score 100, three flags (80 is the fourth level) but last race 80
        {"more flags, worse last race", {runs({fig(80), fig(100), fig(100)}), runs({fig(95)})}, 2},
        {"fewer flags, better last race", {runs({fig(100)}), runs({fig(99), fig(99), fig(99)})}, 2},
        {"more flags, better last race", {runs({fig(100), fig(100)}), runs({fig(95)})}, 1},
        {"same flags, same last race", {runs({fig(96), fig(100)}), runs({fig(96), fig(98)})}, 1},
    };
    for (const auto& c : cases) {
        FakeField race;
        race.runners = c.runners;
        TFocus& focus = calc(race);
        EXPECT_EQ(focus.RunnerScore(1).rank, 1) << c.what;
        EXPECT_EQ(focus.MarkedRunner(1), c.favourite) << c.what;
        EXPECT_EQ(focus.MarkedRunner(2), 3 - c.favourite) << c.what;
    }
}

TEST_F(FocusTest, ClearLeaderOrCloseRaceChoosesTheBets) {
    const struct {
        const char* what;
        std::vector<double> figures;
        std::vector<std::string> bets;
    } cases[] = {
        {"clear, 3", {90, 100, 80}, {"   12", "   23", "   13"}},
        {"close, 3", {99, 100, 80}, {"   12", "   23", "   13"}},
        {"clear, 4", {70, 100, 80, 60}, {"   23", "   12", "   24", "   13"}},
        {"close, 4", {70, 100, 99, 60}, {"   23", "   12", "   24", "   13", "   34", "   14"}},
        {"clear, 8",
         {70, 75, 100, 60, 90, 65, 80, 85},
         {"   35", "   38", "   37", "   23", "   13", "   58"}},
        {"close, 8",
         {70, 75, 100, 60, 99, 65, 80, 85},
         {"   35", "   38", "   37", "   58", "   57", "   78"}},
        {"clear, 9",
         {70, 75, 100, 60, 90, 65, 80, 85, 50},
         {" 3- 5", " 3- 8", " 3- 7", " 2- 3", " 1- 3", " 5- 8"}},
        {"close, 9",
         {70, 75, 100, 60, 99, 65, 80, 85, 50},
         {" 3- 5", " 3- 8", " 3- 7", " 5- 8", " 5- 7", " 7- 8"}},
        {"too few scored", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 90, 100, 80}, {}},
    };
    for (const auto& c : cases) {
        TFocus& focus = calc(fieldOf(c.figures));
        EXPECT_EQ(betTexts(focus), c.bets) << c.what;
    }
}

TEST_F(FocusTest, BetPairsHoldTheLowerNumberFirst) {
    TFocus& focus = calc(fieldOf({70, 75, 100, 60, 90, 65, 80, 85, 50}));
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < focus.BetCount(); ++i)
        pairs.emplace_back(focus.BetPair(i).lower, focus.BetPair(i).higher);
    EXPECT_EQ(pairs,
              (std::vector<std::pair<int, int>>{{3, 5}, {3, 8}, {3, 7}, {2, 3}, {1, 3}, {5, 8}}));
}

TEST_F(FocusTest, MarginIsNinetyEightPercentOfTheBestScoreAsA32BitFloat) {
    // the two ulps away from 98 come from summing the figures in 32 bits, in cell order
    const struct {
        const char* what;
        Runs second;
        int bets;
    } cases[] = {
        {"exactly 98% of 100", runs({fig(98)}), 4},
        {"one ulp above 98", runs({tenthFig(183), tenthFig(183), tenthFig(178), tenthFig(176)}), 6},
        {"one ulp below 98", runs({tenthFig(185), tenthFig(184), tenthFig(177), tenthFig(174)}), 4},
        {"98.5", runs({fig(98.5)}), 6},
    };
    for (const auto& c : cases) {
        FakeField race;
        race.runners = {runs({fig(100)}), c.second, runs({fig(70)}), runs({fig(60)})};
        TFocus& focus = calc(race);
        EXPECT_EQ(focus.RunnerScore(2).rank, 2) << c.what;
        EXPECT_EQ(focus.BetCount(), c.bets) << c.what;
    }
    FakeField aboveOnly;
    aboveOnly.runners = {cases[1].second};
    EXPECT_EQ(calc(aboveOnly).RunnerScore(1).score, std::nextafter(98.0f, 99.0f));

    // 85 x 0.98 is 83.3 as a 32-bit float, a little above the double product
    FakeField race;
    race.runners = {runs({tenthFig(50)}), runs({tenthFig(33)}), runs({fig(70)}), runs({fig(60)})};
    EXPECT_EQ(calc(race).BetCount(), 4);
}

TEST_F(FocusTest, FewerThanTwoScoredRunnersGetNoMarksAndNoBets) {
    FakeField race;
    race.runners = {runs({fig(90), status(kRunLocal)}), runs({fig(0)}), runs({})};
    TFocus& focus = calc(race);
    EXPECT_EQ(markNos(focus), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(focus.BetCount(), 0);
    EXPECT_EQ(focus.BetLines(0), "");
    EXPECT_EQ(focus.BetLines(1), "");
    EXPECT_EQ(cellTexts(focus, 1), (std::vector<std::string>{"+90", "地方", "－", "－", "－"}));
    EXPECT_EQ(focus.WarsBetLine(), " 0" + std::string(36, ' '));
}

TEST_F(FocusTest, TooFewScoredRunnersOrANoBetRaceDropTheBetsButKeepTheMarks) {
    std::vector<double> nineOfTwelve{90, 80, 0, 85, 70, 0, 60, 0, 75, 65, 55, 100};
    TFocus& keeps = calc(fieldOf(nineOfTwelve));
    EXPECT_EQ(keeps.BetCount(), 6);
    EXPECT_EQ(keeps.MarkedRunner(1), 12);

    std::vector<double> eightOfTwelve = nineOfTwelve;
    eightOfTwelve[10] = 0;
    TFocus& drops = calc(fieldOf(eightOfTwelve));
    EXPECT_EQ(drops.BetCount(), 0);
    EXPECT_EQ(drops.BetLines(1), "");
    EXPECT_EQ(drops.MarkedRunner(1), 12);
    EXPECT_EQ(drops.MarkedRunner(8), 7);

    FakeField noBet = fieldOf({70, 100, 80, 60});
    noBet.noBet = true;
    TFocus& flagged = calc(noBet);
    EXPECT_EQ(flagged.BetCount(), 0);
    EXPECT_EQ(markNos(flagged), (std::vector<int>{3, 1, 2, 4}));
}

TEST_F(FocusTest, BetLinesInBothLayouts) {
    TFocus& nine = calc(fieldOf({70, 75, 100, 60, 90, 65, 80, 85, 50}));
    EXPECT_EQ(toUtf8(nine.BetLines(0)),
              "    単     3( 10)\r\n"
              "    複     3( 20)\r\n"
              "    馬  3- 5( 20)  3- 8( 10)  3- 7( 10)  2- 3( 10)  1- 3( 10)  5- 8( 10)\r\n");
    EXPECT_EQ(toUtf8(nine.BetLines(2)),
              "単勝       3( 10)\r\n"
              "複勝       3( 20)\r\n"
              "馬連複  3- 5( 20)  3- 8( 10)  3- 7( 10)  2- 3( 10)  1- 3( 10)  5- 8( 10)\r\n");

    FakeField race = fieldOf({70, 100, 80, 60});
    race.runners[0] = runs({fig(100), fig(90), fig(90)}); // 2 ranks first, 1 becomes ◎
    race.runners[1] = runs({fig(95), fig(95), fig(101)});
    TFocus& four = calc(race);
    ASSERT_EQ(four.MarkedRunner(1), 1);
    EXPECT_EQ(toUtf8(four.BetLines(0)), "    単     1( 10)\r\n"
                                        "    複     1( 20)\r\n"
                                        "    枠  1- 2( 20)  1- 3( 10)  1- 4( 10)  2- 3( 10)\r\n");
    EXPECT_EQ(toUtf8(four.BetLines(1)), "単勝       1( 10)\r\n"
                                        "複勝       1( 20)\r\n"
                                        "枠連複  1- 2( 20)  1- 3( 10)  1- 4( 10)  2- 3( 10)\r\n");
}

TEST_F(FocusTest, WarsBetLineHasSixSlotsOfSixBytes) {
    TFocus& nine = calc(fieldOf({70, 75, 100, 60, 90, 65, 80, 85, 50}));
    EXPECT_EQ(nine.WarsBetLine(), " 3  3- 5  3- 8  3- 7  2- 3  1- 3  5- 8");
    TFocus& four = calc(fieldOf({70, 100, 80, 60}));
    EXPECT_EQ(four.WarsBetLine(), " 2    23    12    24    13            ");
    EXPECT_EQ(four.WarsBetLine().size(), 38u);
}

TEST_F(FocusTest, EachCalcStartsAfresh) {
    calc(fieldOf({70, 75, 100, 60, 90, 65, 80, 85, 50}));
    FakeField small;
    small.runners = {runs({fig(90)}), runs({status(kRunScratched)})};
    TFocus& focus = calc(small);
    EXPECT_EQ(focus.RunnerCount(), 2);
    EXPECT_EQ(focus.BetCount(), 0);
    EXPECT_EQ(focus.MarkedRunner(1), 0);
    EXPECT_EQ(focus.MarkNo(3), 0);
    EXPECT_EQ(cellTexts(focus, 2), (std::vector<std::string>{"取消", "－", "－", "－", "－"}));
    EXPECT_EQ(focus.WarsBetLine(), " 0" + std::string(36, ' '));
}

TEST_F(FocusTest, RunnerCountsOutsideTheTableAreKeptToIt) {
    FakeField many = fieldOf(std::vector<double>(20, 90));
    TFocus& focus = calc(many);
    EXPECT_EQ(focus.RunnerCount(), 18);
    EXPECT_EQ(focus.MarkedRunner(1), 18);
    FakeField negative;
    negative.count = -3;
    EXPECT_EQ(calc(negative).RunnerCount(), 0);
}

TEST_F(FocusTest, ReadsTheRaceThroughTheRuvDataSource) {
    SampleRace race;
    race.runners.resize(2);
    race.runners[0].pastRuns[0] =
        SamplePastRun{"04", "20010114", "0", "0", "0", "2000", "560", "01", "2100"};
    race.runners[0].pastRuns[1] =
        SamplePastRun{"04", "20010107", "2", "0", "1", "2000", "550", "01", "2100"};
    race.runners[1].pastRuns[0] =
        SamplePastRun{"04", "20010128", "0", "0", "1", "2000", "550", "02", "2105"};
    SampleDay day;
    day.races = {race};
    TWorkFolder archives;
    TWorkFolder work;
    const auto archive = archives.path() / "rv010128.lzh";
    WriteDayArchive(archive, day);
    TRaceRuv source(archive.string(), work.folderText());
    source.SelectRace(0);
    TFocus& focus = *m_focus;
    focus.Calc(source);
    // dirt 2:10.0 against 2:11.0 is 5 points, 56 kg 2 more; turf 2:10.5 with +3
    EXPECT_EQ(cellTexts(focus, 1), (std::vector<std::string>{"+D87", "地方", "－", "－", "－"}));
    EXPECT_EQ(cellTexts(focus, 2), (std::vector<std::string>{"+81", "－", "－", "－", "－"}));
    EXPECT_EQ(focus.RunnerScore(2).cells[0].figure, 80 - 2.5f + 3);
}

// A replay computes the prediction again from the cells a day read, under a rule.
TEST_F(FocusTest, PredictionFromStoredCellsFollowsTheRule) {
    const struct {
        const char* rule;
        std::vector<double> figures;
        std::vector<std::string> bets;
    } cases[] = {
        {"",
         {70, 75, 100, 60, 90, 65, 80, 85},
         {"   35", "   38", "   37", "   23", "   13", "   58"}},
        {"margin=0.5",
         {70, 75, 100, 60, 90, 65, 80, 85},
         {"   35", "   38", "   37", "   58", "   57", "   78"}},
        {"scored=1", {0, 75, 100, 60, 90, 65, 80, 85}, {}},
        {"scored=0.8",
         {0, 75, 100, 60, 90, 65, 80, 85},
         {"   35", "   38", "   37", "   23", "   36", "   58"}},
    };
    for (const auto& c : cases) {
        const TFocus& day = calc(fieldOf(c.figures));
        std::vector<std::array<TFigureCell, TFocus::kCells>> cells;
        for (int r = 1; r <= day.RunnerCount(); ++r)
            cells.push_back(day.RunnerScore(r).cells);
        TFocus replay(day.Sem(), ParseRule(c.rule));
        replay.Predict(cells, false);
        EXPECT_EQ(betTexts(replay), c.bets) << c.rule;
        if (*c.rule == '\0')
            EXPECT_EQ(markNos(replay), markNos(day));
    }
}
