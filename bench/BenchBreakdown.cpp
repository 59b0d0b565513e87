// The breakdowns of a generated season (goal: under 0.2 s at 500 days): from the races the
// ledger holds, and with the races read from the store first.
#include "BenchTimer.h"

#include "ledger/LedgerBreakdown.h"
#include "ledger/SeasonLedger.h"
#include "ledger/StoreLedger.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"
#include "season/SeasonStore.h"
#include "season/Sqlite.h"
#include "session/Settings.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int days = argc > 1 ? std::atoi(argv[1]) : 500;
    TWorkFolder folder;
    WriteSampleSeason(folder.path(), {.days = days, .venues = 3});
    TSettings settings;
    settings.Folder.Time = (folder.path() / "time" / "").string();
    const TLedger ledger =
        TSeasonLedger(settings, folder.path(), {}, folder.path() / "store.sqlite").Run();
    std::printf("%d days, %zu races\n", days, ledger.races.size());
    benchmark("breakdowns of the ledger's races", 5, [&] { Breakdowns(ledger.races); });
    benchmark("breakdowns with breakdown.csv", 5, [&] { BreakdownCsv(Breakdowns(ledger.races)); });
    TSqliteDatabase db(folder.path() / "store.sqlite", TSeasonStore::kBusyMilliseconds);
    benchmark("the store's races read, then their breakdowns", 3,
              [&] { Breakdowns(ReadStoredRaces(db).races); });
    return 0;
}
