#include "ledger/LedgerBreakdown.h"

#include "support/OutputDays.h"
#include "ledger/LedgerFiles.h"
#include "ledger/SeasonLedger.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// breakdown.csv as (dimension, value) -> the thirteen figures.
using TCsvFigures = std::map<std::pair<std::string, std::string>, std::vector<long long>>;

TCsvFigures readCsv(const std::string& csv) {
    TCsvFigures figures;
    const std::vector<std::string> lines = SplitLines(csv);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream line(lines[i]);
        std::string dimension, value, cell;
        std::getline(line, dimension, ',');
        std::getline(line, value, ',');
        std::vector<long long>& row = figures[{dimension, value}];
        while (std::getline(line, cell, ','))
            row.push_back(std::stoll(cell));
    }
    return figures;
}

// A settled race of ten runners at 東京 in which ◎ (runner 1, at 3.0) won and the one bet
// 1-2 hit at 12.3.
TLedgerRace plainRace() {
    TLedgerRace race;
    race.date = 20010106;
    race.venue = J("東京");
    race.runners = 10;
    race.marked = {1, 2, 3, 4, 5, 6};
    race.winOdds = {3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f};
    race.bets = {{1, 2, 12.3f}};
    race.results = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    race.surface = J("芝");
    race.ageCondition = "3";
    race.classCode = "05000";
    race.distance = 1600;
    return race;
}

// The value a race takes in each dimension and what it adds there, counted here without
// the program's code tables: the codes a race card holds are spelt out.
std::map<std::string, std::string> valuesOf(const TLedgerRace& race) {
    auto band = [](long long v, std::vector<std::pair<long long, const char*>> bands,
                   const char* last) {
        for (const auto& [upTo, name] : bands)
            if (v <= upTo)
                return std::string(name);
        return std::string(last);
    };
    std::string surface = toUtf8(race.surface);
    if (race.ageCondition == "0" || race.ageCondition == "8" || race.ageCondition == "9")
        surface = "障害";
    const std::map<std::string, std::string> grades{{"0", "G1"}, {"1", "G2"}, {"2", "G3"}};
    const std::map<std::string, std::string> classes{{"00001", "新馬"},     {"00003", "未勝利"},
                                                     {"00004", "オープン"}, {"05000", "500万"},
                                                     {"10000", "1000万"},   {"16000", "1600万"}};
    std::string klass = grades.contains(race.gradeCode)    ? grades.at(race.gradeCode)
                        : classes.contains(race.classCode) ? classes.at(race.classCode)
                                                           : "その他";
    const long long tenths = std::llround(race.winOdds[0] * 10);
    return {
        {"venue", toUtf8(race.venue)},
        {"surface", surface},
        {"distance",
         band(race.distance, {{1400, "～1400m"}, {1800, "1401～1800m"}, {2200, "1801～2200m"}},
              "2201m～")},
        {"class", klass},
        {"field", band(race.runners, {{8, "～8頭"}, {12, "9～12頭"}}, "13～18頭")},
        {"month", Format("%d-%.2d", race.date / 10000, race.date / 100 % 100)},
        {"top_odds",
         race.marked[0] == 0 || tenths <= 0
             ? "なし"
             : band(tenths, {{19, "～1.9"}, {39, "2.0～3.9"}, {69, "4.0～6.9"}, {149, "7.0～14.9"}},
                    "15.0～")},
        {"leader", race.clearLeader ? "本命明確" : "混戦"},
    };
}

// The bets are the ledger's own tally of the settled races.
std::vector<long long> figuresOf(const TLedgerRace& race) {
    const int top = race.Result(race.marked[0]);
    const bool ran = race.marked[0] != 0 && top != 0 && top != runResult::kScratched &&
                     top != runResult::kExcluded;
    const bool odds = ran && race.winOdds[0] > 0;
    const bool won = ran && top == 1;
    TBetTally b;
    if (race.Settled())
        b.Add(race);
    std::vector<long long> f{1, race.Settled(), ran, won, ran && top <= 2, ran && top <= 3};
    f.insert(f.end(), {odds * 100LL, won && odds ? std::llround(race.winOdds[0] * 100) : 0});
    f.insert(f.end(), {b.races, b.bets, b.hits, b.stake, b.paid});
    return f;
}

} // namespace

