// The breakdowns of a generated season (goal: under 0.2 s at 500 days): from the races the
// ledger holds, and with the races read from the store first.
#include "BenchSeason.h"
#include "BenchTimer.h"

#include "ledger/LedgerBreakdown.h"
#include "ledger/StoreLedger.h"
#include "season/SeasonStore.h"
#include "season/Sqlite.h"

int main(int argc, char** argv) {
    const TBenchSeason bench(argc, argv);
    const TLedger& ledger = bench.ledger;
    benchmark("breakdowns of the ledger's races", 5, [&] { Breakdowns(ledger.races); });
    benchmark("breakdowns with breakdown.csv", 5, [&] { BreakdownCsv(Breakdowns(ledger.races)); });
    TSqliteDatabase db(bench.Store(), TSeasonStore::kBusyMilliseconds);
    benchmark("the store's races read, then their breakdowns", 3,
              [&] { Breakdowns(ReadStoredRaces(db).races); });
    return 0;
}
