#pragma once

#include "session/DaySession.h"
#include "ledger/LedgerRace.h"
#include "ledger/SeasonFolder.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

struct TSettings;

// The days whose races the ledger keeps; 0 leaves that end open.
struct TLedgerRange {
    int from = 0; // YYYYMMDD
    int to = 0;
};

// What a walk over a season folder gathered.
struct TLedger {
    std::vector<TLedgerRace> races;    // in the order of the days and of each day's races
    int days = 0;                      // days whose races were kept
    int daysWithoutOdds = 0;           // of those, days none of whose races had odds
    int skippedArchives = 0;           // day archives that could not be read
    std::vector<std::string> problems; // archives and races left out, with why (CP932)
    // one line per day that was read with something wrong (a name that is not its date, a
    // record file cut short, an odds archive that cannot be read) or counted once (CP932)
    std::vector<std::string> warnings;
    bool cancelled = false;
};

// The season ledger over a folder of day archives: every race of every day in the range
// is prepared as the race view prepares it (its odds read and its prediction computed, with
// the settings' time database and odds sources), and each runner's result is taken from
// the first later day whose horse records hold that run. The days after the range are
// read for results only. Days are keyed by the date inside their archives
// (DatedByContent); each archive's race file is read once to find it, then the archive is
// opened once.
class TSeasonLedger {
public:
    // Throws ELedgerError when the folder holds no day archive, none that can be read (the
    // message names each and why, one per line) or none in the range.
    TSeasonLedger(const TSettings& settings, const std::filesystem::path& folder,
                  TLedgerRange range = {});

    // The day archives the walk reads.
    int DayCount() const { return static_cast<int>(m_season.days.size()); }

    // Walks the days; progress is asked before each day (false stops before it, and the
    // ledger is marked cancelled). Errors of the time database pass out; an archive or a
    // race that cannot be read is noted and left out. Throws ELedgerError, naming each
    // archive and why, when no day in the range could be read.
    TLedger Run(const TOutputProgress& progress = {}) const;

private:
    bool isKept(const TSeasonDay& day) const;

    const TSettings& m_settings;
    std::filesystem::path m_folder;
    TLedgerRange m_range;
    TSeasonFolder m_season;
};