// Each race lands in the value of the band that holds it; a jump race is known from its
// age condition whatever its surface code says.
TEST(LedgerBreakdownTest, RacesOnEachBoundaryLandInTheirValue) {
    const struct {
        const char* dimension;
        std::function<void(TLedgerRace&)> change;
        const char* value;
    } cases[] = {
        {"distance", [](TLedgerRace& r) { r.distance = 1400; }, "～1400m"},
        {"distance", [](TLedgerRace& r) { r.distance = 1401; }, "1401～1800m"},
        {"distance", [](TLedgerRace& r) { r.distance = 2201; }, "2201m～"},
        {"field", [](TLedgerRace& r) { r.runners = 8; }, "～8頭"},
        {"field", [](TLedgerRace& r) { r.runners = 9; }, "9～12頭"},
        {"field", [](TLedgerRace& r) { r.runners = 12; }, "9～12頭"},
        {"field", [](TLedgerRace& r) { r.runners = 13; }, "13～18頭"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 1.9f; }, "～1.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 2.0f; }, "2.0～3.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 3.9f; }, "2.0～3.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 4.0f; }, "4.0～6.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 6.9f; }, "4.0～6.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 7.0f; }, "7.0～14.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 14.9f; }, "7.0～14.9"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 15.0f; }, "15.0～"},
        {"top_odds", [](TLedgerRace& r) { r.winOdds[0] = 0; }, "なし"},
        {"surface", [](TLedgerRace& r) { r.surface = J("ダート"); }, "ダート"},
        {"surface", [](TLedgerRace& r) { r.ageCondition = "8"; }, "障害"},
        {"class", [](TLedgerRace& r) { r.classCode = "00001"; }, "新馬"},
        {"class", [](TLedgerRace& r) { r.classCode = "00003"; }, "未勝利"},
        {"class", [](TLedgerRace& r) { r.classCode = "16000"; }, "1600万"},
        {"class", [](TLedgerRace& r) { r.classCode = "00004"; }, "オープン"},
        {"class", [](TLedgerRace& r) { r.gradeCode = "0"; }, "G1"},
        {"class", [](TLedgerRace& r) { r.classCode = "00021"; }, "その他"},
        {"class", [](TLedgerRace& r) { r.classCode = "AB000"; }, "その他"},
        {"leader", [](TLedgerRace& r) { r.clearLeader = true; }, "本命明確"},
        {"month", [](TLedgerRace& r) { r.date = 20011231; }, "2001-12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dimension) + " " + c.value);
        TLedgerRace race = plainRace();
        c.change(race);
        const TCsvFigures csv = readCsv(BreakdownCsv(Breakdowns({race})));
        const auto found = csv.find({c.dimension, c.value});
        ASSERT_NE(found, csv.end());
        EXPECT_EQ(found->second.front(), 1);
    }
}

// On a generated season, every value of every dimension equals the count made here, and
// each dimension's values sum to the season's totals.
TEST(LedgerBreakdownTest, TheFileOfAGeneratedSeasonEqualsAnIndependentCount) {
    TWorkFolder folder;
    WriteSampleSeason(folder.path(), {8, 2});
    TSettings settings;
    settings.Folder.Time = (folder.path() / "time" / "").string();
    const TLedger ledger =
        TSeasonLedger(settings, folder.path(), {}, folder.path() / "store.sqlite").Run();
    ASSERT_GT(ledger.races.size(), 100u);
    fs::create_directories(folder.path() / "out");
    WriteLedgerFiles(ledger, Summarize(ledger), folder.path() / "out");
    const TCsvFigures csv = readCsv(ReadBytes(folder.path() / "out" / "breakdown.csv"));

    TCsvFigures expected;
    std::vector<long long> total(13, 0);
    for (const TLedgerRace& race : ledger.races) {
        const std::vector<long long> figures = figuresOf(race);
        for (std::size_t k = 0; k < figures.size(); ++k)
            total[k] += figures[k];
        for (const auto& [dimension, value] : valuesOf(race)) {
            std::vector<long long>& row = expected[{dimension, value}];
            row.resize(figures.size());
            for (std::size_t k = 0; k < figures.size(); ++k)
                row[k] += figures[k];
        }
    }
    EXPECT_EQ(csv, expected);
    std::map<std::string, std::vector<long long>> sums;
    for (const auto& [key, figures] : csv) {
        std::vector<long long>& sum = sums[key.first];
        sum.resize(figures.size());
        for (std::size_t k = 0; k < figures.size(); ++k)
            sum[k] += figures[k];
    }
    // the generated season meets both surfaces, classes and field sizes
    EXPECT_EQ(sums.size(), 8u);
    EXPECT_GE(csv.size(), 20u);
    for (const auto& [dimension, sum] : sums)
        EXPECT_EQ(sum, total) << dimension;
}
