// The comparison with the market of a generated season from its store (goal: under 0.5 s
// for 500 days): the store's races and runners read, ◎ against the favourite with three
// paired bootstraps, ◎ by odds band, the three fits and the reliability tables.
#include "BenchSeason.h"
#include "BenchTimer.h"

#include "ledger/MarketComparison.h"
#include "ledger/StoreLedger.h"
#include "season/Sqlite.h"

#include <cstdio>

int main(int argc, char** argv) {
    const TBenchSeason bench(argc, argv);
    const TLedger& ledger = bench.ledger;
    const TCalibration& calibration = ledger.market.calibration;
    std::printf("%d compared, %d in the fits (%s)\n", ledger.market.all.topMark.races,
                calibration.races, calibration.Enough() ? "fitted" : "too few");
    TSqliteDatabase db(bench.Store(), 1000);
    // the ledger reads the races and their results from the store anyway; the section adds
    // the rest
    benchmark("the races and results (read by the ledger)", 5, [&] { ReadStoredRaces(db); });
    const TStoredRaces stored = ReadStoredRaces(db);
    std::vector<TMarketRace> races;
    benchmark("the section's runners taken from the races read", 5,
              [&] { races = MarketRaces(stored); });
    benchmark("the section computed, fits included", 5, [&] {
        if (!CompareWithMarket(races).calibration.Enough())
            std::abort();
    });
    benchmark("the whole section from the store", 5, [&] {
        if (!CompareWithMarket(MarketRaces(stored)).calibration.Enough())
            std::abort();
    });
    return 0;
}
