#include "ledger/StoreLedger.h"

#include "ledger/LedgerFiles.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "season/Sqlite.h"

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace {

// A run a runner waits to see in a later horse record: its horse, date and course (the
// one digit of the past runs).
struct TRunKey {
    std::string horse;
    int date;
    int course;
    bool operator==(const TRunKey&) const = default;
};

struct TRunKeyHash {
    std::size_t operator()(const TRunKey& k) const {
        return std::hash<std::string>()(k.horse) ^
               (static_cast<std::size_t>(k.date) * 31 + k.course);
    }
};

// The runners (race index, runner number) waiting for each run; a runner leaves once a
// later record gives its result, so the map holds only the runners still waiting.
using TWaitingRuns =
    std::unordered_map<TRunKey, std::vector<std::pair<std::size_t, int>>, TRunKeyHash>;

// A past run of a runner's horse file: 0 date when the file has none.
struct TPastRun {
    int date = 0;
    int course = 0;
    int position = runResult::kUnknown;
};

// What the walk needs of one stored runner.
struct TStoredRunner {
    std::int64_t id = 0;  // the race's id in the store
    std::size_t race = 0; // index into the races
    int number = 0;
    int date = 0;
    int course = 0; // the one digit of the past runs
    bool keyed = false;
    std::string horse;
    int mark = 0;
    float winOdds = 0;
    float placeLow = 0; // 0: none
    std::optional<double> score;
    std::array<TPastRun, kPastRuns> runs{};
};

std::vector<TStoredRunner> readRunners(TSqliteDatabase& db,
                                       const std::unordered_map<std::int64_t, std::size_t>& index) {
    std::string sql =
        "SELECT race_id, number, date, course, horse_key, mark, win_odds, place_low, score";
    for (int j = 1; j <= kPastRuns; ++j)
        sql += Format(", run%d_date, run%d_course, run%d_position", j, j, j);
    TSqliteStatement rows(db, sql + " FROM runner");
    std::vector<TStoredRunner> runners;
    while (rows.Step()) {
        TStoredRunner& r = runners.emplace_back();
        r.id = rows.Int64(0);
        r.race = index.at(r.id);
        r.number = rows.Int(1);
        r.date = rows.Int(2);
        r.course = rows.Int(3) % 10;
        r.keyed = !rows.IsNull(4);
        if (r.keyed)
            r.horse = rows.Text(4);
        r.mark = rows.Int(5);
        r.winOdds = static_cast<float>(rows.Double(6));
        r.placeLow = rows.IsNull(7) ? 0.0f : static_cast<float>(rows.Double(7));
        if (!rows.IsNull(8))
            r.score = rows.Double(8);
        for (int j = 0; j < kPastRuns; ++j) {
            const int column = 9 + 3 * j;
            if (rows.IsNull(column) || rows.IsNull(column + 1))
                continue;
            TPastRun& run = r.runs[static_cast<std::size_t>(j)];
            run.date = rows.Int(column);
            run.course = rows.Int(column + 1);
            run.position = rows.IsNull(column + 2) ? runResult::kUnknown
                                                   : runResult::Normalized(rows.Int(column + 2));
        }
    }
    return runners;
}

} // namespace

