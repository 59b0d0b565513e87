#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// Reading the files that come from outside the program.

// A regular file opened for reading, without waiting, so that a pipe or a device never
// holds the program up; closed when the object ends.
class TReadableFile {
public:
    explicit TReadableFile(const std::filesystem::path& file);
    ~TReadableFile();
    TReadableFile(const TReadableFile&) = delete;
    TReadableFile& operator=(const TReadableFile&) = delete;

    // -1 when the file could not be opened as a regular file.
    int Descriptor() const { return m_fd; }
    // Why it could not, in the user's words (CP932); empty when it was opened.
    const std::string& Failure() const { return m_failure; }
    bool Missing() const { return m_missing; }
    std::uintmax_t Size() const { return m_size; }

private:
    int m_fd = -1;
    std::string m_failure;
    bool m_missing = false;
    std::uintmax_t m_size = 0;
};

enum class TFileRead {
    Whole,  // a file larger than the limit is refused
    Prefix, // only its first bytes up to the limit are read
};

// The bytes of a regular file, at most maxBytes; nothing when it does not exist. Anything
// but a regular file, a file larger than maxBytes (with TFileRead::Whole) and a failed
// read throw EInOutError "入出力エラー(読み込み): FILE (reason)".
std::optional<std::string> ReadFileImage(const std::filesystem::path& file, std::uintmax_t maxBytes,
                                         TFileRead mode = TFileRead::Whole);
