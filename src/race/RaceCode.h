// The code tables of the race data (venues, classes, conditions, marks ...) and field readers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A constant list of (code, name) pairs, CP932. All codes of a table have the same
// width, the table's key width; the first equal code wins.
struct TCodeEntry {
    std::string code;
    std::string name;
};

class TCodeTable {
public:
    // Converts the UTF-8 rows to CP932 once.
    explicit TCodeTable(std::initializer_list<std::pair<const char*, const char*>> rows);

    std::size_t KeyWidth() const { return m_rows.empty() ? 0 : m_rows.front().code.size(); }
    const std::vector<TCodeEntry>& Rows() const { return m_rows; }

private:
    std::vector<TCodeEntry> m_rows;
};

const TCodeTable& VenueTable();
const TCodeTable& ClassTable();
const TCodeTable& ConditionTable();
const TCodeTable& AgeConditionTable();
const TCodeTable& SurfaceTable();
const TCodeTable& GradeTable();
const TCodeTable& SexTable();
const TCodeTable& AllowanceTable();
const TCodeTable& MarkTable();

// The name of the code that the first KeyWidth bytes of field equal; empty when none.
std::string LookupCode(std::string_view field, const TCodeTable& table);

// The field's bytes as a decimal integer: leading blanks and a sign are accepted,
// nothing else. Throws EConvertError when the bytes are not a number.
int FieldToInt(std::string_view field);
// The same without the error, where a field that is not a number is common (odds
// fields, past runs): nothing when it is not a number.
std::optional<int> FieldToIntOrNothing(std::string_view field);

// The field's bytes unchanged.
std::string FieldToText(std::string_view field);

// The class name of a 5-byte class field; an unknown class shows its first 4 digits
// as a number followed by 万 (05000 -> 500万).
std::string ClassText(std::string_view field);
