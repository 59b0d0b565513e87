#include "season/SeasonStore.h"

#include "platform/Cp932.h"
#include "platform/Format.h"
#include "season/FileFingerprint.h"
#include "season/StoreSchema.h"
#include "session/ProgramFiles.h"
#include "session/Settings.h"
#include "platform/Reasons.h"

#include <ctime>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string absoluteText(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal().string();
}

// NAME.broken-YYYYMMDD-HHMMSS in local time.
fs::path brokenName(const fs::path& file) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return file.string() + ".broken-" + stamp;
}

} // namespace

TStoreSource StoreSourceOf(const TSettings& settings, const fs::path& folder) {
    TStoreSource source;
    source.seasonFolder = absoluteText(folder);
    const fs::path time = fs::path(settings.Folder.Time) / "time.dbx";
    source.timeDatabase = absoluteText(time);
    source.timeHash = HashedFingerprint(time).hash;
    if (settings.Other.DrnRx)
        source.oddsSource += "RX " + absoluteText(settings.Folder.DrnRx) + " ";
    if (settings.Other.Jrdb)
        source.oddsSource += "JRDB " + absoluteText(settings.Folder.Jrdb) + " ";
    source.oddsSource += "RUV";
    return source;
}

fs::path DefaultStoreFile(const TUserFolders& user, const TStoreSource& source) {
    const std::string key =
        source.seasonFolder + '\0' + source.timeDatabase + '\0' + source.oddsSource;
    return user.ProgramCache() /
           Format("season-%.16llx.sqlite", static_cast<unsigned long long>(ContentHash(key)));
}

TSeasonStore::TSeasonStore(const fs::path& file, int busyMilliseconds)
    : m_file(file), m_busyMilliseconds(busyMilliseconds) {
    std::error_code error;
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), error);
    try {
        open();
    } catch (const EStoreSchemaError& e) {
        SetAside(e.what());
    } catch (const ESqliteError& e) {
        if (!e.IsDamage())
            throw;
        SetAside(e.what());
    }
}

void TSeasonStore::open() {
    m_db.reset();
    m_db = std::make_unique<TSqliteDatabase>(m_file, m_busyMilliseconds);
    // The log keeps each day's transaction apart from the file until it is whole: a run
    // killed at any moment leaves the days committed before, and readers never wait for
    // the writer. A power cut may lose the last days, never the file: they are read again.
    // The log is copied into the file every 40 MB (10,000 pages), so that a build from
    // nothing copies and syncs it a few times, not every few days.
    m_db->Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; "
                  "PRAGMA cache_size = -32768; PRAGMA wal_autocheckpoint = 10000");
    if (!HasStoreSchema(*m_db))
        CreateStoreSchema(*m_db);
}

void TSeasonStore::SetAside(const std::string& reason) {
    m_db.reset();
    const fs::path aside = brokenName(m_file);
    std::error_code error;
    fs::rename(m_file, aside, error);
    if (error)
        throw ESqliteError(toCp932Lenient(m_file.string()) + sjis("を退避できません: ") +
                               SystemReason(error.value()),
                           0);
    // the log belongs to the file it was written for
    fs::rename(m_file.string() + "-wal", aside.string() + "-wal", error);
    fs::remove(m_file.string() + "-shm", error);
    m_setAside = toCp932Lenient(m_file.string()) + sjis(" は壊れているため ") +
                 toCp932Lenient(aside.filename().string()) + sjis(" に退避して作り直しました(") +
                 reason + ")";
    open();
}

bool TSeasonStore::Adopt(const TStoreSource& source) {
    TSqliteStatement stored(*m_db, "SELECT season_folder, time_database, time_hash, odds_source "
                                   "FROM source");
    bool hadDays = false;
    if (stored.Step()) {
        const TStoreSource was{stored.Text(0), stored.Text(1), stored.Text(2), stored.Text(3)};
        if (was == source)
            return false;
        TSqliteStatement days(*m_db, "SELECT count(*) FROM day");
        hadDays = days.Step() && days.Int(0) > 0;
    }
    stored.Reset();
    TSqliteTransaction transaction(*m_db);
    m_db->Execute("DELETE FROM ledger; DELETE FROM bet; DELETE FROM runner; DELETE FROM race; "
                  "DELETE FROM day_note; DELETE FROM day; DELETE FROM source");
    TSqliteStatement insert(*m_db, "INSERT INTO source VALUES (1, ?, ?, ?, ?, 0)");
    insert.Bind(1, source.seasonFolder)
        .Bind(2, source.timeDatabase)
        .Bind(3, source.timeHash)
        .Bind(4, source.oddsSource)
        .Run();
    transaction.Commit();
    return hadDays;
}
