#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Profile strings in INI files, one key at a time, as the Windows profile functions
// keep them.
//
// A file is CP932 text: "[Section]" lines, "Key=Value" lines, and anything else
// (comments beginning with ';', blank lines, lines without '='), which is kept as it
// stands. A file saved as UTF-8 (with a byte-order mark, or valid UTF-8 that is not
// valid CP932) is read as UTF-8; a written file is always CP932. Section and key names are compared
// ignoring ASCII case; the first section of a name and the first key of a name within it win, later
// ones are never read or changed. Lines before the first section belong to none. Blanks and tabs
// around names and values do not count. Lines may end in CR LF, LF or CR; a written file always has
// CR LF.
//
// A missing file reads as empty. A file that exists but is not a regular file of at
// most kMaxIniFileSize bytes, or cannot be read, or a write that cannot be completed,
// throws EInOutError naming the operation and the file.

// A settings file is a few kilobytes; anything larger is not one.
constexpr std::uintmax_t kMaxIniFileSize = 1u << 20;

// The lines of an INI file in memory: read once, any number of keys read and set, then
// written once.
class TIniDocument {
public:
    TIniDocument() = default;
    // The lines of text as CP932; CR LF, LF and CR end a line.
    explicit TIniDocument(std::string_view text);
    // The file's document; empty when the file does not exist.
    static TIniDocument Read(const std::filesystem::path& file);

    // As FindProfileString.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // As WritePrivateProfileString, in memory.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Every line ended by CR LF.
    std::string Text() const;
    // Replaces file with Text() atomically, as WritePrivateProfileString does: one
    // temporary file, one sync, one rename.
    void Write(const std::filesystem::path& file) const;

private:
    std::vector<std::string> m_lines;
};

// The value of key in section, blanks around it removed and one pair of enclosing
// quotes ('...' or "...") taken off; defaultValue when the file, the section or the key
// is missing. (GetPrivateProfileString)
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue,
                                    const std::filesystem::path& file);

// The value as GetPrivateProfileString gives it; nothing when the file, the section or
// the key is missing, so that an empty value can be told from a missing one.
std::optional<std::string> FindProfileString(std::string_view section, std::string_view key,
                                             const std::filesystem::path& file);

// The value read as Windows reads a profile integer: defaultValue when the key is
// missing or its value empty; otherwise the leading integer of the value (an optional
// sign, then decimal digits, or hexadecimal digits after "0x"), 0 when it begins with
// no digit. Trailing text is ignored and the value wraps to 32 bits. (GetPrivateProfileInt)
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& file);

// The value read by the program's own integer rule, which the settings use: the whole
// value must be an integer, decimal or hexadecimal after "0x", "0X" or "$" (with an
// optional sign), else defaultValue. Decimal values must fit in 32 bits; hexadecimal ones
// may have up to 8 digits and are taken as 32-bit patterns ("$FFFFFFFF" is -1).
int ReadProfileInteger(std::string_view section, std::string_view key, int defaultValue,
                       const std::filesystem::path& file);

// The integer rule of ReadProfileInteger on a text; nothing when it is not an integer.
std::optional<int> ProfileTextToInteger(std::string_view text);

// Sets key in section to value. The key's line is rewritten in place (keeping the
// file's spelling of the key); a new key goes after the last non-blank line of its
// section, a new section with its key at the end of the file. Every other line is kept
// byte for byte. A value with blanks at either end, or one that is itself enclosed in
// quotes, is written in double quotes so that it reads back unchanged.
//
// The file is replaced atomically: the new text is written to a temporary file in the
// same folder, flushed and renamed over it, so a failure leaves the old file whole and
// no temporary file behind. A symbolic link is followed and the file it names replaced.
//
// Throws std::invalid_argument when section, key or value cannot be stored on one line
// (a line break anywhere, an empty name, '=' in a key, ']' in a section, a name with
// blanks at either end or a key beginning with ';' or '['). (WritePrivateProfileString)
void WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file);
