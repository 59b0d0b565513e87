#include "odds/Odds.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// The message of the EOddsError that action raises; empty when it raises none.
std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EOddsError& e) {
        return e.what();
    }
    return "";
}

} // namespace

// The bracket table of n runners: which pairs of a bracket with itself exist (0), all
// others of them being -1; pairs of two brackets always start at 0.
struct BracketCase {
    int runners;
    int brackets;
    std::set<int> sameBracketPairs;
};

class OddsBracketTable : public ::testing::TestWithParam<BracketCase> {};

TEST_P(OddsBracketTable, InitialCellsFollowTheBracketsThatHoldTwoRunners) {
    const BracketCase& c = GetParam();
    TOdds odds;
    odds.Init(c.runners);
    ASSERT_EQ(odds.Count(), c.runners);
    for (int i = 1; i <= c.brackets; ++i) {
        for (int j = i; j <= c.brackets; ++j) {
            float expected = i != j || c.sameBracketPairs.count(i) ? 0.0f : -1.0f;
            EXPECT_EQ(odds.OddsB(TBetKind::BracketQuinella, i, j), expected) << i << "-" << j;
        }
    }
    EXPECT_EQ(errorOf([&] { odds.OddsB(TBetKind::BracketQuinella, c.brackets + 1, 1); }),
              "TOddsWak.Odds1");
    TOddsWak table(c.runners);
    EXPECT_EQ(table.Size(), c.brackets);
    EXPECT_EQ(table.CellCount(), c.brackets * (c.brackets + 1) / 2);
}

INSTANTIATE_TEST_SUITE_P(Runners, OddsBracketTable,
                         ::testing::Values(BracketCase{1, 1, {}}, BracketCase{6, 6, {}},
                                           BracketCase{8, 8, {}}, BracketCase{9, 8, {8}},
                                           BracketCase{10, 8, {7, 8}},
                                           BracketCase{12, 8, {5, 6, 7, 8}},
                                           BracketCase{16, 8, {1, 2, 3, 4, 5, 6, 7, 8}},
                                           BracketCase{18, 8, {1, 2, 3, 4, 5, 6, 7, 8}}));

TEST(Odds, QuinellaAndWideTablesExistOnlyBeyondEightRunners) {
    TOdds odds;
    EXPECT_EQ(odds.Count(), 0);
    odds.Init(8);
    EXPECT_FALSE(odds.HasHorseQuinella());
    EXPECT_EQ(odds.QuinellaKind(), TBetKind::BracketQuinella);
    EXPECT_EQ(errorOf([&] { odds.OddsB(TBetKind::Quinella, 1, 2); }), "TOdds.OddsB1");
    EXPECT_EQ(errorOf([&] { odds.OddsB(TBetKind::WideLower, 1, 2); }), "TOdds.OddsB1");
    EXPECT_EQ(errorOf([&] { odds.SetOddsB(TBetKind::WideUpper, 1, 2, 3.0f); }), "TOdds.SetOddsB1");
    EXPECT_EQ(errorOf([&] { odds.SetTime(TBetKind::Quinella, "10:00"); }), "TOdds.SetTime1");
    EXPECT_EQ(errorOf([&] { odds.Time(TBetKind::WideTime); }), "TOdds.Time1");
    for (int r = 1; r <= 8; ++r)
        EXPECT_EQ(odds.OddsA(TBetKind::Win, r), 0.0f);

    odds.Init(9);
    EXPECT_TRUE(odds.HasHorseQuinella());
    EXPECT_EQ(odds.QuinellaKind(), TBetKind::Quinella);
    EXPECT_EQ(odds.OddsB(TBetKind::Quinella, 8, 9), 0.0f);
    EXPECT_EQ(odds.OddsB(TBetKind::WideLower, 1, 9), 0.0f);
    EXPECT_EQ(odds.OddsB(TBetKind::WideUpper, 1, 9), 0.0f);
}

