#pragma once

#include "analysis/Focus.h"
#include "analysis/Rule.h"
#include "ledger/StoreLedger.h"
#include "season/Sqlite.h"

#include <array>
#include <filesystem>
#include <utility>
#include <vector>

// A season replayed under another rule without reading an archive: the marks and bets are
// computed again from each runner's stored figure cells, the results and odds are the
// store's. The store is read once; each replay is arithmetic only.
class TSeasonReplay {
public:
    explicit TSeasonReplay(TSqliteDatabase& db);
    // Reads the store file (which must exist) once; throws when it cannot.
    explicit TSeasonReplay(const std::filesystem::path& store);

    // The races of the days in range, in the ledger's order, as the ledger keeps them under
    // rule (every race of the store for the whole range).
    std::vector<TLedgerRace> Races(const TRule& rule, const TLedgerRange& range = {}) const;
    // The same under each rule, each race predicted once for the rules that differ in their
    // ticket filters only.
    std::vector<std::vector<TLedgerRace>> Replays(const std::vector<TRule>& rules,
                                                  const TLedgerRange& range = {}) const;

    // The store's races as the day's prediction recorded them.
    const TStoredRaces& Stored() const { return m_stored; }

private:
    // Everything read in one state of the store.
    TSeasonReplay(TSqliteDatabase& db, const TSqliteReadTransaction& snapshot);

    struct TInput {
        std::vector<std::array<TFigureCell, TFocus::kCells>> cells; // by runner index
        std::vector<float> winOdds;                                 // by runner index; 0: none
        std::vector<std::pair<int, float>> pairOdds; // lower * 100 + higher, sorted; the bets' kind
        bool noBet = false;

        float PairOdds(int lower, int higher) const;
    };

    TStoredRaces m_stored;
    std::vector<TInput> m_inputs; // as m_stored.races
};
