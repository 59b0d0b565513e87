#pragma once

#include "ledger/SeasonLedger.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"
#include "session/Settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

// A generated season of the days the command line asks for (500 unless given), three venues
// a day, in a folder of its own with its store, and its ledger run once.
struct TBenchSeason {
    TBenchSeason(int argc, char** argv) : days(argc > 1 ? std::atoi(argv[1]) : 500) {
        WriteSampleSeason(folder.path(), {.days = days, .venues = 3});
        settings.Folder.Time = (folder.path() / "time" / "").string();
        season = std::make_unique<TSeasonLedger>(settings, folder.path(), TLedgerRange{}, Store());
        ledger = season->Run();
        std::printf("%d days, %zu races\n", days, ledger.races.size());
    }

    std::filesystem::path Store() const { return folder.path() / "store.sqlite"; }

    const int days;
    TWorkFolder folder;
    TSettings settings;
    std::unique_ptr<TSeasonLedger> season;
    TLedger ledger;
};
