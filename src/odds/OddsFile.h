// TOddsFile: a day's odds archive, the interface of the RUV and JRDB odds readers.
#pragma once

#include "odds/Odds.h"

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class EOddsFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EOddsFileOpenError : public EOddsFileError {
public:
    using EOddsFileError::EOddsFileError;
};

// A day's odds file reader over an LZH archive, or over its files already in memory.
// Members extracted into the work folder when the reader is made are deleted when it
// ends.
class TOddsFile {
public:
    virtual ~TOddsFile();
    TOddsFile(const TOddsFile&) = delete;
    TOddsFile& operator=(const TOddsFile&) = delete;

    // The work folder; empty for a reader over files in memory.
    const std::string& Folder() const { return m_folder; }

    // Clears odds and fills it with the race's odds; false when the race is not in the
    // file (odds stay cleared). raceKey is RaceKey, jrdbRaceKey JrdbRaceKey of the race
    // data; each reader uses one of them. Errors of the data (a runner count that is not
    // a number or out of range) end the read with their exception.
    virtual bool Read(TOdds& odds, const std::string& raceKey, const std::string& jrdbRaceKey) = 0;

protected:
    // folder: the work folder; a trailing separator is appended when missing.
    explicit TOddsFile(const std::string& folder);
    TOddsFile() = default;

    // Extracts the members from archive into the folder, then loads them in order.
    // Throws EOddsFileOpenError "<member>がオープンできません" and the archiver's reasons
    // for the first member that cannot be loaded; the members extracted are then
    // deleted again.
    std::vector<std::string> extractAndLoad(const std::string& archive,
                                            const std::vector<std::string>& members);

private:
    // Never throws; a file that cannot be deleted stays.
    void deleteExtracted(const std::vector<std::string>& members) const noexcept;

    std::string m_folder;
    std::vector<std::string> m_extracted;
};

// A file of fixed-size records in memory with a read position that persists between
// searches, so a day's races read in file order cost one pass over the file.
class TOddsRecords {
public:
    TOddsRecords() = default;
    TOddsRecords(std::string image, std::size_t recordSize)
        : m_image(std::move(image)), m_recordSize(recordSize) {}

    // The first whole record from the read position on that matches; when the end of
    // the file (or a short record) comes first, the search starts once more from the
    // beginning. A record found leaves the position just behind it.
    template <typename Match> std::optional<std::string_view> find(Match matches) {
        const bool fromStart = m_position == 0;
        if (auto found = scan(matches))
            return found;
        m_position = 0;
        return fromStart ? std::nullopt : scan(matches);
    }

private:
    template <typename Match> std::optional<std::string_view> scan(Match matches) {
        const std::string_view image(m_image);
        while (m_recordSize > 0 && m_position + m_recordSize <= image.size()) {
            std::string_view record = image.substr(m_position, m_recordSize);
            m_position += m_recordSize;
            if (matches(record))
                return record;
        }
        return std::nullopt;
    }

    std::string m_image;
    std::size_t m_recordSize = 0;
    std::size_t m_position = 0; // bytes
};
