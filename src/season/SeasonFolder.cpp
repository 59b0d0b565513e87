#include "season/SeasonFolder.h"

#include "platform/Cp932.h"
#include "platform/Format.h"

#include <algorithm>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kDateDigits = 6;
constexpr std::string_view kArchivePrefix = "rv";
constexpr std::string_view kArchiveSuffix = ".lzh";

bool isDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

// The date of a day archive's name; 0 for any other file.
int archiveDate(const std::string& name) {
    if (name.size() != kArchivePrefix.size() + kDateDigits + kArchiveSuffix.size() ||
        !name.starts_with(kArchivePrefix) || !name.ends_with(kArchiveSuffix))
        return 0;
    return SeasonDate(name.substr(kArchivePrefix.size(), kDateDigits));
}

} // namespace

int SeasonDate(const std::string& yymmdd) {
    if (yymmdd.size() != kDateDigits || !isDigits(yymmdd))
        return 0;
    const int year = std::stoi(yymmdd.substr(0, 2));
    return (year < 50 ? 20000000 : 19000000) + std::stoi(yymmdd);
}

std::string DayCodeOfDate(int date) {
    return Format("%.6d", date % 1000000);
}

std::vector<TSeasonDay> SeasonDays(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        throw ELedgerError(pathText(folder) + sjis("がオープンできません"));
    std::vector<TSeasonDay> days;
    for (const fs::directory_entry& entry : entries) {
        const int date = archiveDate(entry.path().filename().string());
        if (date != 0 && entry.is_regular_file(error))
            days.push_back({entry.path(), date});
    }
    if (days.empty())
        throw ELedgerError(pathText(folder) +
                           sjis("に開催日のデータ(rv + 年月日 + .lzh)がありません"));
    std::sort(days.begin(), days.end(),
              [](const TSeasonDay& a, const TSeasonDay& b) { return a.date < b.date; });
    return days;
}
