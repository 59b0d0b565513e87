#pragma once

#include "ledger/LedgerRace.h"
#include "ledger/MarketComparison.h"
#include "season/SeasonFolder.h"
#include "season/SeasonStore.h"
#include "session/DaySession.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TSettings;
class TSeasonReplay;
class TStoreUpdater;
struct TStoreUpdate;

// What the ledger computed from the store.
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
    std::filesystem::path store;                   // the store's file
    std::map<int, std::filesystem::path> archives; // the day archive of each date kept
    std::filesystem::path timeDatabase;            // the time.dbx the figures were computed with
    // the rule of races; under another rule than the defaults, the same races under the
    // defaults, as the day's prediction recorded them
    TRule rule;
    std::vector<TLedgerRace> defaults;
    std::vector<std::string> storeNotes; // what the update did besides reading days (CP932)
    // ◎ and the program's score beside the market, over the kept races as the day's
    // prediction marked them
    TMarketSection market;
};

// The season ledger over a folder of day archives: the season store of the folder is
// brought up to date first (every new or changed day read as the race view prepares it,
// with the settings' time database and odds sources), then every table is computed from
// the store. Days are known by the date inside their archives (a day held by two archives
// is counted once). Each runner's result is taken from the first later day whose horse
// records hold that run; the days after the range still give results.
class TSeasonLedger {
public:
    // storeFile: the store to use; empty for the default store of the folder, time
    // database and odds sources in the user's cache folder. Throws ELedgerError when the
    // folder holds no day archive, none that can be read (naming each and why) or none in
    // or after the range, ESqliteError when the store cannot be opened or is in use.
    TSeasonLedger(const TSettings& settings, const std::filesystem::path& folder,
                  TLedgerRange range = {}, const std::filesystem::path& storeFile = {},
                  int busyMilliseconds = TSeasonStore::kBusyMilliseconds);
    ~TSeasonLedger();

    // The days the update of the store reads: the steps of Run's progress.
    int DayCount() const;
    const std::filesystem::path& StoreFile() const { return m_store->File(); }
    // The ledger's marks and bets are replayed under rule (the defaults unless set).
    void SetRule(const TRule& rule) { m_rule = rule; }
    // After Run: the store's inputs of replays under other rules, read once per run.
    std::shared_ptr<const TSeasonReplay> Replay() const;

    // Brings the store up to date, asking progress before each day it reads (false stops
    // before it: the ledger comes back empty and marked cancelled; the days read so far
    // stay in the store), then computes the ledger from it. Errors of the time database
    // and of the store pass out; an archive or a race that cannot be read is noted and
    // left out; when no day in the range could be read, ELedgerError names each archive
    // and why. A store found damaged on the way is set aside and built again.
    TLedger Run(const TOutputProgress& progress = {});

private:
    bool isKept(int date) const { return InRange(date, m_range); }
    // Runs work; when it finds the store damaged, sets it aside and runs work again on a new
    // store.
    template <typename Work> auto whole(Work work);
    TLedger runOnce(const TOutputProgress& progress);
    TLedger compute(const TStoreUpdate& update);

    const TSettings& m_settings;
    std::filesystem::path m_folder;
    TLedgerRange m_range;
    TRule m_rule;
    std::unique_ptr<TSeasonStore> m_store;
    std::unique_ptr<TStoreUpdater> m_updater;
    mutable std::shared_ptr<const TSeasonReplay> m_replay;
};
