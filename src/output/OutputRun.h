#pragma once

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
// run recreates it and every later race appends, whatever races stand between, so
// venues that interleave lose nothing and a second run rewrites instead of doubling.
class TOutputRun {
public:
    enum class File { Text, Html, Wars, Ruv, Csv };

    // True the first time the run meets key for that kind of file, whose path is then
    // added to the files of the run.
    bool Starts(File file, const std::string& key, const std::filesystem::path& path) {
        bool first = m_started.insert(std::to_string(static_cast<int>(file)) + ":" + key).second;
        if (first)
            m_files.push_back(path);
        return first;
    }

    // The files the run has started, in the order it started them.
    const std::vector<std::filesystem::path>& Files() const { return m_files; }

    // Per WARS contest file (keyed by its date): the file key of the last header block
    // written to it, so a venue change is judged against that file's own last venue.
    std::map<std::string, std::string> LastWarsKeys;

private:
    std::set<std::string> m_started;
    std::vector<std::filesystem::path> m_files;
};

// The date and the data's course code that name the report files: 10 characters.
std::string FileKey(const TRaceBase& race);
