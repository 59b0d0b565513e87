#include "ledger/MarketComparison.h"

#include "ledger/LedgerFiles.h"
#include "ledger/LedgerSummary.h"
#include "ledger/MarketTables.h"
#include "ledger/SeasonLedger.h"
#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "platform/Cp932.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "sampleday/SampleSeason.h"
#include "session/DaySession.h"
#include "session/Settings.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>

namespace fs = std::filesystem;

namespace {

// A runner as its day archive and the RUV odds archive beside it give it, read through the
// day session one archive at a time: nothing comes from the season store.
struct TArchiveRunner {
    std::string key;
    int date = 0;
    int course = 0;
    int mark = 0;
    float odds = 0;
    std::vector<std::array<int, 3>> pastRuns; // date, course digit, position
    int result = 0;
};

std::vector<std::vector<TArchiveRunner>> readArchives(const TSettings& settings,
                                                      const std::vector<fs::path>& archives) {
    std::vector<std::vector<TArchiveRunner>> races;
    TDaySession session(settings);
    session.FocusCreate();
    for (const fs::path& archive : archives) {
        session.OpenDay(archive.string());
        for (int i = 0; i < session.Race().RaceCount(); ++i) {
            session.PrepareRace(i, true);
            const TRaceBase& race = session.Race();
            auto& runners = races.emplace_back();
            for (int r = 0; r < race.RunnerCount(); ++r) {
                TArchiveRunner runner;
                runner.key = race.RunnerKey(r);
                runner.date = std::stoi(race.RaceFacts().date);
                runner.course = std::stoi(race.DayKey().substr(8, 2)) % 10;
                runner.mark = session.Focus().RunnerScore(r + 1).markPosition;
                if (session.Odds().Count() != 0)
                    runner.odds = session.Odds().OddsA(TBetKind::Win, r + 1);
                for (int j = 0; j < kPastRuns; ++j) {
                    if (race.PastRunDate(r, j) == 0)
                        continue;
                    try {
                        runner.pastRuns.push_back({race.PastRunDate(r, j), race.PastRunCourse(r, j),
                                                   race.PastRunPosition(r, j)});
                    } catch (const std::exception&) { // a course that is no number
                    }
                }
                runners.push_back(runner);
            }
        }
        session.CloseDay();
    }
    // a run's result: the first later day whose record of the same horse holds it
    std::vector<TArchiveRunner*> all;
    for (auto& runners : races)
        for (TArchiveRunner& runner : runners)
            all.push_back(&runner);
    for (TArchiveRunner* runner : all)
        for (const TArchiveRunner* later : all) {
            if (later->key != runner->key || later->date <= runner->date || runner->result != 0)
                continue;
            for (const auto& [date, course, position] : later->pastRuns)
                if (date == runner->date && course == runner->course)
                    runner->result =
                        (position >= 1 && position <= 18) || (position >= 31 && position <= 35)
                            ? position
                            : -1;
        }
    return races;
}

// who → races, won, top2, top3, win_stake, win_return, counted as a user would by hand.
std::map<std::string, std::vector<long long>>
countByHand(const std::vector<std::vector<TArchiveRunner>>& races) {
    std::map<std::string, std::vector<long long>> rows;
    for (const auto& runners : races) {
        auto at = [&runners](int place) {
            return std::count_if(runners.begin(), runners.end(),
                                 [place](const TArchiveRunner& r) { return r.result == place; });
        };
        const bool settled = at(1) >= 2 || (at(1) == 1 && at(2) >= 1);
        const TArchiveRunner* favourite = nullptr;
        const TArchiveRunner* top = nullptr;
        for (const TArchiveRunner& r : runners) {
            if (r.odds > 0 && (!favourite || r.odds < favourite->odds))
                favourite = &r;
            if (r.mark == 1 && !top)
                top = &r;
        }
        auto known = [](const TArchiveRunner* r) {
            return r->result > 0 && r->result != 34 && r->result != 35;
        };
        if (!settled || !favourite || !top || !known(favourite) || !known(top))
            continue;
        const std::string split = favourite == top ? ":same" : ":other";
        for (const auto& [who, runner] : {std::pair{"favourite", favourite}, {"top_mark", top}})
            for (const std::string& row : {std::string(who), who + split}) {
                std::vector<long long>& cells = rows[row];
                cells.resize(6);
                const int place = runner->result;
                const long long paid =
                    place == 1 ? std::llround(static_cast<double>(runner->odds) * 100) : 0;
                const long long add[] = {1, place == 1, place <= 2, place <= 3, 100, paid};
                for (std::size_t c = 0; c < 6; ++c)
                    cells[c] += add[c];
            }
    }
    return rows;
}

std::map<std::string, std::vector<long long>> readMarketCsv(const fs::path& file) {
    std::map<std::string, std::vector<long long>> rows;
    const std::vector<std::vector<std::string>> records = ReadCsv(ReadBytes(file));
    for (std::size_t i = 1; i < records.size(); ++i)
        for (std::size_t c = 1; c <= 6; ++c)
            rows[records[i][0]].push_back(std::stoll(records[i][c]));
    return rows;
}

} // namespace

