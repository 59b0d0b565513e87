#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

// A season folder that cannot be read, holds no day archive, or none that can be read
// (CP932 message).
class ELedgerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One day archive of a season folder: rv + YYMMDD + .lzh.
struct TSeasonDay {
    std::filesystem::path archive;
    int date = 0; // YYYYMMDD; a two-digit year below 50 is of the 2000s
};

// The day archives of folder in date order. Throws ELedgerError when the folder cannot be
// read or holds none.
std::vector<TSeasonDay> SeasonDays(const std::filesystem::path& folder);

// The date YYYYMMDD of a YYMMDD text, as archive names and the range options give it;
// 0 when the text is not six digits.
int SeasonDate(const std::string& yymmdd);

// The day code YYMMDD of a date YYYYMMDD.
std::string DayCodeOfDate(int date);
