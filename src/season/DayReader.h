#pragma once

#include "platform/Folder.h"
#include "season/DayRecorder.h"
#include "season/ReadAhead.h"
#include "season/SeasonFolder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class TDaySession;
struct TSettings;

// What is read of one day before it is stored.
struct TReadDay {
    TSeasonDay day;
    std::optional<std::string> unreadable; // why the day could not be opened or dated (CP932)
    std::vector<TStoreRace> races;
    std::vector<std::string> problems; // the races left out, with why (CP932)
    std::string oddsFiles;             // the odds files' stamps as the store keeps them
    std::string warning;               // CP932
};

// Days read on threads of their own, two when there are several, while the one before is
// stored: each is opened, every race of it prepared as the race view prepares it, and
// closed again.
// Days dated by name only (dateByContent) are first dated by the race file inside. The
// archive's hash is left to the thread that stores the day, which has the time.
class TDayReader {
public:
    TDayReader(const TSettings& settings, std::vector<TSeasonDay> days, bool dateByContent);
    ~TDayReader();
    TDayReader(const TDayReader&) = delete;
    TDayReader& operator=(const TDayReader&) = delete;

    std::size_t Count() const { return m_days.size(); }
    // The days as given.
    const TSeasonDay& Day(std::size_t d) const { return m_days[d]; }
    // The next day in order, Count() times at most. The time database's errors come out here.
    TReadDay Next() { return m_reader->Next(); }

private:
    // What a reading thread keeps for itself.
    struct TWorker {
        std::unique_ptr<TDaySession> session; // made by its first day
        TCaseBlindFolders folders;
    };

    TReadDay read(std::size_t d, TWorker& worker);

    const TSettings& m_settings;
    const std::vector<TSeasonDay> m_days;
    const bool m_dateByContent;
    std::vector<TWorker> m_workers;
    std::unique_ptr<TReadAhead<TReadDay>> m_reader; // last: it stops before the rest goes
};