TEST(MarketComparisonTest, MarketCsvCountsWhatTheArchivesTellRaceByRace) {
    TWorkFolder work;
    const fs::path season = work.path() / "season";
    const std::vector<fs::path> archives = WriteSampleSeason(season, {6, 2});
    TSettings settings;
    settings.Folder.Time = (season / "time" / "").string();
    const TLedger ledger = TSeasonLedger(settings, season, {}, work.path() / "store.sqlite").Run();
    WriteLedgerFiles(ledger, Summarize(ledger), work.path());

    const auto expected = countByHand(readArchives(settings, archives));
    const auto written = readMarketCsv(work.path() / "market.csv");
    ASSERT_EQ(written.size(), 6u);
    EXPECT_EQ(written, expected);
    // enough races to compare, and in both splits
    EXPECT_GE(written.at("top_mark")[0], 50);
    EXPECT_GE(written.at("top_mark:other")[0], 10);
    EXPECT_GE(written.at("top_mark:same")[0], 10);
}

namespace {

TMarketRunner runner(float odds, int result, std::optional<double> score = 50) {
    return {score, odds, result};
}

// A settled race of four: runner 1 the winner, 2 second; ◎ on runner topMark.
TMarketRace race(int topMark, std::vector<TMarketRunner> runners) {
    TMarketRace r;
    r.date = 20010106;
    r.topMark = topMark;
    r.first = 1;
    r.settled = true;
    r.runners = std::move(runners);
    return r;
}

} // namespace

