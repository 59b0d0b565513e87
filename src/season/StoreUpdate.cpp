#include "season/StoreUpdate.h"

#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "season/DayRecorder.h"
#include "season/FileFingerprint.h"
#include "season/ReadAhead.h"
#include "season/SeasonStore.h"
#include "season/StoreSchema.h"
#include "platform/Reasons.h"

#include <map>
#include <set>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

// The odds files of a day as the store keeps them: one line per file that exists,
// "path<TAB>size<TAB>mtime<TAB>hash".
struct TOddsStamp {
    std::string path;
    TFileFingerprint print;
};

std::string oddsText(const std::vector<TOddsStamp>& files) {
    std::string text;
    for (const TOddsStamp& f : files)
        text += f.path + "\t" + std::to_string(f.print.size) + "\t" +
                std::to_string(f.print.mtime) + "\t" + f.print.hash + "\n";
    return text;
}

std::vector<TOddsStamp> oddsFilesOf(const std::string& text) {
    std::vector<TOddsStamp> files;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        TOddsStamp f;
        std::getline(fields, f.path, '\t');
        fields >> f.print.size >> f.print.mtime >> f.print.hash;
        files.push_back(f);
    }
    return files;
}

// Same files with the same stamps (check true) or the same contents (check false).
bool sameOddsFiles(const std::vector<TOddsStamp>& a, const std::vector<TOddsStamp>& b,
                   bool stamps) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].path != b[i].path)
            return false;
        if (stamps ? !a[i].print.SameStamp(b[i].print)
                   : a[i].print.size != b[i].print.size || a[i].print.hash != b[i].print.hash)
            return false;
    }
    return true;
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

} // namespace

struct TStoreUpdater::TStoredDay {
    int date = 0;
    TFileFingerprint archive;
    std::vector<TOddsStamp> odds;
};

TStoreUpdater::TStoreUpdater(TSeasonStore& store, const TSettings& settings, const fs::path& folder)
    : m_store(store), m_settings(settings), m_folder(folder) {
    plan();
}

