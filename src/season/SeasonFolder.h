#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A season folder that cannot be read, holds no day archive, or none that can be read
// (CP932 message).
class ELedgerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One day archive of a season folder: rv + YYMMDD + .lzh, in either case (RV010106.LZH as
// copied from Windows).
struct TSeasonDay {
    std::filesystem::path archive;
    int date = 0;                   // YYYYMMDD: the name's, or the content's once read
    std::vector<std::string> notes; // what is wrong with it, to be said with its day (CP932)
};

// The day archives of a season folder in date order, with the entries left out and why.
struct TSeasonFolder {
    std::vector<TSeasonDay> days;
    // entries that are named as day archives but are none, or cannot be read (CP932)
    std::vector<std::string> skipped;
    // day archives counted once for a date that another archive already holds (CP932)
    std::vector<std::string> duplicates;
};

// The date YYYYMMDD of a YYMMDD text, as archive names and the range options give it;
// 0 when the text is not six digits. A two-digit year below 50 is of the 2000s.
int SeasonDate(const std::string& yymmdd);

// The entries of folder named as day archives, by their names' dates: regular files (or
// links to them) are days; a folder, a FIFO or another special file, a dangling link and a
// link loop are skipped, each with why. Throws ELedgerError when the folder cannot be read.
TSeasonFolder SeasonDays(const std::filesystem::path& folder);

// "FOLDERに読める開催日のデータがありません", then each archive left out and why, a line each.
ELedgerError NoReadableDay(const std::filesystem::path& folder,
                           const std::vector<std::string>& problems);

// The date YYYY-MM-DD of a date YYYYMMDD.
std::string DateText(int date);

// The day code YYMMDD of a date YYYYMMDD.
std::string DayCodeOfDate(int date);

// Gives day the date inside its archive (content; 0: it has none, and the name's stands),
// with a note when its name says another. True when the name agrees.
bool TakeContentDate(TSeasonDay& day, int content);

// The date inside a day archive when it is known without reading it (0 when it is not).
using TKnownDate = std::function<int(const TSeasonDay&)>;

// The days keyed by the date inside each archive (known, or read by DayArchiveDate): a name whose
// date differs from its content's gets a note, a date held by two archives is counted once (the
// archive whose name agrees, else the first by name) and the other is named among the duplicates,
// and an archive without a race file is skipped with the archiver's reason. The days come in date
// order.
TSeasonFolder DatedByContent(TSeasonFolder folder, const TKnownDate& known = {});