TEST(Odds, InitOutsideOneToEighteenLeavesTheContainerCleared) {
    for (int n : {0, 19, -1}) {
        TOdds odds;
        odds.Init(12);
        odds.SetSourceText("RUV");
        EXPECT_EQ(errorOf([&] { odds.Init(n); }), "TOdds.Init") << n;
        EXPECT_EQ(odds.Count(), 0);
        EXPECT_EQ(odds.SourceText(), "");
        // a cleared container refuses every read instead of reaching a table
        EXPECT_EQ(errorOf([&] { odds.OddsA(TBetKind::Win, 1); }), "TOdds.OddsA");
        EXPECT_EQ(errorOf([&] { odds.SetOddsA(TBetKind::Win, 1, 1.0f); }), "TOdds.OddsA");
        EXPECT_EQ(errorOf([&] { odds.OddsB(TBetKind::BracketQuinella, 1, 2); }), "TOdds.OddsB1");
        EXPECT_EQ(errorOf([&] { odds.SetOddsB(TBetKind::BracketQuinella, 1, 2, 1.0f); }),
                  "TOdds.SetOddsB1");
        EXPECT_EQ(errorOf([&] { odds.Time(TBetKind::Win); }), "TOdds.Time1");
        EXPECT_EQ(errorOf([&] { odds.SetTime(TBetKind::BracketQuinella, "x"); }), "TOdds.SetTime1");
    }
}

TEST(Odds, ClearDropsTablesAndSourceText) {
    TOdds odds;
    odds.Init(10);
    odds.SetOddsA(TBetKind::Win, 1, 2.5f);
    odds.SetSourceText("JRDB");
    odds.Clear();
    EXPECT_EQ(odds.Count(), 0);
    EXPECT_FALSE(odds.HasHorseQuinella());
    EXPECT_EQ(odds.SourceText(), "");
    odds.Init(10);
    EXPECT_EQ(odds.OddsA(TBetKind::Win, 1), 0.0f);
}

// Every pair gets a value of its own; reading them all back proves that no two pairs
// share a cell and that either order reaches the same one.
TEST(Odds, EveryPairHasACellOfItsOwnInEitherOrder) {
    for (int n : {2, 8, 9, 13, 18}) {
        TOdds odds;
        odds.Init(n);
        const int b = std::min(n, 8);
        for (int i = 1; i <= b; ++i)
            for (int j = i; j <= b; ++j)
                odds.SetOddsB(TBetKind::BracketQuinella, j, i, static_cast<float>(100 * i + j));
        for (int i = 1; i <= b; ++i)
            for (int j = i; j <= b; ++j)
                ASSERT_EQ(odds.OddsB(TBetKind::BracketQuinella, i, j),
                          static_cast<float>(100 * i + j))
                    << n;
        if (n <= 8)
            continue;
        for (int i = 1; i <= n; ++i) {
            for (int j = i + 1; j <= n; ++j) {
                odds.SetOddsB(TBetKind::Quinella, i, j, static_cast<float>(100 * i + j));
                odds.SetOddsB(TBetKind::WideLower, j, i, static_cast<float>(1000 + 100 * i + j));
                odds.SetOddsB(TBetKind::WideUpper, i, j, static_cast<float>(5000 + 100 * i + j));
            }
        }
        for (int i = 1; i <= n; ++i) {
            for (int j = i + 1; j <= n; ++j) {
                ASSERT_EQ(odds.OddsB(TBetKind::Quinella, j, i), static_cast<float>(100 * i + j))
                    << n;
                ASSERT_EQ(odds.OddsB(TBetKind::WideLower, i, j),
                          static_cast<float>(1000 + 100 * i + j))
                    << n;
                ASSERT_EQ(odds.OddsB(TBetKind::WideUpper, j, i),
                          static_cast<float>(5000 + 100 * i + j))
                    << n;
            }
        }
        TOddsUma uma(n);
        EXPECT_EQ(uma.CellCount(), n * (n - 1) / 2);
    }
}

