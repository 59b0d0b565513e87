// The comparison with the market of a generated season from its store (goal: under 0.5 s
// for 500 days): the store's races and runners read, ◎ against the favourite with three
// paired bootstraps, ◎ by odds band, the three fits and the reliability tables.
#include "BenchTimer.h"

#include "ledger/MarketComparison.h"
#include "ledger/SeasonLedger.h"
#include "ledger/StoreLedger.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"
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
    const TCalibration& calibration = ledger.market.calibration;
    std::printf("%d days, %zu races, %d compared, %d in the fits (%s)\n", days, ledger.races.size(),
                ledger.market.all.topMark.races, calibration.races,
                calibration.Enough() ? "fitted" : "too few");
    TSqliteDatabase db(folder.path() / "store.sqlite", 1000);
    // the ledger reads the races and their results from the store anyway; the section adds
    // the rest
    benchmark("the races and results (read by the ledger)", 5, [&] { ReadStoredRaces(db); });
    const TStoredRaces stored = ReadStoredRaces(db);
    std::vector<TMarketRace> races;
    benchmark("the section's runners read from the store", 5,
              [&] { races = ReadMarketRaces(db, stored); });
    benchmark("the section computed, fits included", 5, [&] {
        if (!CompareWithMarket(races).calibration.Enough())
            std::abort();
    });
    benchmark("the whole section from the store", 5, [&] {
        if (!CompareWithMarket(ReadMarketRaces(db, stored)).calibration.Enough())
            std::abort();
    });
    return 0;
}
