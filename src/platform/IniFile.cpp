#include "platform/IniFile.h"

#include "platform/Cp932.h"
#include "platform/FileImage.h"
#include "platform/FileReplace.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares ignoring ASCII case; the second byte of a two-byte character is compared
// as it is, since it may fall in the range of the ASCII letters.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a section line: the text between '[' and the last ']' (or the line's
// end), trimmed. Bytes of two-byte characters are skipped, since ']' is also a valid
// second byte.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    std::size_t end = line.size();
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(line[i])))
            ++i;
        else if (line[i] == ']')
            end = i;
    }
    return trim(line.substr(1, end - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    std::string_view text = trim(line);
    if (text.empty() || text.front() == ';' || text.front() == '[')
        return std::nullopt;
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trim(text.substr(0, eq)), trim(text.substr(eq + 1))};
}

// Where a key stands or would go. Indexes are line numbers; npos when absent.
struct Place {
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t header = npos;      // the first section of the name
    std::size_t lastContent = npos; // its last non-blank line (the header at least)
    std::size_t key = npos;         // the first key of the name in it
};

Place locate(const Lines& lines, std::string_view section, std::string_view key) {
    Place place;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (std::optional<std::string_view> name = sectionName(lines[i])) {
            if (inside)
                break;
            if (sameName(*name, section)) {
                inside = true;
                place.header = place.lastContent = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trim(lines[i]).empty())
            place.lastContent = i;
        if (place.key == Place::npos) {
            std::optional<KeyLine> k = keyLine(lines[i]);
            if (k && sameName(k->key, key))
                place.key = i;
        }
    }
    return place;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines of a text whose lines end in CR LF, LF or CR.
Lines splitLines(std::string_view text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

// The lines of a settings file as CP932. A file that an editor saved as UTF-8 (it begins
// with a byte-order mark, or it is valid UTF-8 and not valid CP932) has each line that is
// valid UTF-8 converted; so has, in any file, a line that is valid UTF-8 and not valid
// CP932. A character without a CP932 form becomes '?'. Lines already CP932 are kept, so
// reading again what was written changes nothing.
Lines cp932Lines(std::string_view text) {
    const bool bom = text.starts_with(kByteOrderMark);
    if (bom)
        text.remove_prefix(kByteOrderMark.size());
    const bool utf8File = bom || (IsUtf8(text) && !IsCp932(text));
    Lines lines = splitLines(text);
    for (std::string& line : lines)
        if (IsUtf8(line) && (utf8File || !IsCp932(line)))
            line = toCp932Lenient(line);
    return lines;
}

} // namespace

TIniDocument::TIniDocument(std::string_view text) : m_lines(cp932Lines(text)) {}

TIniDocument TIniDocument::Read(const fs::path& file) {
    std::optional<std::string> text = ReadFileImage(file, kMaxIniFileSize);
    return text ? TIniDocument(*text) : TIniDocument();
}

std::optional<std::string> TIniDocument::Find(std::string_view section,
                                              std::string_view key) const {
    Place place = locate(m_lines, section, key);
    if (place.key == Place::npos)
        return std::nullopt;
    std::string_view value = keyLine(m_lines[place.key])->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

namespace {

bool hasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void checkNames(std::string_view section, std::string_view key, std::string_view value) {
    auto refuse = [](const std::string& what) {
        throw std::invalid_argument("profile string not stored: " + what);
    };
    if (section.empty() || trim(section) != section || hasLineBreak(section) ||
        section.find(']') != std::string_view::npos)
        refuse("section \"" + std::string(section) + "\"");
    if (key.empty() || trim(key) != key || hasLineBreak(key) ||
        key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[')
        refuse("key \"" + std::string(key) + "\"");
    if (hasLineBreak(value))
        refuse("value of key \"" + std::string(key) + "\" has a line break");
}

std::string storedValue(std::string_view value) {
    bool needsQuotes =
        !value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                           (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                            value.back() == value.front()));
    if (!needsQuotes)
        return std::string(value);
    std::string quoted(1, '"');
    quoted.append(value).push_back('"');
    return quoted;
}

// The file a write replaces: the target of a symbolic link, else the path itself.
fs::path writeTarget(const fs::path& file) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        fs::path target = fs::canonical(file, error);
        if (!error)
            return target;
    }
    return file;
}

std::optional<int> leadingDigits(std::string_view text, bool strict, bool dollarHex) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (dollarHex && i < text.size() && text[i] == '$') {
        base = 16;
        i += 1;
    }
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        char c = text[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        value = value * base + d;
        if (strict && (base == 16 ? digits >= 8 : value > 0x80000000u))
            return std::nullopt;
        value &= 0xFFFFFFFFu;
    }
    if (strict && (digits == 0 || i != text.size()))
        return std::nullopt;
    if (strict && base == 10 && !negative && value > 0x7FFFFFFFu)
        return std::nullopt;
    if (digits == 0)
        return 0;
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<int>(bits);
}

} // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const fs::path& file) {
    std::optional<std::string> value = FindProfileString(section, key, file);
    return value ? *value : std::string(defaultValue);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const fs::path& file) {
    std::optional<std::string> value = FindProfileString(section, key, file);
    if (!value || value->empty())
        return defaultValue;
    return *leadingDigits(*value, false, false);
}

std::optional<int> ProfileTextToInteger(std::string_view text) {
    return leadingDigits(text, true, true);
}

int ReadProfileInteger(std::string_view section, std::string_view key, int defaultValue,
                       const fs::path& file) {
    std::optional<std::string> value = FindProfileString(section, key, file);
    if (!value)
        return defaultValue;
    return ProfileTextToInteger(*value).value_or(defaultValue);
}

std::optional<std::string> FindProfileString(std::string_view section, std::string_view key,
                                             const fs::path& file) {
    return TIniDocument::Read(file).Find(section, key);
}

void WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const fs::path& file) {
    checkNames(section, key, value);
    TIniDocument ini = TIniDocument::Read(writeTarget(file));
    ini.Set(section, key, value);
    ini.Write(file);
}

void TIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    checkNames(section, key, value);
    Lines& lines = m_lines;
    Place place = locate(lines, section, key);
    if (place.key != Place::npos) {
        std::string& old = lines[place.key];
        std::string line = old.substr(0, old.find_first_not_of(" \t"));
        line.append(keyLine(old)->key).append("=").append(storedValue(value));
        old = std::move(line);
    } else {
        std::string line(key);
        line.append("=").append(storedValue(value));
        if (place.header != Place::npos) {
            auto at = lines.begin() + static_cast<std::ptrdiff_t>(place.lastContent) + 1;
            lines.insert(at, std::move(line));
        } else {
            std::string header("[");
            header.append(section).append("]");
            lines.push_back(std::move(header));
            lines.push_back(std::move(line));
        }
    }
}

std::string TIniDocument::Text() const {
    std::string text;
    for (const std::string& l : m_lines)
        text.append(l).append("\r\n");
    return text;
}

void TIniDocument::Write(const fs::path& file) const {
    ReplaceFile(writeTarget(file), Text());
}