TEST(MarketComparisonTest, TheRacesComparedAndWhoIsTheFavourite) {
    const struct {
        const char* name;
        TMarketRace race;
        int compared;       // 0 or 1
        int favouriteWon;   // of the favourite's races
        long long markPaid; // ◎'s return
        bool same;          // ◎ is the favourite
    } cases[] = {
        {"◎ the favourite wins", race(1, {runner(2.5, 1), runner(3, 2), runner(8, 3)}), 1, 1, 250,
         true},
        {"◎ second, favourite wins", race(2, {runner(2.5, 1), runner(3, 2), runner(8, 3)}), 1, 1, 0,
         false},
        {"a tie of odds: the lower number", race(2, {runner(3, 1), runner(3, 2), runner(8, 3)}), 1,
         1, 0, false},
        {"◎ wins at 12.35, rounded", race(1, {runner(12.35f, 1), runner(2, 2), runner(8, 3)}), 1, 0,
         1235, false},
        {"the favourite fell", race(3, {runner(5, 1), runner(9, 2), runner(8, 3), runner(1.5, 31)}),
         1, 0, 0, false},
        {"not settled",
         [] {
             TMarketRace r = race(1, {runner(2, 1), runner(3, 0)});
             r.settled = false;
             return r;
         }(),
         0, 0, 0, false},
        {"no odds", race(1, {runner(0, 1), runner(0, 2)}), 0, 0, 0, false},
        {"no ◎", race(0, {runner(2, 1), runner(3, 2)}), 0, 0, 0, false},
        {"◎'s result unknown", race(3, {runner(2, 1), runner(3, 2), runner(4, 0)}), 0, 0, 0, false},
        {"the favourite scratched", race(1, {runner(2, 1), runner(3, 2), runner(1.2f, 34)}), 0, 0,
         0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TMarketSection s = CompareWithMarket(std::span(&c.race, 1));
        EXPECT_EQ(s.all.topMark.races, c.compared);
        EXPECT_EQ(s.all.favourite.won, c.favouriteWon);
        EXPECT_EQ(s.all.topMark.paid, c.markPaid);
        EXPECT_EQ(s.same.topMark.races, c.same ? 1 : 0);
        EXPECT_EQ(s.other.topMark.races, c.compared == 1 && !c.same ? 1 : 0);
    }
}

namespace {

// Races of 8 to 16 whose winners follow u = α·log q + β·(score − mean), q from noisy odds.
std::vector<TMarketRace> drawSeason(int count, double alpha, double beta, std::uint64_t seed) {
    std::mt19937_64 engine(seed);
    std::uniform_int_distribution<int> size(8, 16);
    std::normal_distribution<double> score(70, 10);
    std::normal_distribution<double> noise(0, 1);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<TMarketRace> races;
    for (int i = 0; i < count; ++i) {
        TMarketRace r;
        r.date = 20010106 + i / 36;
        r.settled = true;
        std::vector<float> odds;
        double mean = 0;
        for (int k = size(engine); k > 0; --k) {
            const double s = score(engine);
            odds.push_back(static_cast<float>(std::exp(-0.1 * s + noise(engine)) * 4000));
            r.runners.push_back({s, odds.back(), 3});
        }
        for (const TMarketRunner& runner : r.runners)
            mean += *runner.score / static_cast<double>(r.runners.size());
        const std::vector<double> q = MarketProbabilities(odds);
        double best = -HUGE_VAL;
        for (std::size_t k = 0; k < q.size(); ++k) {
            const double u = alpha * std::log(q[k]) + beta * (*r.runners[k].score - mean) -
                             std::log(-std::log(uniform(engine)));
            if (u > best) {
                best = u;
                r.first = static_cast<int>(k) + 1;
            }
        }
        r.runners[static_cast<std::size_t>(r.first - 1)].result = 1;
        races.push_back(std::move(r));
    }
    return races;
}

} // namespace

TEST(MarketComparisonTest, TheFitsMeetTheModelTheSeasonWasDrawnFromOrSayTheDataAreTooFew) {
    const struct {
        int races;
        double alpha; // 0: the winners follow the score alone
        double beta;
        bool enough;
    } cases[] = {{10000, 0.8, 0.06, true}, {10000, 0, 0.15, true}, {199, 0.8, 0.06, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.races * 10 + c.alpha);
        std::vector<TMarketRace> season = drawSeason(c.races, c.alpha, c.beta, 5);
        // a race whose starter has no odds is left out and counted
        season.push_back(season.front());
        season.back().runners[0].winOdds = 0;
        const TCalibration cal = CompareWithMarket(season).calibration;
        EXPECT_EQ(cal.withoutOdds, 1);
        EXPECT_EQ(cal.races, c.races);
        EXPECT_EQ(cal.Enough(), c.enough);
        const TMarketPart part = FitPart(CompareWithMarket(season));
        const std::string fit = toUtf8(part.sentence);
        if (!c.enough) {
            EXPECT_TRUE(cal.programBins.empty());
            EXPECT_TRUE(fit.starts_with("確定レースが少なすぎるため(前半 99、後半 100、"));
            EXPECT_TRUE(fit.ends_with("出走馬に単勝オッズのない 1 レースは除きました。"));
            continue;
        }
        // the market's log-loss on the later half: the mean over its races of −log q(winner)
        double loss = 0;
        for (std::size_t i = static_cast<std::size_t>(cal.earlier); i < season.size() - 1; ++i) {
            std::vector<float> odds;
            for (const TMarketRunner& runner : season[i].runners)
                odds.push_back(runner.winOdds);
            loss -=
                std::log(MarketProbabilities(odds)[static_cast<std::size_t>(season[i].first - 1)]);
        }
        EXPECT_NEAR(cal.marketLoss, loss / cal.later, 1e-9);
        using namespace logitTerm;
        if (c.alpha == 0) {
            // the earlier half's 5,000 races give the score's own weight back
            EXPECT_NEAR(cal.program.coefficients[kScore], c.beta, 0.1 * c.beta);
            EXPECT_LT(cal.programLoss, cal.marketLoss);
            continue;
        }
        EXPECT_NEAR(cal.blend.coefficients[kLogMarket], c.alpha, 0.1 * c.alpha);
        EXPECT_NEAR(cal.blend.coefficients[kScore], c.beta, 0.1 * c.beta);
        EXPECT_TRUE(cal.blendGain.Significant());
        EXPECT_LT(cal.blendLoss, cal.marketLoss);
        EXPECT_LT(cal.marketLoss, cal.uniformLoss);
        int runners = 0;
        for (const TReliabilityBin& bin : cal.programBins)
            runners += bin.runners;
        int later = 0;
        for (std::size_t i = static_cast<std::size_t>(cal.earlier); i < season.size() - 1; ++i)
            later += static_cast<int>(season[i].runners.size());
        EXPECT_EQ(runners, later);
        EXPECT_NE(fit.find("有意に良く"), std::string::npos) << fit;
        // the blend's row names the terms it fitted
        EXPECT_TRUE(toUtf8(part.table.rows.at(3).at(1)).starts_with("α=0."))
            << part.table.rows[3][1];
    }
}

TEST(MarketComparisonTest, TheSentencesSayWhetherTheIntervalHoldsNoDifference) {
    // the favourite runner 1 at 2.0, runner 2 at 2.5; who wins each race, in turn
    const struct {
        const char* name;
        int topMark;
        std::vector<int> winners;
        const char* difference;
        const char* bands;
    } cases[] = {
        {"◎ always wins",
         2,
         {2},
         "◎の単勝回収率は1番人気より +250.0% 高く、95%区間は +250.0%～+250.0% で差がある。",
         "◎の勝率は 1 帯のうち 1 帯でオッズの示す勝率と差があり(2.0～3.9倍で高く)、ほかの帯では"
         "差があるとは言えない。"},
        {"the favourite always wins",
         2,
         {1},
         "◎の単勝回収率は1番人気より -200.0% 低く、95%区間は -200.0%～-200.0% で差がある。",
         "◎の勝率は 1 帯のうち 1 帯でオッズの示す勝率と差があり(2.0～3.9倍で低く)、ほかの帯では"
         "差があるとは言えない。"},
        {"each in turn with a third",
         2,
         {1, 2, 3},
         "◎の単勝回収率は1番人気より +16.7% 高いが、95%区間は -46.7%～+85.0% "
         "で差があるとは言えない。",
         "◎の勝率はどのオッズ帯(1 帯)でもオッズの示す勝率が95%区間に入っていて、差があるとは"
         "言えない。"},
        // one bet: no resampling can make a difference
        {"◎ is the favourite",
         1,
         {1, 2, 3},
         "◎の単勝回収率は1番人気より +0.0% 高いが、95%区間は +0.0%～+0.0% で差があるとは言えない。",
         "◎の勝率はどのオッズ帯(1 帯)でもオッズの示す勝率が95%区間に入っていて、差があるとは"
         "言えない。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TMarketRace> races;
        for (int i = 0; i < 30; ++i) {
            const int winner = c.winners[static_cast<std::size_t>(i) % c.winners.size()];
            TMarketRace r = race(c.topMark, {runner(2, 0), runner(2.5f, 0), runner(4, 0)});
            for (int k = 0; k < 3; ++k)
                r.runners[static_cast<std::size_t>(k)].result = (k + 3 - (winner - 1)) % 3 + 1;
            r.first = winner;
            races.push_back(r);
        }
        const TMarketSection s = CompareWithMarket(races);
        EXPECT_EQ(s.same.topMark.races, c.topMark == 1 ? 30 : 0);
        EXPECT_EQ(toUtf8(DifferencePart(s).sentence), c.difference);
        EXPECT_EQ(toUtf8(OddsBandPart(s).sentence), c.bands);
    }
}