TEST(Odds, WinAndPlaceKindsShareThePlaceLowerCell) {
    TOdds odds;
    odds.Init(3);
    odds.SetOddsA(TBetKind::Win, 2, 4.5f);
    odds.SetOddsA(TBetKind::PlaceLower, 2, 1.2f);
    odds.SetOddsA(TBetKind::PlaceUpper, 2, 1.9f);
    EXPECT_EQ(odds.OddsA(TBetKind::Win, 2), 4.5f);
    EXPECT_EQ(odds.OddsA(TBetKind::Place, 2), 1.2f);
    odds.SetOddsA(TBetKind::Place, 2, 1.4f);
    EXPECT_EQ(odds.OddsA(TBetKind::PlaceLower, 2), 1.4f);
    EXPECT_EQ(odds.OddsA(TBetKind::PlaceUpper, 2), 1.9f);
    EXPECT_EQ(odds.OddsA(TBetKind::Win, 1), 0.0f);
    EXPECT_EQ(odds.OddsA(TBetKind::Win, 3), 0.0f);
    // no odds is data like any other value
    odds.SetOddsA(TBetKind::Win, 3, -1.0f);
    EXPECT_EQ(odds.OddsA(TBetKind::Win, 3), -1.0f);
}

TEST(Odds, SameBracketPairMayBeSetWhereItStartsAtMinusOne) {
    TOdds odds;
    odds.Init(6);
    ASSERT_EQ(odds.OddsB(TBetKind::BracketQuinella, 3, 3), -1.0f);
    odds.SetOddsB(TBetKind::BracketQuinella, 3, 3, 12.5f);
    EXPECT_EQ(odds.OddsB(TBetKind::BracketQuinella, 3, 3), 12.5f);
}

TEST(Odds, TimeTextsAreHeldPerTable) {
    TOdds odds;
    odds.Init(10);
    odds.SetTime(TBetKind::Place, "10:01");
    odds.SetTime(TBetKind::BracketQuinella, "10:02");
    odds.SetTime(TBetKind::Quinella, "10:03");
    odds.SetTime(TBetKind::WideTime, "10:04");
    EXPECT_EQ(odds.Time(TBetKind::Win), "10:01");
    EXPECT_EQ(odds.Time(TBetKind::PlaceUpper), "10:01");
    EXPECT_EQ(odds.Time(TBetKind::BracketQuinella), "10:02");
    EXPECT_EQ(odds.Time(TBetKind::Quinella), "10:03");
    EXPECT_EQ(odds.Time(TBetKind::WideLower), "10:04");
    EXPECT_EQ(odds.Time(TBetKind::WideUpper), "10:04");
    // the wide table refuses odds of the wide time's kind while it keeps its time text
    EXPECT_EQ(errorOf([&] { odds.OddsB(TBetKind::WideTime, 1, 2); }), "TOddsWid.Odds4");
    EXPECT_EQ(errorOf([&] { odds.SetOddsB(TBetKind::WideTime, 1, 2, 3.0f); }), "TOddsWid.SetOdds4");
    odds.Init(10);
    EXPECT_EQ(odds.Time(TBetKind::WideTime), "");
}

struct ErrorCase {
    const char* message;
    std::function<void()> action;
};

