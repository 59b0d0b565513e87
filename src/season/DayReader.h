#pragma once

#include "platform/Folder.h"
#include "season/DayRecorder.h"
#include "season/FileFingerprint.h"
#include "season/ReadAhead.h"
#include "season/SeasonFolder.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TDaySession;
struct TSettings;

// What is read of one day besides its races, once they are all prepared.
struct TReadDay {
    TSeasonDay day;
    std::optional<std::string> unreadable; // why the day could not be opened or dated (CP932)
    std::vector<std::string> problems;     // the races left out, with why (CP932)
    std::string oddsFiles;                 // the odds files' stamps as the store keeps them
    std::string warning;                   // CP932
};

// Days read on threads of their own, two when there are several, while the one before is
// stored: each is opened, every race of it prepared as the race view prepares it, and
// closed again. A day's races are handed over one by one as they are prepared, so that
// storing them overlaps preparing the next.
// Days dated by name only (dateByContent) are first dated by the race file inside. An
// archive is hashed by whichever thread asks first: the one storing the days while its day is
// read, or its reader once done with the day.
class TDayReader {
public:
    TDayReader(const TSettings& settings, std::vector<TSeasonDay> days, bool dateByContent);
    ~TDayReader();
    TDayReader(const TDayReader&) = delete;
    TDayReader& operator=(const TDayReader&) = delete;

    std::size_t Count() const { return m_days.size(); }
    // The days as given.
    const TSeasonDay& Day(std::size_t d) const { return m_days[d]; }
    // Day d's archive with its size, time and hash.
    const TFileFingerprint& Archive(std::size_t d) { return m_feeds[d].Archive(m_days[d].archive); }
    // Day d as its reader dated it, once it has; what the reading threw before comes out here.
    TSeasonDay Dated(std::size_t d) { return m_feeds[d].Dated(); }
    // The next race of day d, once it is prepared; nothing when the day has no more.
    std::optional<TStoreRace> NextRace(std::size_t d) { return m_feeds[d].NextRace(); }
    // The rest of the next day in order, once its reader is done with it; Count() times at
    // most. The time database's errors come out here.
    TReadDay Next() { return m_reader->Next(); }

private:
    // One day's races between its reader and the thread that stores them.
    class TFeed {
    public:
        void Date(const TSeasonDay& day);
        void Add(TStoreRace race);
        void Close(); // nothing more comes
        void Fail(std::exception_ptr failure);
        TSeasonDay Dated();
        std::optional<TStoreRace> NextRace();
        const TFileFingerprint& Archive(const std::filesystem::path& archive);

    private:
        std::mutex m_mutex;
        std::condition_variable m_changed;
        std::optional<TSeasonDay> m_dated;
        std::deque<TStoreRace> m_races;
        std::exception_ptr m_failure;
        bool m_closed = false;
        std::once_flag m_hashed;
        TFileFingerprint m_archive;
    };

    // What a reading thread keeps for itself.
    struct TWorker {
        std::unique_ptr<TDaySession> session; // made by its first day
        TCaseBlindFolders folders;
    };

    TReadDay read(std::size_t d, TWorker& worker);
    TReadDay readDay(std::size_t d, TWorker& worker, TFeed& feed);

    const TSettings& m_settings;
    const std::vector<TSeasonDay> m_days;
    const bool m_dateByContent;
    std::vector<TWorker> m_workers;
    std::deque<TFeed> m_feeds;                      // by day
    std::unique_ptr<TReadAhead<TReadDay>> m_reader; // last: it stops before the rest goes
};
