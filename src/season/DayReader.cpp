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
      m_workers(m_days.size() > 1 ? kWorkers : 1), m_feeds(m_days.size()) {
    m_reader = std::make_unique<TReadAhead<TReadDay>>(
        [this](std::size_t d, std::size_t w) { return read(d, m_workers[w]); }, m_days.size(),
        m_workers.size(), 2 * m_workers.size());
}

TDayReader::~TDayReader() = default;

void TDayReader::TFeed::Date(const TSeasonDay& day) {
    std::lock_guard lock(m_mutex);
    m_dated = day;
    m_changed.notify_all();
}

void TDayReader::TFeed::Add(TStoreRace race) {
    std::lock_guard lock(m_mutex);
    m_races.push_back(std::move(race));
    m_changed.notify_all();
}

void TDayReader::TFeed::Close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_changed.notify_all();
}

void TDayReader::TFeed::Fail(std::exception_ptr failure) {
    std::lock_guard lock(m_mutex);
    m_failure = std::move(failure);
    m_closed = true;
    m_changed.notify_all();
}

// A reading that ends without an exception has dated its day first.
TSeasonDay TDayReader::TFeed::Dated() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_dated || m_failure; });
    if (!m_dated)
        std::rethrow_exception(m_failure);
    return *m_dated;
}

const TFileFingerprint& TDayReader::TFeed::Archive(const fs::path& archive) {
    std::call_once(m_hashed, [&] { m_archive = HashedFingerprint(archive); });
    return m_archive;
}

std::optional<TStoreRace> TDayReader::TFeed::NextRace() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_races.empty() || m_closed; });
    if (m_races.empty())
        return std::nullopt;
    TStoreRace race = std::move(m_races.front());
    m_races.pop_front();
    return race;
}

TReadDay TDayReader::read(std::size_t d, TWorker& worker) {
    TFeed& feed = m_feeds[d];
    // closed however the reading ends, so that the thread storing the day never waits for ever
    try {
        TReadDay read = readDay(d, worker, feed);
        feed.Close();
        feed.Archive(m_days[d].archive); // unless the storing thread has, while it waited
        return read;
    } catch (...) {
        feed.Fail(std::current_exception());
        throw;
    }
}

TReadDay TDayReader::readDay(std::size_t d, TWorker& worker, TFeed& feed) {
    TReadDay read{m_days[d], {}, {}, {}, {}};
    const std::string name = pathText(read.day.archive.filename());
    try {
        if (m_dateByContent)
            TakeContentDate(read.day, DayArchiveDate(read.day.archive.string()));
    } catch (const std::exception& error) {
        read.unreadable = name + ": " + MessageOf(error);
    }
    feed.Date(read.day);
    if (read.unreadable)
        return read;
    if (!worker.session) {
        worker.session = std::make_unique<TDaySession>(m_settings);
        worker.session->FocusCreate();
    }
    TDaySession& session = *worker.session;
    try {
        // the odds of the day the archive holds, whatever its name says
        session.OpenDay(read.day.archive.string(), DayCodeOfDate(read.day.date), true);
    } catch (const std::exception& error) {
        read.unreadable = name + ": " + MessageOf(error);
        return read;
    }
    for (int i = 0; i < session.Race().RaceCount(); ++i) {
        try {
            session.PrepareRace(i, true);
            feed.Add(CollectStoreRace(session, i));
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
