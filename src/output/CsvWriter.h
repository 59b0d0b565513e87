#pragma once

#include <string>
#include <string_view>
#include <vector>

// CSV files as spreadsheet programs read them: UTF-8 with a byte-order mark (so that the
// system's code page is not assumed), CR LF line ends, and a field quoted, its quotes
// doubled, when it holds a comma, a quote or a line break.
//
// Cells are texts or numbers. A text that begins with = + - @, a tab or a CR is taken
// by spreadsheets for a formula, so it gets a leading apostrophe (the program's own
// "+120" figure cells included); a number cell, formed by the program, is written as it
// is, a minus sign and all.
class TCsvRow {
public:
    TCsvRow& Text(std::string_view utf8);
    TCsvRow& Number(long long value);
    // A number the program formatted itself ("1.5"); empty when there is none.
    TCsvRow& Number(std::string_view formatted);
    // The row with its line end.
    std::string Line() const { return m_line + "\r\n"; }
    // The cells as they were given, for a table that is not a spreadsheet's.
    const std::vector<std::string>& Values() const { return m_values; }

private:
    void field(std::string_view text);

    std::string m_line;
    std::vector<std::string> m_values;
};

// The start of a CSV file: the byte-order mark and the heading row.
std::string CsvStart(const std::vector<std::string_view>& headings);
