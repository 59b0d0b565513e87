#include "ledger/StoreLedger.h"

#include "ledger/LedgerFiles.h"
#include "platform/Cp932.h"
#include "season/Sqlite.h"

#include <unordered_map>

TStoredRaces ReadStoredRaces(TSqliteDatabase& db) {
    TStoredRaces stored;
    std::unordered_map<std::int64_t, std::size_t> index;
    TSqliteStatement races(
        db, "SELECT race_id, day, date, venue, number, runners FROM race ORDER BY day, seq");
    while (races.Step()) {
        TLedgerRace race;
        race.date = races.Int(2);
        race.venue = toCp932Lenient(races.Text(3));
        race.number = races.Int(4);
        race.runners = races.Int(5);
        race.results.assign(static_cast<std::size_t>(std::max(race.runners, 0)),
                            runResult::kUnknown);
        index[races.Int64(0)] = stored.races.size();
        stored.ids.push_back(races.Int64(0));
        stored.days.push_back(races.Int(1));
        stored.races.push_back(std::move(race));
    }
    TSqliteStatement runners(db, "SELECT race_id, runner, mark, win_odds, result "
                                 "FROM runner_results ORDER BY race_id, runner");
    while (runners.Step()) {
        TLedgerRace& race = stored.races[index.at(runners.Int64(0))];
        const int runner = runners.Int(1);
        if (runner >= 1 && runner <= race.runners && !runners.IsNull(4))
            race.results[static_cast<std::size_t>(runner - 1)] = runners.Int(4);
        // each mark's lowest runner number, as the prediction names it
        const int mark = runners.Int(2);
        if (mark >= 1 && mark <= kLedgerMarks &&
            race.marked[static_cast<std::size_t>(mark - 1)] == 0) {
            race.marked[static_cast<std::size_t>(mark - 1)] = runner;
            race.winOdds[static_cast<std::size_t>(mark - 1)] =
                static_cast<float>(runners.Double(3));
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
        for (const std::string& cell : LedgerCsvCells(stored.races[i])) {
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
