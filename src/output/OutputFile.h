#pragma once

#include "platform/Errors.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// One output file opened for writing; every operation is checked and a failure throws
// EInOutError naming the operation and the file. Lines end with CR LF.
class TOutputFile {
public:
    enum class Mode { Recreate, Append };

    // Recreate empties the file (creating it when missing); Append needs it to exist.
    // Messages name shownAs: the file that file stands for (file itself when empty).
    TOutputFile(const std::filesystem::path& file, Mode mode,
                const std::filesystem::path& shownAs = {});
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    void Write(std::string_view bytes);
    void WriteLine(std::string_view bytes);
    void Close();

private:
    [[noreturn]] void fail(const char* operation) const;

    std::filesystem::path m_file;
    std::filesystem::path m_shownAs;
    std::FILE* m_stream = nullptr;
};

// Cuts the last count bytes off a file; throws EInOutError naming shownAs when it cannot.
void TruncateTail(const std::filesystem::path& file, std::uintmax_t count,
                  const std::filesystem::path& shownAs);

// The file's last count bytes (fewer when it is shorter); empty when it cannot be read.
std::string ReadTail(const std::filesystem::path& file, std::uintmax_t count);
