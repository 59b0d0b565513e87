// Replays of a generated season from its store: one rule (goal: under 0.1 s) and a sweep of
// 20 values (goal: under 1 s), each compared with the defaults by the paired bootstrap, once
// the store's inputs have been read (once per ledger, timed on its own).
#include "BenchTimer.h"

#include "ledger/SeasonReplay.h"
#include "ledger/WhatIf.h"
#include "ledger/SeasonLedger.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"
#include "session/Settings.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int days = argc > 1 ? std::atoi(argv[1]) : 500;
    TWorkFolder folder;
    WriteSampleSeason(folder.path(), {.days = days, .venues = 3});
    TSettings settings;
    settings.Folder.Time = (folder.path() / "time" / "").string();
    TSeasonLedger season(settings, folder.path(), {}, folder.path() / "store.sqlite");
    const TLedger ledger = season.Run();
    std::printf("%d days, %zu races\n", days, ledger.races.size());
    benchmark("reading the replay inputs from the store (once per ledger)", 3,
              [&] { TSeasonReplay replay(folder.path() / "store.sqlite"); });
    const auto replay = season.Replay();
    benchmark("single replay (good=0.8,margin=0.05)", 5,
              [&] { replay->Races(ParseRule("good=0.8,margin=0.05")); });
    benchmark("single replay (good=0.8,margin=0.05) with its interval", 5, [&] {
        AnswerWhatIf(*replay, {ParseRule("good=0.8,margin=0.05"), std::nullopt, {}, std::nullopt});
    });
    benchmark("sweep of 20 min-odds values with their intervals", 3, [&] {
        AnswerWhatIf(*replay, {TRule{}, ParseSweep("min-odds=0:19:1"), {}, std::nullopt});
    });
    return 0;
}
