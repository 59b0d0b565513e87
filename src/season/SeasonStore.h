#pragma once

#include "season/Sqlite.h"

#include <filesystem>
#include <memory>
#include <string>

struct TSettings;
struct TUserFolders;

// What the races of a store were read with: the season folder, the time database and the
// odds sources switched on. A store holds the days of one of each; when they change, every
// day is read again.
struct TStoreSource {
    std::string seasonFolder; // absolute, UTF-8
    std::string timeDatabase; // the path of time.dbx, UTF-8
    std::string timeHash;     // of its content; empty when it cannot be read
    std::string oddsSource;   // the switches and folders: "RX /rx/ JRDB /jrdb/ RUV"

    bool operator==(const TStoreSource&) const = default;
};

TStoreSource StoreSourceOf(const TSettings& settings, const std::filesystem::path& folder);

// The default store of a source: a cache file of its own in the user's cache folder, named
// after a hash of the season folder, the time database's path and the odds sources, so
// that each combination keeps its days.
std::filesystem::path DefaultStoreFile(const TUserFolders& user, const TStoreSource& source);

// The season store: one SQLite file (StoreSchema.h) in write-ahead-log mode, opened for
// a run. A file that is not a store of this schema is set aside as
// NAME.broken-YYYYMMDD-HHMMSS (with its log) and a new store is made in its place.
class TSeasonStore {
public:
    static constexpr int kBusyMilliseconds = 10000;

    // Opens file, making it and its folder when missing. Throws ESqliteError when the file
    // cannot be made, or is in use by another program for longer than busyMilliseconds.
    explicit TSeasonStore(const std::filesystem::path& file,
                          int busyMilliseconds = kBusyMilliseconds);

    const std::filesystem::path& File() const { return m_file; }
    TSqliteDatabase& Database() { return *m_db; }
    // What was set aside and why (CP932); empty when the file was a store.
    const std::string& SetAsideNote() const { return m_setAside; }

    // Sets the file aside as damaged (reason, CP932) and makes a new store in its place.
    void SetAside(const std::string& reason);

    // Makes the store one of source: when it held another, every day is removed first.
    // True when days were removed that way.
    bool Adopt(const TStoreSource& source);

private:
    void open();

    std::filesystem::path m_file;
    int m_busyMilliseconds;
    std::unique_ptr<TSqliteDatabase> m_db;
    std::string m_setAside;
};
