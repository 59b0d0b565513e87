#pragma once

#include "ledger/LedgerRace.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class TRaceBase;

// The runners whose results are still awaited, by horse and race day. A runner of a race
// run on day D at course C finds its result in the first later horse record of the same
// runner key that holds a past run of date D at course C; the book then forgets it, so it
// only grows with the runners still waiting.
class TResultBook {
public:
    // Waits for the results of every runner of the race selected in race, which the
    // ledger keeps as races[index]; date is YYYYMMDD, course the one-digit course code of
    // the past-run blocks.
    void Expect(const TRaceBase& race, std::size_t index, int date, int course);
    // Hands the awaited runners of the selected race's horse records their results.
    void Resolve(const TRaceBase& race, std::vector<TLedgerRace>& races);

    std::size_t Waiting() const { return m_waiting; }

private:
    struct TEntry {
        int course;
        std::size_t race;
        int runner; // runner number
    };
    // runner key and date: 7 + 8 bytes
    static std::string bookKey(const std::string& runnerKey, int date);

    std::unordered_map<std::string, std::vector<TEntry>> m_entries;
    std::size_t m_waiting = 0;
};