namespace {

// The odds files that exist among those the day would be read with, hashed or not.
std::vector<TOddsStamp> currentOddsFiles(const TDaySession& session, const TSeasonDay& day,
                                         bool hashed) {
    std::vector<TOddsStamp> files;
    for (const fs::path& path : session.OddsSourceFiles(day.archive, DayCodeOfDate(day.date))) {
        const TFileFingerprint print = hashed ? HashedFingerprint(path) : FileStamp(path);
        if (print.Exists())
            files.push_back({path.string(), print});
    }
    return files;
}

// What is read of one day before it is stored.
struct TReadDay {
    TSeasonDay day;
    TFileFingerprint archive;
    std::optional<std::string> unreadable; // why the day could not be opened
    std::vector<TStoreRace> races;
    std::vector<std::string> problems; // the races left out, with why (CP932)
    std::string oddsFiles;
    std::string warning; // CP932
};

// Opens the day, reads every race of it as the race view prepares it, and closes it again;
// only session is touched.
TReadDay readDay(TDaySession& session, const TSeasonDay& day) {
    TReadDay read{day, HashedFingerprint(day.archive), {}, {}, {}, {}, {}};
    const std::string name = pathText(day.archive.filename());
    try {
        // the odds of the day the archive holds, whatever its name says
        session.OpenDay(day.archive.string(), DayCodeOfDate(day.date), true);
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
    read.oddsFiles = oddsText(currentOddsFiles(session, day, true));
    read.warning = dayWarning(day, session);
    session.CloseDay();
    return read;
}

} // namespace

void TStoreUpdater::plan() {
    TSqliteDatabase& db = m_store.Database();
    m_recomputed = m_store.Adopt(StoreSourceOf(m_settings, m_folder));
    std::map<std::string, TStoredDay> stored;
    TSqliteStatement days(db, "SELECT date, archive, archive_size, archive_mtime, archive_hash, "
                              "odds_files FROM day");
    while (days.Step())
        stored[days.Text(1)] = {
            days.Int(0), {days.Int64(2), days.Int64(3), days.Text(4)}, oddsFilesOf(days.Text(5))};
    TSeasonFolder listed = SeasonDays(m_folder);
    if (listed.days.empty() && listed.skipped.empty())
        throw ELedgerError(pathText(m_folder) +
                           sjis("に開催日のデータ(rv + 年月日 + .lzh)がありません"));
    // each archive's size and time, taken once
    std::map<fs::path, TFileFingerprint> stamps;
    auto stampOf = [&stamps](const fs::path& archive) -> const TFileFingerprint& {
        auto found = stamps.find(archive);
        if (found == stamps.end())
            found = stamps.emplace(archive, FileStamp(archive)).first;
        return found->second;
    };
    m_season = DatedByContent(std::move(listed), [&](const TSeasonDay& day) {
        const auto found = stored.find(day.archive.filename().string());
        return found != stored.end() && stampOf(day.archive).SameStamp(found->second.archive)
                   ? found->second.date
                   : 0;
    });
    if (m_season.days.empty())
        throw NoReadableDay(m_folder, m_season.skipped);
    // the session only names the odds files here; it opens nothing
    const TDaySession session(m_settings);
    TSqliteStatement restamp(db, "UPDATE day SET archive_mtime = ?, odds_files = ? WHERE date = ?");
    for (const TSeasonDay& day : m_season.days) {
        auto found = stored.find(day.archive.filename().string());
        if (found == stored.end()) {
            m_toRead.push_back(day);
            continue;
        }
        if (found->second.date != day.date) {
            // the archive holds another day now: its old day goes before it is read again
            m_toDrop.push_back(found->second.date);
            stored.erase(found);
            m_toRead.push_back(day);
            continue;
        }
        const TStoredDay was = std::move(found->second);
        stored.erase(found);
        if (stampOf(day.archive).SameStamp(was.archive) &&
            sameOddsFiles(currentOddsFiles(session, day, false), was.odds, true)) {
            ++m_unchanged;
            continue;
        }
        // touched or copied, perhaps not changed: the contents decide
        const TFileFingerprint archive = HashedFingerprint(day.archive);
        const std::vector<TOddsStamp> odds = currentOddsFiles(session, day, true);
        if (archive.size != was.archive.size || archive.hash != was.archive.hash ||
            !sameOddsFiles(odds, was.odds, false)) {
            m_toRead.push_back(day);
            continue;
        }
        restamp.Bind(1, archive.mtime).Bind(2, oddsText(odds)).Bind(3, day.date).Run();
        ++m_unchanged;
    }
    for (const auto& [name, day] : stored) {
        m_toDrop.push_back(day.date);
        m_droppedNames.push_back(toCp932Lenient(name));
    }
}

TStoreUpdate TStoreUpdater::Run(const TOutputProgress& progress) {
    TStoreUpdate update;
    update.recomputed = m_recomputed;
    update.daysUnchanged = m_unchanged;
    update.dropped = m_droppedNames;
    update.skipped = m_season.skipped;
    update.duplicates = m_season.duplicates;
    TSqliteDatabase& db = m_store.Database();
    TDayRecorder recorder(db);
    for (int date : m_toDrop) {
        TSqliteTransaction transaction(db);
        recorder.DeleteDay(date);
        transaction.Commit();
    }
    if (m_toRead.empty())
        return update;
    TDaySession session(m_settings);
    session.FocusCreate();
    std::set<int> stored;
    {
        TSqliteStatement dates(db, "SELECT date FROM day");
        while (dates.Step())
            stored.insert(dates.Int(0));
    }
    const int total = DaysToRead();
    // the next days are read while this one is stored
    TReadAhead<TReadDay> reader(
        [this, &session](std::size_t d) { return readDay(session, m_toRead[d]); },
        static_cast<std::size_t>(total));
    for (int d = 0; d < total; ++d) {
        if (progress && !progress(d + 1, total, ProgressCountText(d + 1, total))) {
            update.cancelled = true;
            break;
        }
        const TReadDay read = reader.Next();
        const int date = read.day.date;
        if (read.unreadable) {
            update.unreadable.push_back({date, *read.unreadable});
            if (stored.contains(date)) {
                TSqliteTransaction transaction(db);
                recorder.DeleteDay(date);
                transaction.Commit();
            }
            continue;
        }
        TSqliteTransaction transaction(db);
        recorder.DeleteDay(date);
        bool hasOdds = false;
        for (const TStoreRace& race : read.races) {
            hasOdds = hasOdds || race.oddsSource.has_value();
            recorder.InsertRace(date, race);
        }
        recorder.InsertDay({date, read.day.archive.filename().string(), read.archive.size,
                            read.archive.mtime, read.archive.hash, read.oddsFiles, hasOdds});
        for (std::size_t i = 0; i < read.problems.size(); ++i)
            recorder.InsertNote(date, static_cast<int>(i), "problem",
                                toUtf8Lenient(read.problems[i]));
        if (!read.warning.empty())
            recorder.InsertNote(date, static_cast<int>(read.problems.size()), "warning",
                                toUtf8Lenient(read.warning));
        transaction.Commit();
        ++update.daysRead;
    }
    return update;
}
