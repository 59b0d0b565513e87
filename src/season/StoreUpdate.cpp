#include "season/StoreUpdate.h"

#include "analysis/Sem.h"
#include "platform/Cp932.h"
#include "platform/Folder.h"
#include "season/DayReader.h"
#include "season/DayRecorder.h"
#include "season/FileFingerprint.h"
#include "season/OddsStamps.h"
#include "season/SeasonStore.h"
#include "platform/Reasons.h"

#include <future>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

bool sameDay(const TSeasonDay& a, const TSeasonDay& b) {
    return a.archive == b.archive && a.date == b.date && a.notes == b.notes;
}

// Hashes a name held as a string or seen as a view alike, so that a view finds it.
struct TNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
        return std::hash<std::string_view>{}(name);
    }
};

} // namespace

struct TStoreUpdater::TStoredDay {
    int date = 0;
    TFileFingerprint archive;
    std::string oddsText;                  // the odds files' stamps as the store keeps them
    std::optional<TFileFingerprint> stamp; // the archive's size and time now, taken once
    bool listed = false;                   // an archive of the folder holds its day
};

TStoreUpdater::TStoreUpdater(TSeasonStore& store, const TSettings& settings, const fs::path& folder)
    : m_store(store), m_settings(settings), m_folder(folder) {
    plan();
}

TStoreUpdater::~TStoreUpdater() = default;

