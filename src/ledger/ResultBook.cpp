#include "ledger/ResultBook.h"

#include "race/RaceBase.h"

#include <algorithm>

std::string TResultBook::bookKey(const std::string& runnerKey, int date) {
    return runnerKey + std::to_string(date);
}

void TResultBook::Expect(const TRaceBase& race, std::size_t index, int date, int course) {
    for (int r = 0; r < race.RunnerCount(); ++r) {
        const std::string key = race.RunnerKey(r);
        // a blank key names no horse, and would match every other blank key
        if (key.find_first_not_of(' ') == std::string::npos)
            continue;
        m_entries[bookKey(key, date)].push_back({course, index, r + 1});
        ++m_waiting;
    }
}

void TResultBook::Resolve(const TRaceBase& race, std::vector<TLedgerRace>& races) {
    if (m_waiting == 0)
        return;
    for (int r = 0; r < race.RunnerCount(); ++r) {
        const std::string key = race.RunnerKey(r);
        for (int j = 0; j < kPastRuns; ++j) {
            const int date = race.PastRunDate(r, j);
            if (date == 0)
                continue;
            auto found = m_entries.find(bookKey(key, date));
            if (found == m_entries.end())
                continue;
            int course = -1;
            try {
                course = race.PastRunCourse(r, j);
            } catch (const std::exception&) {
                continue; // a course code that is not a number matches no race
            }
            std::vector<TEntry>& entries = found->second;
            auto entry = std::find_if(entries.begin(), entries.end(),
                                      [course](const TEntry& e) { return e.course == course; });
            if (entry == entries.end())
                continue;
            races[entry->race].results[static_cast<std::size_t>(entry->runner - 1)] =
                runResult::Normalized(race.PastRunPosition(r, j));
            entries.erase(entry);
            --m_waiting;
            if (entries.empty())
                m_entries.erase(found);
        }
    }
}
