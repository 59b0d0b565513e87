#include "season/DayReader.h"

#include "platform/Cp932.h"
#include "platform/Reasons.h"
#include "race/RaceBase.h"
#include "race/RaceRuv.h"
#include "season/OddsStamps.h"
#include "session/DaySession.h"

namespace fs = std::filesystem;

namespace {

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

// The day's line of warnings: its name, then what is wrong, one after the other; empty
// when nothing is.
std::string dayWarning(const TSeasonDay& day, const TDaySession& session) {
    std::vector<std::string> notes = day.notes;
    notes.insert(notes.end(), session.FileWarnings().begin(), session.FileWarnings().end());
    if (!session.OddsFileProblem().empty())
        notes.push_back(session.OddsFileProblem());
    if (notes.empty())
        return {};
    std::string line = pathText(day.archive.filename());
    for (std::size_t i = 0; i < notes.size(); ++i)
        line += (i == 0 ? ": " : "; ") + notes[i];
    return line;
}

// Reading a day takes about three times as long as storing it: two threads read while a
// third stores, on two processors or more.
constexpr std::size_t kWorkers = 2;

} // namespace

TDayReader::TDayReader(const TSettings& settings, std::vector<TSeasonDay> days, bool dateByContent)
    : m_settings(settings), m_days(std::move(days)), m_dateByContent(dateByContent),
      m_workers(m_days.size() > 1 ? kWorkers : 1) {
    m_reader = std::make_unique<TReadAhead<TReadDay>>(
        [this](std::size_t d, std::size_t w) { return read(d, m_workers[w]); }, m_days.size(),
        m_workers.size(), 2 * m_workers.size());
}

TDayReader::~TDayReader() = default;

TReadDay TDayReader::read(std::size_t d, TWorker& worker) {
    if (!worker.session) {
        worker.session = std::make_unique<TDaySession>(m_settings);
        worker.session->FocusCreate();
    }
    TDaySession& session = *worker.session;
    TReadDay read{m_days[d], {}, {}, {}, {}, {}};
    const std::string name = pathText(read.day.archive.filename());
    try {
        if (m_dateByContent)
            TakeContentDate(read.day, DayArchiveDate(read.day.archive.string()));
        // the odds of the day the archive holds, whatever its name says
        session.OpenDay(read.day.archive.string(), DayCodeOfDate(read.day.date), true);
    } catch (const std::exception& error) {
        read.unreadable = name + ": " + MessageOf(error);
        return read;
    }
    for (int i = 0; i < session.Race().RaceCount(); ++i) {
        try {
            session.PrepareRace(i, true);
            read.races.push_back(CollectStoreRace(session, i));
        } catch (const std::exception& error) {
            read.problems.push_back(name + " " + session.Race().RaceLine(i) + ": " +
                                    MessageOf(error));
        }
    }
    read.oddsFiles = OddsText(CurrentOddsFiles(m_settings, read.day, worker.folders, true));
    read.warning = dayWarning(read.day, session);
    session.CloseDay();
    return read;
}