void TStoreUpdater::plan() {
    TSqliteDatabase& db = m_store.Database();
    // A time database that cannot be read ends the run here: it would be taken for another
    // one, and the store would forget every day before the first day failed.
    const TSem timeDatabase(m_settings.Folder.Time);
    m_recomputed = m_store.Adopt(StoreSourceOf(m_settings, m_folder));
    // the folder is listed while the store's days are read
    std::future<TSeasonFolder> listing = std::async(std::launch::async, SeasonDays, m_folder);
    std::unordered_map<std::string, TStoredDay, TNameHash, std::equal_to<>> stored;
    TSqliteStatement days(db, "SELECT date, archive, archive_size, archive_mtime, archive_hash, "
                              "odds_files FROM day");
    while (days.Step()) {
        stored[days.Text(1)] = {
            days.Int(0), {days.Int64(2), days.Int64(3), days.Text(4)}, days.Text(5), {}, false};
        m_storedDates.insert(days.Int(0));
    }
    TSeasonFolder listed = listing.get();
    if (listed.days.empty() && listed.skipped.empty())
        throw ELedgerError(pathText(m_folder) +
                           sjis("に開催日のデータ(rv + 年月日 + .lzh)がありません"));
    // Archives the store does not know are read at once, while the others are checked; Run
    // takes those the plan keeps.
    std::vector<TSeasonDay> unknown;
    for (const TSeasonDay& day : listed.days)
        if (!stored.contains(FileNameOf(day.archive)))
            unknown.push_back(day);
    if (!unknown.empty())
        m_early = std::make_unique<TDayReader>(m_settings, std::move(unknown), true);
    auto stampOf = [](const TSeasonDay& day, TStoredDay& was) -> const TFileFingerprint& {
        if (!was.stamp)
            was.stamp = FileStamp(day.archive.c_str());
        return *was.stamp;
    };
    m_season = DatedByContent(std::move(listed), [&](const TSeasonDay& day) {
        const auto found = stored.find(FileNameOf(day.archive));
        return found != stored.end() && stampOf(day, found->second).SameStamp(found->second.archive)
                   ? found->second.date
                   : 0;
    });
    if (m_season.days.empty())
        throw NoReadableDay(m_folder, m_season.skipped);
    TCaseBlindFolders folders;
    TSqliteStatement restamp(db, "UPDATE day SET archive_mtime = ?, odds_files = ? WHERE date = ?");
    for (const TSeasonDay& day : m_season.days) {
        const auto found = stored.find(FileNameOf(day.archive));
        if (found == stored.end()) {
            m_toRead.push_back(day);
            continue;
        }
        TStoredDay& was = found->second;
        was.listed = true;
        if (was.date != day.date) {
            // the archive holds another day now: its old day goes before it is read again
            m_toDrop.push_back(was.date);
            m_toRead.push_back(day);
            continue;
        }
        if (stampOf(day, was).SameStamp(was.archive) &&
            SameAsStored(CurrentOddsFiles(m_settings, day, folders, false), was.oddsText, false)) {
            ++m_unchanged;
            continue;
        }
        // touched or copied, perhaps not changed: the contents decide
        const TFileFingerprint archive = HashedFingerprint(day.archive);
        const std::vector<TOddsStamp> odds = CurrentOddsFiles(m_settings, day, folders, true);
        if (archive.size != was.archive.size || archive.hash != was.archive.hash ||
            !SameAsStored(odds, was.oddsText, true)) {
            m_toRead.push_back(day);
            continue;
        }
        restamp.Bind(1, archive.mtime).Bind(2, OddsText(odds)).Bind(3, day.date).Run();
        ++m_unchanged;
    }
    for (const auto& [name, day] : stored)
        if (!day.listed) {
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
    {
        // The first write of a run makes the log wait for the disk once; made now, it waits
        // while the first day is read, not when that day is committed.
        TSqliteTransaction transaction(db);
        recorder.MarkLedgerStale();
        transaction.Commit();
    }
    const int total = DaysToRead();
    // the plan's days not yet stored, by archive
    std::unordered_map<std::string, const TSeasonDay*> waiting;
    for (const TSeasonDay& day : m_toRead)
        waiting.emplace(day.archive.native(), &day);
    // Stores day i of reader, its races as they come; false: cancelled before it was stored.
    auto store = [&](TDayReader& reader, std::size_t i, int date, const TFileFingerprint& archive) {
        const int d = update.daysRead + static_cast<int>(update.unreadable.size());
        if (progress && !progress(d + 1, total, ProgressCountText(d + 1, total))) {
            update.cancelled = true;
            return false;
        }
        TSqliteTransaction transaction(db);
        recorder.DeleteDay(date);
        bool hasOdds = false;
        while (const std::optional<TStoreRace> race = reader.NextRace(i)) {
            hasOdds = hasOdds || race->oddsSource.has_value();
            recorder.InsertRace(date, *race);
        }
        const TReadDay read = reader.Next();
        if (read.unreadable) {
            update.unreadable.push_back({date, *read.unreadable});
            if (m_storedDates.contains(date))
                transaction.Commit(); // what the store held of the day goes
            return true;
        }
        recorder.InsertDay({date, std::string(FileNameOf(read.day.archive)), archive.size,
                            archive.mtime, archive.hash, read.oddsFiles, hasOdds});
        for (std::size_t n = 0; n < read.problems.size(); ++n)
            recorder.InsertNote(date, static_cast<int>(n), "problem",
                                toUtf8Lenient(read.problems[n]));
        if (!read.warning.empty())
            recorder.InsertNote(date, static_cast<int>(read.problems.size()), "warning",
                                toUtf8Lenient(read.warning));
        transaction.Commit();
        ++update.daysRead;
        return true;
    };
    // day i as its reader dated it, the archive hashed by then
    auto take = [](TDayReader& reader, std::size_t i) {
        const TFileFingerprint archive = reader.Archive(i);
        return std::pair(reader.Dated(i), archive);
    };
    // first the days read since the plan began, where the plan read them as the same day
    for (std::size_t i = 0; m_early && i < m_early->Count(); ++i) {
        const auto [dated, archive] = take(*m_early, i);
        const auto found = waiting.find(dated.archive.native());
        if (found == waiting.end() || !sameDay(*found->second, dated)) {
            m_early->Next();
            continue;
        }
        waiting.erase(found);
        if (!store(*m_early, i, dated.date, archive))
            return update;
    }
    m_early.reset();
    std::vector<TSeasonDay> rest;
    for (const TSeasonDay& day : m_toRead)
        if (waiting.contains(day.archive.native()))
            rest.push_back(day);
    if (rest.empty())
        return update;
    TDayReader reader(m_settings, std::move(rest), false);
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        const auto [dated, archive] = take(reader, i);
        if (!store(reader, i, dated.date, archive))
            break;
    }
    return update;
}
