#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Files and texts as the tests read them. Files are written with WriteBinaryFile of the
// sample-day writer.

// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

// The file's lines without their CR LF; a last line without CR LF is kept as it is and
// flagged by a final "<no CR LF>" entry.
std::vector<std::string> SplitLines(const std::string& bytes);

// CP932 of a UTF-8 text, for expected lines.
std::string J(const std::string& utf8);

// The records of a CSV text as the CSV rules read it: records end at CR LF, fields at
// commas; a quoted field may hold commas, doubled quotes and line breaks. Throws
// std::runtime_error where those rules cannot read the text (a quote inside an unquoted
// field, text after a closing quote, a quote left open, a record without CR LF).
std::vector<std::vector<std::string>> ReadCsv(const std::string& text);
