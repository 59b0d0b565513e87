#pragma once

#include "output/OutputFile.h"
#include "platform/FileReplace.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

class TRaceBase;
class TFocus;
class TOdds;

// What the writers read for the current race: the race (selected), its prediction
// (computed), its odds (read, or cleared) and the output settings.
struct TOutputContext {
    const TRaceBase& race;
    const TFocus& focus;
    const TOdds& odds;
    std::filesystem::path folder; // the output folder
    std::uint8_t warsFormat;
    std::uint8_t ruvFormat;
};

// The files one run of an output command has started. The first race of a file in a
// run begins it afresh and every later race appends, whatever races stand between, so
// venues that interleave lose nothing and a second run rewrites instead of doubling.
//
// A run writes each of its files to a temporary file beside it and puts them all in
// place with Commit, once its last race is written (or the run was cancelled): until
// then every file holds what it held before the command, and a run that fails (a full
// disk, a damaged race) leaves every file as it was.
class TOutputRun {
public:
    enum class File { Text, Html, Wars, Ruv, Csv };

    TOutputRun() = default;
    TOutputRun(const TOutputRun&) = delete;
    TOutputRun& operator=(const TOutputRun&) = delete;

    // True the first time the run meets key for that kind of file, whose path is then
    // added to the files of the run and gets its temporary file. Throws EInOutError
    // naming path when that file cannot be made.
    bool Starts(File file, const std::string& key, const std::filesystem::path& path);
    // Where the run writes path: its temporary file.
    const std::filesystem::path& WorkingFile(const std::filesystem::path& path) const;
    // The run's file for path, opened to be written afresh when starts (the first race of
    // its key), else to append; its messages name path.
    TOutputFile Open(const std::filesystem::path& path, bool starts) const;
    // Syncs every file of the run, the slow part of putting them in place.
    void Sync() { m_files.Sync(); }
    // Puts every file in place, in the order the run started them (TFileSet::Commit):
    // a file that is replaced keeps its mode. A run that is not committed leaves every
    // file as it was.
    void Commit() { m_files.Commit(); }

    // The files the run has started, in the order it started them.
    const std::vector<std::filesystem::path>& Files() const { return m_files.Files(); }

    // Per WARS contest file (keyed by its date): the file key of the last header block
    // written to it, so a venue change is judged against that file's own last venue.
    std::map<std::string, std::string> LastWarsKeys;

private:
    std::set<std::string> m_started;
    TFileSet m_files;
};

// The date and the data's course code that name the report files: 10 characters.
std::string FileKey(const TRaceBase& race);
