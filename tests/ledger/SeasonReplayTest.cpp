#include "ledger/SeasonReplay.h"

#include "ledger/LedgerFiles.h"
#include "ledger/SeasonLedger.h"
#include "output/ReportPieces.h"
#include "season/SeasonFolder.h"
#include "session/DaySession.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"
#include "season/Sqlite.h"
#include "session/Settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::vector<std::string>> csvRows(const std::vector<TLedgerRace>& races) {
    std::vector<std::vector<std::string>> rows;
    for (const TLedgerRace& race : races)
        rows.push_back(LedgerCsvRow(race).Values());
    return rows;
}

// The ticket filters computed by hand from the recommended bets of the defaults.
std::vector<TLedgerRace> filteredByHand(std::vector<TLedgerRace> races, float minOdds,
                                        std::size_t tickets) {
    for (TLedgerRace& race : races) {
        std::vector<TLedgerBet> kept;
        for (const TLedgerBet& bet : race.bets)
            if (bet.odds >= minOdds && kept.size() < tickets)
                kept.push_back(bet);
        race.bets = kept;
    }
    return races;
}

class SeasonReplayTest : public ::testing::Test {
protected:
    SeasonReplayTest() {
        WriteSampleSeason(m_folder.path(), {.days = 6, .venues = 2});
        m_settings.Folder.Time = (m_folder.path() / "time" / "").string();
    }
    TLedger run(const TRule& rule) {
        TSeasonLedger season(m_settings, m_folder.path(), {}, store());
        season.SetRule(rule);
        return season.Run();
    }
    fs::path store() const { return m_folder.path() / "store.sqlite"; }

    TWorkFolder m_folder;
    TSettings m_settings;
};

TEST_F(SeasonReplayTest, ReplaysEqualTheLedgerAndTheTicketFiltersByHand) {
    const TLedger ledger = run({});
    TSqliteDatabase db(store(), 0);
    const TSeasonReplay replay(db);
    ASSERT_GT(ledger.races.size(), 100u);
    EXPECT_EQ(csvRows(replay.Races({})), csvRows(ledger.races));

    const struct {
        const char* rule;
        float minOdds;
        std::size_t tickets;
    } cases[] = {{"min-odds=10,tickets=3", 10, 3}, {"tickets=0", 0, 0}, {"min-odds=25", 25, 6}};
    for (const auto& c : cases) {
        const TLedger ruled = run(ParseRule(c.rule));
        EXPECT_EQ(csvRows(ruled.races), csvRows(filteredByHand(ledger.races, c.minOdds, c.tickets)))
            << c.rule;
        EXPECT_EQ(csvRows(ruled.defaults), csvRows(ledger.races)) << c.rule;
    }
}

// The replays from the store against the day path: each archive opened as the window opens
// it, each race prepared and predicted under the same rule over the same time database.
TEST_F(SeasonReplayTest, AReplayFromTheStoreEqualsTheDaysPredictedOverTheArchives) {
    run({});
    const TSeasonReplay replay(store());
    for (const char* text : {"good=0.8,margin=0.05,scored=0.5", "min-odds=10,tickets=3"}) {
        const TRule rule = ParseRule(text);
        std::map<std::tuple<int, std::string, int>, TLedgerRace> stored;
        for (TLedgerRace& race : replay.Races(rule))
            stored[{race.date, race.venue, race.number}] = std::move(race);
        TDaySession session(m_settings);
        session.FocusCreate();
        const TFocus& dayFocus = session.Focus();
        TFocus focus(dayFocus.Sem(), rule);
        int compared = 0;
        for (const TSeasonDay& day : SeasonDays(m_folder.path()).days) {
            session.OpenDay(day.archive.string(), DayCodeOfDate(day.date));
            for (int i = 0; i < session.Race().RaceCount(); ++i) {
                session.PrepareRace(i, true);
                focus.Calc(session.Race());
                const TRaceFacts facts = session.Race().RaceFacts();
                const auto found = stored.find({std::stoi(facts.date), facts.venue, facts.number});
                ASSERT_NE(found, stored.end()) << text << " " << facts.date << " " << i;
                const TLedgerRace& race = found->second;
                for (int m = 1; m <= kLedgerMarks; ++m)
                    EXPECT_EQ(race.marked[static_cast<std::size_t>(m - 1)], focus.MarkedRunner(m))
                        << text << " " << facts.date << " " << i;
                std::vector<TLedgerBet> recommended;
                for (int j = 0; j < focus.BetCount(); ++j)
                    recommended.push_back({focus.BetPair(j).lower, focus.BetPair(j).higher,
                                           BetOdds(focus, session.Odds(), j)});
                std::vector<std::tuple<int, int, float>> expected, got;
                for (const TLedgerBet& bet : BoughtTickets(rule, recommended))
                    expected.emplace_back(bet.lower, bet.higher, std::max(bet.odds, 0.0f));
                for (const TLedgerBet& bet : race.bets)
                    got.emplace_back(bet.lower, bet.higher, bet.odds);
                EXPECT_EQ(got, expected) << text << " " << facts.date << " " << i;
                ++compared;
            }
        }
        EXPECT_EQ(compared, static_cast<int>(stored.size())) << text;
    }
}

TEST_F(SeasonReplayTest, ManyRulesAtOnceEqualEachRuleAloneOnTheDaysOfTheRange) {
    run({});
    const TSeasonReplay replay(store());
    const std::vector<TRule> rules = {ParseRule("good=0.8"), ParseRule("good=0.8,min-odds=10"),
                                      TRule{}, ParseRule("tickets=3"),
                                      ParseRule("good=0.8,tickets=1")};
    const int firstDay = replay.Stored().days.front();
    for (const TLedgerRange range : {TLedgerRange{}, TLedgerRange{firstDay + 1, 0}}) {
        const auto together = replay.Replays(rules, range);
        for (std::size_t k = 0; k < rules.size(); ++k) {
            const auto alone = replay.Races(rules[k], range);
            EXPECT_EQ(csvRows(together[k]), csvRows(alone)) << RuleText(rules[k]);
            for (const TLedgerRace& race : alone)
                EXPECT_TRUE(InRange(race.date, range));
        }
        if (range.from != 0)
            EXPECT_LT(together.front().size(), replay.Stored().races.size());
    }
}

} // namespace
