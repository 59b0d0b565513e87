#pragma once

#include "season/Sqlite.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TDaySession;

// One race as the store keeps it, collected from the day session before anything is
// written, so that a race whose data fail leaves nothing behind. Texts are UTF-8; a value
// that is not there is nothing (NULL in the store).
struct TStoreRace {
    struct TPastRun {
        std::optional<int> date; // YYYYMMDD
        std::optional<int> course;
        std::optional<int> position; // as the horse file has it: 1-18, 31-35 or another code
    };
    struct TCell {
        float figure = 0;
        int status = 0;
        bool dirt = false;
        bool top = false;
    };
    struct TRunner {
        int number = 0;
        int bracket = 0;
        std::optional<std::string> key; // nothing when blank
        std::string name;
        std::optional<double> score; // nothing: no score
        int rank = 0;
        int mark = 0; // mark position 0 to 9
        std::optional<double> winOdds, placeLow, placeHigh;
        std::array<TCell, 5> cells;
        std::array<TPastRun, 5> pastRuns;
    };
    struct TBet {
        int lower = 0;
        int higher = 0;
        std::optional<double> odds;
    };

    int seq = 0; // index in the day's race file
    int date = 0;
    int number = 0;
    int course = 0; // the two-digit racecourse code of the race key
    std::string venue, name, surface, surfaceCode, ageCondition, classCode, conditionCode,
        gradeCode;
    std::optional<int> distance;
    int runners = 0;
    bool noBet = false;
    int scored = 0;
    bool clearLeader = false;
    std::optional<std::string> oddsSource, bracketOdds, quinellaOdds;
    std::vector<TRunner> field;
    std::vector<TBet> bets;
};

// The race selected and prepared in session (odds read, prediction computed) as rows.
TStoreRace CollectStoreRace(const TDaySession& session, int seq);

// Writes days into the store: the statements are prepared once for a whole update.
class TDayRecorder {
public:
    explicit TDayRecorder(TSqliteDatabase& db);

    struct TDayRow {
        int date = 0;
        std::string archive; // file name
        std::int64_t size = 0;
        std::int64_t mtime = 0;
        std::string hash;
        std::string oddsFiles;
        bool hasOdds = false;
    };
    void InsertDay(const TDayRow& day);
    void InsertRace(int day, const TStoreRace& race);
    void InsertNote(int day, int seq, const char* kind, const std::string& utf8);
    // Removes the day and everything read from it; marks the ledger table stale, as
    // InsertDay does.
    void DeleteDay(int date);
    // Marks the ledger table stale, before days change.
    void MarkLedgerStale();

private:
    TSqliteDatabase& m_db;
    TSqliteStatement m_day;
    TSqliteStatement m_race;
    TSqliteStatement m_runner;
    TSqliteStatement m_bet;
    TSqliteStatement m_note;
    TSqliteStatement m_stale; // the ledger table no longer tells the store
    std::vector<std::unique_ptr<TSqliteStatement>> m_deletes;
};
