#pragma once

#include "season/SeasonFolder.h"
#include "session/DaySession.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

class TDayReader;
class TSeasonStore;
struct TSettings;

// What bringing a store up to date did.
struct TStoreUpdate {
    int daysRead = 0;      // new or changed days read into the store
    int daysUnchanged = 0; // days the store already held as they are
    // archives whose days the store held and that are gone: their days were dropped (CP932)
    std::vector<std::string> dropped;
    // day archives that could not be opened, by date: never stored, read again next time
    struct TUnreadable {
        int date = 0;
        std::string problem; // "NAME: why" (CP932)
    };
    std::vector<TUnreadable> unreadable;
    // entries named as day archives that are none or cannot be read, with why (CP932)
    std::vector<std::string> skipped;
    // day archives counted once for a date another archive holds (CP932)
    std::vector<std::string> duplicates;
    bool recomputed = false; // the store held days of another source, and lost them
    bool cancelled = false;
};

// Brings a store up to date with a season folder: days that are new, or whose archive or
// odds files changed, are read (each in one transaction, replacing what the store held of
// that date); days whose archive is gone are dropped. A file is taken as unchanged when
// its size and modification time are; when they differ, its content hash decides.
class TStoreUpdater {
public:
    // Lists the folder, dates its days by their content (a day the store holds unchanged
    // keeps its stored date) and compares them with the store. Throws ELedgerError when the
    // folder cannot be read, holds no day archive or none that can be read.
    TStoreUpdater(TSeasonStore& store, const TSettings& settings,
                  const std::filesystem::path& folder);
    ~TStoreUpdater();

    // The dates of the folder's day archives.
    const std::vector<TSeasonDay>& Days() const { return m_season.days; }
    // The days the update reads: the steps of its progress.
    int DaysToRead() const { return static_cast<int>(m_toRead.size()); }

    // Reads the days, asking progress before each (false stops before it: the days read
    // so far stay). Errors of the time database and of the store pass out.
    TStoreUpdate Run(const TOutputProgress& progress = {});

private:
    struct TStoredDay;
    void plan();

    TSeasonStore& m_store;
    const TSettings& m_settings;
    std::filesystem::path m_folder;
    TSeasonFolder m_season;
    std::vector<TSeasonDay> m_toRead;
    std::vector<int> m_toDrop;   // dates whose archive is gone or holds another day now
    std::set<int> m_storedDates; // the dates the store held when planned
    std::vector<std::string> m_droppedNames;
    bool m_recomputed = false;
    int m_unchanged = 0;
    // the archives the store did not know, read from the start of the plan; last, so that
    // it stops before what it reads goes
    std::unique_ptr<TDayReader> m_early;
};