TStoredRaces ReadStoredRaces(TSqliteDatabase& db) {
    TStoredRaces stored;
    std::unordered_map<std::int64_t, std::size_t> index;
    TSqliteStatement races(
        db, "SELECT race_id, day, date, venue, number, runners, surface, age_condition, "
            "class_code, grade_code, distance, clear_leader, seq FROM race ORDER BY day, seq");
    while (races.Step()) {
        TLedgerRace race;
        race.date = races.Int(2);
        race.venue = toCp932Lenient(races.Text(3));
        race.number = races.Int(4);
        race.runners = races.Int(5);
        race.results.assign(static_cast<std::size_t>(std::max(race.runners, 0)),
                            runResult::kUnknown);
        race.placeLow.assign(race.results.size(), 0.0f);
        race.surface = toCp932Lenient(races.Text(6));
        race.ageCondition = races.Text(7);
        race.classCode = races.Text(8);
        race.gradeCode = races.Text(9);
        race.distance = races.IsNull(10) ? 0 : races.Int(10);
        race.clearLeader = races.Int(11) != 0;
        race.seq = races.Int(12);
        index[races.Int64(0)] = stored.races.size();
        stored.ids.push_back(races.Int64(0));
        stored.days.push_back(races.Int(1));
        stored.scores.emplace_back(race.results.size());
        stored.races.push_back(std::move(race));
    }
    // One walk over the runners in the order of their races' dates: each runner first
    // hands its horse's past runs to the runners still waiting for them, then waits for its
    // own. So each runner's result comes from the earliest later runner of the same horse
    // whose past runs hold that date at that course, as the view runner_results gives it.
    // The rows are read as stored and put in that order here, which costs far less than
    // having the store sort them.
    std::vector<TStoredRunner> runners = readRunners(db, index);
    std::sort(runners.begin(), runners.end(), [](const TStoredRunner& a, const TStoredRunner& b) {
        return std::tie(a.date, a.id, a.number) < std::tie(b.date, b.id, b.number);
    });
    TWaitingRuns waiting;
    for (const TStoredRunner& runner : runners) {
        TLedgerRace& race = stored.races[runner.race];
        for (int j = 0; runner.keyed && j < kPastRuns; ++j) {
            const TPastRun& run = runner.runs[static_cast<std::size_t>(j)];
            if (run.date == 0 || run.date >= runner.date)
                continue;
            auto found = waiting.find({runner.horse, run.date, run.course});
            if (found == waiting.end())
                continue;
            for (const auto& [waitingRace, waitingRunner] : found->second)
                stored.races[waitingRace].results[static_cast<std::size_t>(waitingRunner - 1)] =
                    run.position;
            waiting.erase(found);
        }
        if (runner.number >= 1 && runner.number <= race.runners) {
            race.placeLow[static_cast<std::size_t>(runner.number - 1)] = runner.placeLow;
            stored.scores[runner.race][static_cast<std::size_t>(runner.number - 1)] = {
                runner.score, runner.winOdds};
        }
        if (runner.keyed && runner.number >= 1 && runner.number <= race.runners)
            waiting[{runner.horse, runner.date, runner.course}].emplace_back(runner.race,
                                                                             runner.number);
        // each mark's lowest runner number, as the prediction names it
        if (runner.mark >= 1 && runner.mark <= kLedgerMarks &&
            race.marked[static_cast<std::size_t>(runner.mark - 1)] == 0) {
            race.marked[static_cast<std::size_t>(runner.mark - 1)] = runner.number;
            race.winOdds[static_cast<std::size_t>(runner.mark - 1)] = runner.winOdds;
        }
    }
    TSqliteStatement bets(db,
                          "SELECT race_id, lower, higher, odds FROM bet ORDER BY race_id, slot");
    while (bets.Step())
        stored.races[index.at(bets.Int64(0))].bets.push_back(
            {bets.Int(1), bets.Int(2), static_cast<float>(bets.Double(3))});
    return stored;
}

void RefreshLedgerTable(TSqliteDatabase& db, const TStoredRaces& stored) {
    {
        TSqliteStatement fresh(db, "SELECT ledger_fresh FROM source");
        if (fresh.Step() && fresh.Int(0) != 0)
            return;
    }
    TSqliteTransaction transaction(db);
    db.Execute("DELETE FROM ledger");
    TSqliteStatement insert(db, "INSERT INTO ledger (rowid, date, venue, race, runners, kind, "
                                "mark1, mark2, mark3, mark4, mark5, mark6, pos1, pos2, pos3, pos4, "
                                "pos5, pos6, first, second, settled, bets, hits, stake, return) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < stored.races.size(); ++i) {
        insert.Bind(1, stored.ids[i]);
        int column = 2;
        // text cells take the column's type: numbers are stored as numbers
        const TCsvRow row = LedgerCsvRow(stored.races[i]);
        for (const std::string& cell : row.Values()) {
            if (cell.empty())
                insert.BindNull(column++);
            else
                insert.Bind(column++, cell);
        }
        insert.Run();
    }
    db.Execute("UPDATE source SET ledger_fresh = 1");
    transaction.Commit();
}
