#include "season/SeasonFolder.h"

#include "platform/Cp932.h"
#include "platform/Format.h"
#include "platform/Folder.h"
#include "race/RaceRuv.h"
#include "platform/Reasons.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <memory>
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

// The date of a day archive's name, in either case; 0 for any other name.
int archiveDate(std::string_view name) {
    if (name.size() != kArchivePrefix.size() + kDateDigits + kArchiveSuffix.size() ||
        !SameNameIgnoringCase(name.substr(0, kArchivePrefix.size()), kArchivePrefix) ||
        !SameNameIgnoringCase(name.substr(name.size() - kArchiveSuffix.size()), kArchiveSuffix))
        return 0;
    return SeasonDate(std::string(name.substr(kArchivePrefix.size(), kDateDigits)));
}

// Why an entry named as a day archive, and listed as other than a plain file, is none;
// empty for a link to a regular file.
std::string notADayArchive(const fs::path& entry) {
    std::error_code error;
    const fs::file_status status = fs::status(entry, error);
    if (error == std::errc::too_many_symbolic_link_levels)
        return sjis("リンクが循環しています");
    if (status.type() == fs::file_type::not_found)
        return sjis("リンク先がありません");
    if (error)
        return SystemReason(error.value());
    if (status.type() == fs::file_type::directory)
        return sjis("フォルダです");
    if (status.type() != fs::file_type::regular)
        return sjis("通常のファイルではありません");
    return {};
}

} // namespace

int SeasonDate(const std::string& yymmdd) {
    if (yymmdd.size() != kDateDigits || !isDigits(yymmdd))
        return 0;
    int date = 0;
    for (const char digit : yymmdd)
        date = date * 10 + (digit - '0');
    return (date / 10000 < 50 ? 20000000 : 19000000) + date;
}

ELedgerError NoReadableDay(const fs::path& folder, const std::vector<std::string>& problems) {
    std::string message = pathText(folder) + sjis("に読める開催日のデータがありません");
    for (const std::string& problem : problems)
        message += "\n" + problem;
    return ELedgerError(message);
}

std::string DateText(int date) {
    return Format("%.4d-%.2d-%.2d", date / 10000, date / 100 % 100, date % 100);
}

std::string DayCodeOfDate(int date) {
    return Format("%.6d", date % 1000000);
}

TSeasonFolder SeasonDays(const fs::path& folder) {
    // listed without a path for every entry: a season folder holds thousands of other files
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
    if (!listing)
        throw ELedgerError(pathText(folder) + sjis("がオープンできません"));
    TSeasonFolder found;
    while (const dirent* entry = readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        const int date = archiveDate(name);
        if (date == 0)
            continue;
        fs::path archive = folder / name;
        // the listing's own type answers for a plain file without asking the disk again
        if (const std::string why = entry->d_type == DT_REG ? "" : notADayArchive(archive);
            !why.empty())
            found.skipped.push_back(toCp932Lenient(std::string(name)) + ": " + why);
        else
            found.days.push_back({std::move(archive), date, {}});
    }
    std::sort(found.days.begin(), found.days.end(), [](const TSeasonDay& a, const TSeasonDay& b) {
        return a.date != b.date ? a.date < b.date : a.archive < b.archive;
    });
    std::sort(found.skipped.begin(), found.skipped.end());
    return found;
}

bool TakeContentDate(TSeasonDay& day, int content) {
    // a race file without races has no date of its own: the name's stands
    if (content == 0 || content == day.date)
        return true;
    day.notes.push_back(sjis("名前の日付 ") + DateText(day.date) + sjis(" と中身の日付 ") +
                        DateText(content) + sjis(" が違います: 中身の日付で数えます"));
    day.date = content;
    return false;
}

TSeasonFolder DatedByContent(TSeasonFolder folder, const TKnownDate& known) {
    std::vector<TSeasonDay> dated;
    std::vector<bool> nameAgrees;
    for (TSeasonDay& day : folder.days) {
        int content = known ? known(day) : 0;
        try {
            if (content == 0)
                content = DayArchiveDate(day.archive.string());
        } catch (const std::exception& error) {
            folder.skipped.push_back(pathText(day.archive.filename()) + ": " + MessageOf(error));
            continue;
        }
        nameAgrees.push_back(TakeContentDate(day, content));
        dated.push_back(std::move(day));
    }
    // per date the archive whose name agrees first, else the first by name; the positions
    // are sorted, not the days
    std::vector<std::size_t> order(dated.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return dated[a].date != dated[b].date ? dated[a].date < dated[b].date
                                              : nameAgrees[a] > nameAgrees[b];
    });
    folder.days.clear();
    for (const std::size_t i : order) {
        TSeasonDay& day = dated[i];
        if (!folder.days.empty() && folder.days.back().date == day.date) {
            std::string line = pathText(day.archive.filename()) + ": ";
            for (const std::string& note : day.notes)
                line += note + "; ";
            folder.duplicates.push_back(line + DateText(day.date) + sjis(" の開催日は ") +
                                        pathText(folder.days.back().archive.filename()) +
                                        sjis(" で数えたので数えません"));
            continue;
        }
        folder.days.push_back(std::move(day));
    }
    return folder;
}
