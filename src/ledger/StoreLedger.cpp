#include "ledger/StoreLedger.h"

#include "ledger/LedgerFiles.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "season/Sqlite.h"

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
        stored.races.push_back(std::move(race));
    }
    // One walk over the runners in the order of their races' dates: each runner first
    // hands its horse's past runs to the runners still waiting for them, then waits for its
    // own. So each runner's result comes from the earliest later runner of the same horse
    // whose past runs hold that date at that course, as the view runner_results gives it.
    std::string sql = "SELECT race_id, number, date, course, horse_key, mark, win_odds, place_low";
    for (int j = 1; j <= kPastRuns; ++j)
        sql += Format(", run%d_date, run%d_course, run%d_position", j, j, j);
    TSqliteStatement runners(db, sql + " FROM runner ORDER BY date, race_id, number");
    TWaitingRuns waiting;
    while (runners.Step()) {
        const std::size_t r = index.at(runners.Int64(0));
        TLedgerRace& race = stored.races[r];
        const int runner = runners.Int(1);
        const int date = runners.Int(2);
        const bool keyed = !runners.IsNull(4);
        const std::string key = runners.Text(4);
        for (int j = 0; keyed && j < kPastRuns; ++j) {
            const int column = 8 + 3 * j;
            if (runners.IsNull(column) || runners.IsNull(column + 1) || runners.Int(column) >= date)
                continue;
            auto found = waiting.find({key, runners.Int(column), runners.Int(column + 1)});
            if (found == waiting.end())
                continue;
            const int position = runners.IsNull(column + 2)
                                     ? runResult::kUnknown
                                     : runResult::Normalized(runners.Int(column + 2));
            for (const auto& [waitingRace, waitingRunner] : found->second)
                stored.races[waitingRace].results[static_cast<std::size_t>(waitingRunner - 1)] =
                    position;
            waiting.erase(found);
        }
        if (runner >= 1 && runner <= race.runners && !runners.IsNull(7))
            race.placeLow[static_cast<std::size_t>(runner - 1)] =
                static_cast<float>(runners.Double(7));
        if (keyed && runner >= 1 && runner <= race.runners)
            waiting[{key, date, runners.Int(3) % 10}].emplace_back(r, runner);
        // each mark's lowest runner number, as the prediction names it
        const int mark = runners.Int(5);
        if (mark >= 1 && mark <= kLedgerMarks &&
            race.marked[static_cast<std::size_t>(mark - 1)] == 0) {
            race.marked[static_cast<std::size_t>(mark - 1)] = runner;
            race.winOdds[static_cast<std::size_t>(mark - 1)] =
                static_cast<float>(runners.Double(6));
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
