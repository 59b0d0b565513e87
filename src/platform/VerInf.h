// TVerInf: the version record compiled into a program file.
#pragma once

#include <array>
#include <filesystem>
#include <string>

// The version record of a program file: ten named texts that the build compiles into
// the program (cmake: pelton_add_version_record), found by scanning the file's bytes.
//
// Record layout, as it stands in the file:
//   "RuvPeltonVersionRecord1:"  marker and layout number 1
//   5 decimal digits, ':'       payload length in bytes (at most 99999)
//   payload                     entries "Name=Value" each followed by a NUL byte; names
//                               from ValueNames, each at most once; values UTF-8
//   "RuvPeltonVersionRecordEnd" closing marker
// A marker that is not followed by a whole, well-formed record is skipped and the scan
// goes on, so the reader's own copy of the marker is never taken for a record.
class TVerInf {
public:
    static constexpr int kValueCount = 10;
    // Indexes of Value.
    static constexpr int kCompanyName = 0;
    static constexpr int kFileDescription = 1;
    static constexpr int kFileVersion = 2;
    static constexpr int kInternalName = 3;
    static constexpr int kLegalCopyright = 4;
    static constexpr int kLegalTradeMarks = 5;
    static constexpr int kOriginalFilename = 6;
    static constexpr int kProductName = 7;
    static constexpr int kProductVersion = 8;
    static constexpr int kComments = 9;
    static const std::array<const char*, kValueCount> ValueNames;

    // Reads the record of file. A file that is missing, unreadable, not a regular file or
    // without a record (within its first 1 GiB), or a record whose values have no CP932
    // form, leaves the reader invalid with every value empty. Never throws for the file's
    // content.
    explicit TVerInf(const std::filesystem::path& file);

    bool Valid() const { return m_valid; }
    // The value at index 0 to 9 as CP932 text; empty when the record lacks it or the
    // index is out of range.
    const std::string& Value(int index) const;

private:
    bool m_valid = false;
    std::array<std::string, kValueCount> m_values;
};
