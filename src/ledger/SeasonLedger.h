#pragma once

#include "session/DaySession.h"
#include "ledger/LedgerRace.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

struct TSettings;

class ELedgerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One day archive of a season folder: rv + YYMMDD + .lzh.
struct TSeasonDay {
    std::filesystem::path archive;
    int date = 0; // YYYYMMDD; a two-digit year below 50 is of the 2000s
};

// The day archives of folder in date order. Throws ELedgerError when the folder cannot be
// read or holds none.
std::vector<TSeasonDay> SeasonDays(const std::filesystem::path& folder);

// The date YYYYMMDD of a YYMMDD text, as archive names and the range options give it;
// 0 when the text is not six digits.
int SeasonDate(const std::string& yymmdd);

// The days whose races the ledger keeps; 0 leaves that end open.
struct TLedgerRange {
    int from = 0; // YYYYMMDD
    int to = 0;
};

// What a walk over a season folder gathered.
struct TLedger {
    std::vector<TLedgerRace> races;    // in the order of the days and of each day's races
    int days = 0;                      // days whose races were kept
    int skippedArchives = 0;           // day archives that could not be read
    std::vector<std::string> problems; // archives and races left out, with why (CP932)
    bool cancelled = false;
};

// The season ledger over a folder of day archives: every race of every day in the range
// is prepared as the race view prepares it (its odds read and its prediction computed, with
// the settings' time database and odds sources), and each runner's result is taken from
// the first later day whose horse records hold that run. The days after the range are
// read for results only. Each archive is opened once.
class TSeasonLedger {
public:
    // Throws ELedgerError when the folder holds no day archive in or after the range.
    TSeasonLedger(const TSettings& settings, const std::filesystem::path& folder,
                  TLedgerRange range = {});

    // The day archives the walk reads.
    int DayCount() const { return static_cast<int>(m_days.size()); }

    // Walks the days; progress is asked before each day (false stops before it, and the
    // ledger is marked cancelled). Errors of the time database pass out; an archive or a
    // race that cannot be read is noted and left out.
    TLedger Run(const TOutputProgress& progress = {}) const;

private:
    bool isKept(const TSeasonDay& day) const;

    const TSettings& m_settings;
    TLedgerRange m_range;
    std::vector<TSeasonDay> m_days;
};
