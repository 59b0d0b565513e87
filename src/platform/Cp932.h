#pragma once

#include <string>
#include <string_view>
#include <vector>

// Conversion between the program's CP932 bytes and UTF-8, the encoding of source
// literals, the terminal and the file system. Only CP932 (not JIS-strict Shift_JIS)
// holds the circled digits at 0x8740 and maps 0x817C to the full-width hyphen-minus.

// Throws EConvertError when text is not valid UTF-8 or has no CP932 form.
std::string toCp932(std::string_view utf8);

// Like toCp932, but a character without a CP932 form becomes '?'; for messages.
std::string toCp932Lenient(std::string_view utf8);

// Throws EConvertError when text is not valid CP932.
std::string toUtf8(std::string_view cp932);

// Like toUtf8, but a byte that does not decode becomes U+FFFD; for messages.
std::string toUtf8Lenient(std::string_view cp932);

// True when text is valid UTF-8 (IsUtf8), or valid CP932 (IsCp932).
bool IsUtf8(std::string_view text);
bool IsCp932(std::string_view text);

// The CP932 form of a UTF-8 string literal, converted once and kept for the run.
const std::string& sjis(const char* utf8Literal);

// True for the first byte of a two-byte CP932 character.
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes read from a file, made fit to stand in a message: control bytes, and bytes that
// begin no CP932 character, are written as \xNN (a zero byte as \x00, which would
// otherwise end the message there); two-byte characters stay as they are.
std::string VisibleText(std::string_view bytes);

// Fixed-width cuts that never leave half of a two-byte character: a byte whose
// partner was cut away becomes a blank, so widths stay as asked and the text stays
// valid CP932. Character boundaries are found by scanning from the text's start.

// The first n bytes of text (all of it when shorter).
std::string LeftBytes(std::string_view text, std::size_t n);

// text without the count bytes from pos on.
std::string EraseBytes(std::string_view text, std::size_t pos, std::size_t count);

// Overwrites line from column on with text, without growing the line. The bytes of
// line around the overwritten range that are left as halves of a character, and a
// lead byte of text cut at the line's end, become blanks; an empty text changes nothing.
void OverwriteBytes(std::string& line, std::size_t column, std::string_view text);
