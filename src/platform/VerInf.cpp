// TVerInf: the version record compiled into a program file.
#include "platform/VerInf.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string_view>

namespace fs = std::filesystem;

const std::array<const char*, TVerInf::kValueCount> TVerInf::ValueNames = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTradeMarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};

namespace {

using Values = std::array<std::string, TVerInf::kValueCount>;

constexpr std::string_view kHeader = "RuvPeltonVersionRecord1:";
constexpr std::size_t kLengthDigits = 5;
constexpr std::string_view kTrailer = "RuvPeltonVersionRecordEnd";
constexpr std::size_t kMaxRecord = kHeader.size() + kLengthDigits + 1 + 99999 + kTrailer.size();
constexpr std::size_t kChunk = 1 << 20;
constexpr std::uint64_t kMaxScan = std::uint64_t{1} << 30;

std::optional<Values> parseEntries(std::string_view payload) {
    Values values;
    std::array<bool, TVerInf::kValueCount> seen{};
    while (!payload.empty()) {
        std::size_t end = payload.find('\0');
        if (end == std::string_view::npos)
            return std::nullopt;
        std::string_view entry = payload.substr(0, end);
        payload.remove_prefix(end + 1);
        std::size_t eq = entry.find('=');
        if (eq == std::string_view::npos)
            return std::nullopt;
        std::string_view name = entry.substr(0, eq);
        int index = 0;
        while (index < TVerInf::kValueCount && name != TVerInf::ValueNames[index])
            ++index;
        if (index == TVerInf::kValueCount || seen[index])
            return std::nullopt;
        seen[index] = true;
        try {
            values[index] = toCp932(entry.substr(eq + 1));
        } catch (const EConvertError&) {
            return std::nullopt;
        }
    }
    return values;
}

// The values of the record that begins at the start of bytes, if it is whole and sound.
std::optional<Values> parseRecord(std::string_view bytes) {
    bytes.remove_prefix(kHeader.size());
    if (bytes.size() < kLengthDigits + 1 || bytes[kLengthDigits] != ':')
        return std::nullopt;
    std::size_t length = 0;
    for (std::size_t i = 0; i < kLengthDigits; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9')
            return std::nullopt;
        length = length * 10 + static_cast<std::size_t>(bytes[i] - '0');
    }
    bytes.remove_prefix(kLengthDigits + 1);
    if (bytes.size() < length + kTrailer.size() ||
        bytes.substr(length, kTrailer.size()) != kTrailer)
        return std::nullopt;
    return parseEntries(bytes.substr(0, length));
}

class Scanner {
public:
    explicit Scanner(std::istream& in) : m_in(in) {}

    std::optional<Values> find() {
        fill();
        std::size_t from = 0;
        for (;;) {
            std::size_t hit = m_window.find(kHeader, from);
            if (hit == std::string::npos) {
                if (m_end)
                    return std::nullopt;
                // keep a tail that may hold the start of a marker cut by the chunk's end
                m_window.erase(0, m_window.size() - std::min(m_window.size(), kHeader.size() - 1));
                from = 0;
                fill();
                continue;
            }
            if (m_window.size() - hit < kMaxRecord && !m_end) {
                m_window.erase(0, hit);
                from = 0;
                fill();
                continue;
            }
            if (std::optional<Values> values = parseRecord(std::string_view(m_window).substr(hit)))
                return values;
            from = hit + 1;
        }
    }

private:
    // Appends the next chunk; at the file's end, or after kMaxScan bytes, marks the end.
    void fill() {
        if (m_end)
            return;
        std::size_t old = m_window.size();
        m_window.resize(old + kChunk);
        m_in.read(m_window.data() + old, kChunk);
        std::size_t got = static_cast<std::size_t>(m_in.gcount());
        m_window.resize(old + got);
        m_scanned += got;
        if (got < kChunk || m_scanned >= kMaxScan)
            m_end = true;
    }

    std::istream& m_in;
    std::string m_window;
    std::uint64_t m_scanned = 0;
    bool m_end = false;
};

} // namespace

TVerInf::TVerInf(const fs::path& file) {
    std::error_code error;
    // only regular files: a pipe or a device could block or never end
    if (!fs::is_regular_file(fs::status(file, error)))
        return;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return;
    if (std::optional<Values> values = Scanner(in).find()) {
        m_values = std::move(*values);
        m_valid = true;
    }
}

const std::string& TVerInf::Value(int index) const {
    static const std::string empty;
    return index >= 0 && index < kValueCount ? m_values[static_cast<std::size_t>(index)] : empty;
}
