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
    benchmark("market section from the store", 5, [&] {
        const std::vector<TMarketRace> races = ReadMarketRaces(db, ReadStoredRaces(db));
        if (!CompareWithMarket(races).calibration.Enough())
            std::abort();
    });
    return 0;
}
