#include "season/DayRecorder.h"

#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "output/ReportPieces.h"
#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "race/RaceCode.h"
#include "session/DaySession.h"

#include <algorithm>
#include <charconv>

namespace {

std::string utf8(const std::string& cp932) {
    return toUtf8Lenient(cp932);
}

std::optional<double> oddsOrNothing(float odds) {
    return odds > 0 ? std::optional<double>(odds) : std::nullopt;
}

// The pairs with odds as a JSON array of [first, second, odds]; nothing when none has.
// Each float is written in its shortest form that reads back as the same float.
template <typename OddsOf>
std::optional<std::string> pairOdds(int size, bool distinct, OddsOf oddsOf) {
    std::string json;
    char number[32];
    auto append = [&json, &number](auto value) {
        json.append(number, std::to_chars(number, number + sizeof number, value).ptr);
    };
    for (int a = 1; a <= size; ++a)
        for (int b = distinct ? a + 1 : a; b <= size; ++b) {
            const float odds = oddsOf(a, b);
            if (odds <= 0)
                continue;
            json += json.empty() ? "[[" : ",[";
            append(a);
            json += ',';
            append(b);
            json += ',';
            append(odds);
            json += ']';
        }
    if (json.empty())
        return std::nullopt;
    json += ']';
    return json;
}

// A past-run course code that is not a number matches no race.
std::optional<int> courseOrNothing(const TRaceBase& race, int r, int j) {
    try {
        return race.PastRunCourse(r, j);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<int> nonZero(int value) {
    return value != 0 ? std::optional<int>(value) : std::nullopt;
}

TStoreRace::TRunner runnerOf(const TRaceBase& race, const TFocus& focus, const TOdds& odds, int r) {
    TStoreRace::TRunner runner;
    runner.number = r + 1;
    runner.bracket = race.BracketNo(r);
    const std::string key = race.RunnerKey(r);
    // a blank key names no horse, and would match every other blank key
    if (key.find_first_not_of(' ') != std::string::npos)
        runner.key = utf8(key);
    runner.name = utf8(race.HorseName(r));
    const TRunnerScore& score = focus.RunnerScore(r + 1);
    if (score.score != 0)
        runner.score = score.score;
    runner.rank = score.rank;
    runner.mark = score.markPosition;
    if (odds.Count() != 0) {
        runner.winOdds = oddsOrNothing(odds.OddsA(TBetKind::Win, r + 1));
        runner.placeLow = oddsOrNothing(odds.OddsA(TBetKind::PlaceLower, r + 1));
        runner.placeHigh = oddsOrNothing(odds.OddsA(TBetKind::PlaceUpper, r + 1));
    }
    for (int j = 0; j < kPastRuns; ++j) {
        const TFigureCell& cell = score.cells[static_cast<std::size_t>(j)];
        runner.cells[static_cast<std::size_t>(j)] = {cell.figure, cell.status, cell.dirt, cell.top};
        TStoreRace::TPastRun& run = runner.pastRuns[static_cast<std::size_t>(j)];
        run.date = nonZero(race.PastRunDate(r, j));
        if (run.date)
            run.course = courseOrNothing(race, r, j);
        run.position = nonZero(race.PastRunPosition(r, j));
    }
    return runner;
}

} // namespace

TStoreRace CollectStoreRace(const TDaySession& session, int seq) {
    const TRaceBase& race = session.Race();
    const TFocus& focus = session.Focus();
    const TOdds& odds = session.Odds();
    const TRaceFacts facts = race.RaceFacts();
    TStoreRace s;
    s.seq = seq;
    s.date = FieldToInt(facts.date);
    s.course = FieldToInt(race.DayKey().substr(8, 2));
    s.number = facts.number;
    s.venue = utf8(facts.venue);
    s.name = utf8(facts.name);
    s.surface = utf8(facts.surface);
    s.surfaceCode = utf8(facts.surfaceCode);
    s.ageCondition = utf8(facts.ageConditionCode);
    s.classCode = utf8(facts.classCode);
    s.conditionCode = utf8(facts.conditionCode);
    s.gradeCode = utf8(facts.gradeCode);
    s.distance = FieldToIntOrNothing(facts.distance);
    s.runners = race.RunnerCount();
    s.noBet = race.IsNoBetRace();
    s.scored = focus.BetSteps().scored;
    s.clearLeader = focus.BetSteps().clearLeader;
    const bool hasOdds = odds.Count() != 0;
    if (hasOdds) {
        s.oddsSource = utf8(odds.SourceText());
        s.bracketOdds =
            pairOdds(std::min(odds.Count(), TFocus::kBracketFieldSize), false,
                     [&odds](int a, int b) { return odds.OddsB(TBetKind::BracketQuinella, a, b); });
        if (odds.HasHorseQuinella())
            s.quinellaOdds = pairOdds(odds.Count(), true, [&odds](int a, int b) {
                return odds.OddsB(TBetKind::Quinella, a, b);
            });
    }
    for (int r = 0; r < s.runners; ++r)
        s.field.push_back(runnerOf(race, focus, odds, r));
    for (int j = 0; j < focus.BetCount(); ++j) {
        const TBetPair pair = focus.BetPair(j);
        s.bets.push_back(
            {pair.lower, pair.higher,
             hasOdds ? oddsOrNothing(BetOdds(focus, odds, j)) : std::optional<double>()});
    }
    return s;
}

namespace {

constexpr const char* kInsertRunner =
    "INSERT INTO runner VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,"
    "?,?,?,?, ?,?,?,?, ?,?,?,?, ?,?,?,?, ?,?,?,?, ?,?,?, ?,?,?, ?,?,?, ?,?,?, ?,?,?)";

template <typename T>
void bindOptional(TSqliteStatement& statement, int index, const std::optional<T>& value) {
    if (value)
        statement.Bind(index, *value);
    else
        statement.BindNull(index);
}

} // namespace

TDayRecorder::TDayRecorder(TSqliteDatabase& db)
    : m_db(db), m_day(db, "INSERT INTO day VALUES (?,?,?,?,?,?,?)"),
      m_race(db, "INSERT INTO race VALUES (NULL,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
      m_runner(db, kInsertRunner), m_bet(db, "INSERT INTO bet VALUES (?,?,?,?,?)"),
      m_note(db, "INSERT INTO day_note VALUES (?,?,?,?)"),
      m_stale(db, "UPDATE source SET ledger_fresh = 0") {
    for (const char* sql : {
             "DELETE FROM runner WHERE race_id IN (SELECT race_id FROM race WHERE day = ?1)",
             "DELETE FROM bet WHERE race_id IN (SELECT race_id FROM race WHERE day = ?1)",
             "DELETE FROM ledger WHERE rowid IN (SELECT race_id FROM race WHERE day = ?1)",
             "DELETE FROM race WHERE day = ?1",
             "DELETE FROM day_note WHERE date = ?1",
             "DELETE FROM day WHERE date = ?1",
         })
        m_deletes.push_back(std::make_unique<TSqliteStatement>(db, sql));
}

void TDayRecorder::InsertDay(const TDayRow& day) {
    MarkLedgerStale();
    m_day.Bind(1, day.date)
        .Bind(2, day.archive)
        .Bind(3, day.size)
        .Bind(4, day.mtime)
        .Bind(5, day.hash)
        .Bind(6, day.oddsFiles)
        .Bind(7, day.hasOdds ? 1 : 0)
        .Run();
}

void TDayRecorder::InsertRace(int day, const TStoreRace& race) {
    m_race.Bind(1, day)
        .Bind(2, race.seq)
        .Bind(3, race.date)
        .Bind(4, race.course)
        .Bind(5, race.venue)
        .Bind(6, race.number)
        .Bind(7, race.name)
        .Bind(8, race.surface)
        .Bind(9, race.surfaceCode);
    bindOptional(m_race, 10, race.distance);
    m_race.Bind(11, race.ageCondition)
        .Bind(12, race.classCode)
        .Bind(13, race.conditionCode)
        .Bind(14, race.gradeCode)
        .Bind(15, race.runners)
        .Bind(16, race.noBet ? 1 : 0)
        .Bind(17, race.scored)
        .Bind(18, race.clearLeader ? 1 : 0);
    bindOptional(m_race, 19, race.oddsSource);
    bindOptional(m_race, 20, race.bracketOdds);
    bindOptional(m_race, 21, race.quinellaOdds);
    m_race.Run();
    const std::int64_t id = m_db.LastInsertId();
    for (const TStoreRace::TRunner& r : race.field) {
        m_runner.Bind(1, id)
            .Bind(2, r.number)
            .Bind(3, race.date)
            .Bind(4, race.course)
            .Bind(5, r.bracket);
        bindOptional(m_runner, 6, r.key);
        m_runner.Bind(7, r.name);
        bindOptional(m_runner, 8, r.score);
        m_runner.Bind(9, r.rank).Bind(10, r.mark);
        bindOptional(m_runner, 11, r.winOdds);
        bindOptional(m_runner, 12, r.placeLow);
        bindOptional(m_runner, 13, r.placeHigh);
        int column = 14;
        for (const TStoreRace::TCell& cell : r.cells) {
            m_runner.Bind(column, static_cast<double>(cell.figure))
                .Bind(column + 1, cell.status)
                .Bind(column + 2, cell.dirt ? 1 : 0)
                .Bind(column + 3, cell.top ? 1 : 0);
            column += 4;
        }
        for (const TStoreRace::TPastRun& run : r.pastRuns) {
            bindOptional(m_runner, column++, run.date);
            bindOptional(m_runner, column++, run.course);
            bindOptional(m_runner, column++, run.position);
        }
        m_runner.Run();
    }
    for (std::size_t slot = 0; slot < race.bets.size(); ++slot) {
        const TStoreRace::TBet& bet = race.bets[slot];
        m_bet.Bind(1, id)
            .Bind(2, static_cast<int>(slot) + 1)
            .Bind(3, bet.lower)
            .Bind(4, bet.higher);
        bindOptional(m_bet, 5, bet.odds);
        m_bet.Run();
    }
}

void TDayRecorder::InsertNote(int day, int seq, const char* kind, const std::string& utf8Text) {
    m_note.Bind(1, day).Bind(2, seq).Bind(3, std::string_view(kind)).Bind(4, utf8Text).Run();
}

void TDayRecorder::MarkLedgerStale() {
    m_stale.Run();
}

void TDayRecorder::DeleteDay(int date) {
    for (auto& statement : m_deletes)
        statement->Bind(1, date).Run();
    MarkLedgerStale();
}
