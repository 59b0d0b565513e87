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

// Days read one after another on a thread of their own while the one before is stored:
// each is opened, every race of it prepared as the race view prepares it, and closed again.
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
    TReadDay read(std::size_t d);

    const TSettings& m_settings;
    const std::vector<TSeasonDay> m_days;
    const bool m_dateByContent;
    std::unique_ptr<TDaySession> m_session;         // the reading thread's, made by its first day
    TCaseBlindFolders m_folders;                    // the reading thread's
    std::unique_ptr<TReadAhead<TReadDay>> m_reader; // last: it stops before the rest goes
};
