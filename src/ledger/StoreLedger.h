#pragma once

#include "ledger/LedgerRace.h"

#include <cstdint>
#include <optional>
#include <vector>

class TSqliteDatabase;

// One runner's score and snapshot win odds as the day's prediction stored them.
struct TStoredScore {
    std::optional<double> score; // none: the program gave it no score
    float winOdds = 0;           // 0: none
};

// Every race of a store as the ledger keeps it, in the order of the days and of each day's
// races, with the store's race id, the day it was read from and its runners' scores.
struct TStoredRaces {
    std::vector<TLedgerRace> races;
    std::vector<std::int64_t> ids;
    std::vector<int> days;                         // YYYYMMDD
    std::vector<std::vector<TStoredScore>> scores; // by race, then runner number − 1
};

// Each runner's result comes from the earliest later day whose horse file holds its run,
// as the store's view runner_results gives it.
TStoredRaces ReadStoredRaces(TSqliteDatabase& db);

// Writes the store's table ledger, the cells of ledger.csv for every race of the store
// (an empty cell as NULL), when the store changed since it was last written.
void RefreshLedgerTable(TSqliteDatabase& db, const TStoredRaces& stored);
