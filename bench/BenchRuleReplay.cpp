// Replays of a generated season from its store: one rule (goal: under 0.1 s) and a sweep of
// 20 values (goal: under 1 s), each compared with the defaults by the paired bootstrap, once
// the store's inputs have been read (once per ledger, timed on its own).
#include "BenchSeason.h"
#include "BenchTimer.h"

#include "ledger/SeasonReplay.h"
#include "ledger/WhatIf.h"

int main(int argc, char** argv) {
    const TBenchSeason bench(argc, argv);
    benchmark("reading the replay inputs from the store (once per ledger)", 3,
              [&] { TSeasonReplay replay(bench.Store()); });
    const auto replay = bench.season->Replay();
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