// Each check names the class of the object and the failed check; a failed setter
// changes nothing.
TEST(Odds, EveryCheckRaisesItsOwnMessage) {
    TOddsTan tan(5);
    TOddsWak wak(5);
    TOddsUma uma(10);
    TOddsWid wid(10);
    TOdds odds;
    odds.Init(10);
    const std::vector<ErrorCase> cases{
        {"TOddsTan.Create", [] { TOddsTan t(0); }},
        {"TOddsTan.Create", [] { TOddsTan t(19); }},
        {"TOddsTan.SetOdds1", [&] { tan.SetOdds(TBetKind::Win, 6, 1.0f); }},
        {"TOddsTan.SetOdds1", [&] { tan.SetOdds(static_cast<TBetKind>(9), 0, 1.0f); }},
        {"TOddsTan.SetOdds2", [&] { tan.SetOdds(TBetKind::BracketQuinella, 5, 1.0f); }},
        {"TOddsTan.Odds1", [&] { tan.Odds(TBetKind::Win, 0); }},
        {"TOddsTan.Odds2", [&] { tan.Odds(TBetKind::BracketQuinella, 1); }},
        {"TOddsWak.Create", [] { TOddsWak t(19); }},
        {"TOddsWak.Create", [] { TOddsWak t(0); }},
        {"TOddsWak.SetOdds1", [&] { wak.SetOdds(6, 1, 1.0f); }},
        {"TOddsWak.SetOdds2", [&] { wak.SetOdds(1, 0, 1.0f); }},
        {"TOddsWak.Odds1", [&] { wak.Odds(0, 1); }},
        {"TOddsWak.Odds2", [&] { wak.Odds(5, 6); }},
        {"TOddsUma.Create", [] { TOddsUma t(-3); }},
        {"TOddsUma.SetOdds1", [&] { uma.SetOdds(11, 1, 1.0f); }},
        {"TOddsUma.SetOdds2", [&] { uma.SetOdds(1, 11, 1.0f); }},
        {"TOddsUma.SetOdds3", [&] { uma.SetOdds(4, 4, 1.0f); }},
        {"TOddsUma.Odds1", [&] { uma.Odds(0, 2); }},
        {"TOddsUma.Odds2", [&] { uma.Odds(2, 0); }},
        {"TOddsUma.Odds3", [&] { uma.Odds(10, 10); }},
        {"TOddsWid.Create", [] { TOddsWid t(19); }},
        {"TOddsWid.SetOdds1", [&] { wid.SetOdds(TBetKind::WideLower, 0, 1, 1.0f); }},
        {"TOddsWid.SetOdds2", [&] { wid.SetOdds(TBetKind::WideLower, 1, 11, 1.0f); }},
        {"TOddsWid.SetOdds3", [&] { wid.SetOdds(TBetKind::Quinella, 2, 2, 1.0f); }},
        {"TOddsWid.SetOdds4", [&] { wid.SetOdds(TBetKind::Quinella, 1, 2, 1.0f); }},
        {"TOddsWid.Odds1", [&] { wid.Odds(TBetKind::WideUpper, 11, 1); }},
        {"TOddsWid.Odds2", [&] { wid.Odds(TBetKind::WideUpper, 1, -1); }},
        {"TOddsWid.Odds3", [&] { wid.Odds(TBetKind::WideTime, 3, 3); }},
        {"TOddsWid.Odds4", [&] { wid.Odds(TBetKind::WideTime, 1, 2); }},
        {"TOdds.OddsA", [&] { odds.SetOddsA(TBetKind::BracketQuinella, 1, 1.0f); }},
        {"TOdds.OddsA", [&] { odds.OddsA(TBetKind::Quinella, 1); }},
        {"TOddsTan.SetOdds1", [&] { odds.SetOddsA(TBetKind::Win, 11, 1.0f); }},
        {"TOddsTan.Odds1", [&] { odds.OddsA(TBetKind::Place, 0); }},
        {"TOdds.SetOddsB2", [&] { odds.SetOddsB(TBetKind::Place, 1, 2, 1.0f); }},
        {"TOdds.SetOddsB2", [&] { odds.SetOddsB(static_cast<TBetKind>(9), 1, 2, 1.0f); }},
        {"TOdds.OddsB2", [&] { odds.OddsB(TBetKind::Win, 1, 2); }},
        {"TOdds.OddsB2", [&] { odds.OddsB(static_cast<TBetKind>(255), 1, 2); }},
        {"TOddsWak.SetOdds1", [&] { odds.SetOddsB(TBetKind::BracketQuinella, 9, 1, 1.0f); }},
        {"TOddsUma.Odds3", [&] { odds.OddsB(TBetKind::Quinella, 2, 2); }},
        {"TOddsWid.SetOdds2", [&] { odds.SetOddsB(TBetKind::WideUpper, 1, 11, 1.0f); }},
        {"TOdds.SetTime2", [&] { odds.SetTime(static_cast<TBetKind>(9), "x"); }},
        {"TOdds.Time2", [&] { odds.Time(static_cast<TBetKind>(200)); }},
    };
    for (const ErrorCase& c : cases)
        EXPECT_EQ(errorOf(c.action), c.message);
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(tan.Odds(TBetKind::Win, r) + tan.Odds(TBetKind::PlaceLower, r) +
                      tan.Odds(TBetKind::PlaceUpper, r),
                  0.0f);
    EXPECT_EQ(wak.Odds(1, 1), -1.0f);
    EXPECT_EQ(uma.Odds(1, 2), 0.0f);
    EXPECT_EQ(wid.Odds(TBetKind::WideLower, 1, 2), 0.0f);
    EXPECT_EQ(odds.OddsA(TBetKind::Win, 1), 0.0f);
    EXPECT_EQ(odds.Time(TBetKind::Win), "");
}
