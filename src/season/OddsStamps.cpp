#include "season/OddsStamps.h"

#include "platform/Folder.h"
#include "season/SeasonFolder.h"
#include "session/DaySession.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace fs = std::filesystem;

std::string OddsText(const std::vector<TOddsStamp>& files) {
    std::string text;
    for (const TOddsStamp& f : files)
        text += f.path + "\t" + std::to_string(f.print.size) + "\t" +
                std::to_string(f.print.mtime) + "\t" + f.print.hash + "\n";
    return text;
}

std::vector<TOddsStamp> OddsFilesOf(std::string_view text) {
    std::vector<TOddsStamp> files;
    auto field = [&text]() {
        const std::size_t end = std::min(text.find_first_of("\t\n"), text.size());
        const std::string_view value = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        return value;
    };
    auto number = [](std::string_view digits) {
        std::int64_t value = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return value;
    };
    while (!text.empty()) {
        TOddsStamp f;
        f.path = field();
        f.print.size = number(field());
        f.print.mtime = number(field());
        f.print.hash = field();
        files.push_back(std::move(f));
    }
    return files;
}

bool SameOddsFiles(const std::vector<TOddsStamp>& a, const std::vector<TOddsStamp>& b,
                   bool stamps) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].path != b[i].path)
            return false;
        if (stamps ? !a[i].print.SameStamp(b[i].print)
                   : a[i].print.size != b[i].print.size || a[i].print.hash != b[i].print.hash)
            return false;
    }
    return true;
}

std::vector<TOddsStamp> CurrentOddsFiles(const TSettings& settings, const TSeasonDay& day,
                                         TCaseBlindFolders& folders, bool hashed) {
    auto print = [hashed](const fs::path& path) {
        return hashed ? HashedFingerprint(path) : FileStamp(path);
    };
    std::vector<TOddsStamp> files;
    for (const fs::path& named : OddsSourceFiles(settings, day.archive, DayCodeOfDate(day.date))) {
        TOddsStamp file{named.string(), print(named)};
        if (!file.print.Exists()) {
            // as the readers find it: J010106.LZH for j010106.lzh
            const std::string other = folders.Existing(named);
            if (other.empty() || other == file.path)
                continue;
            file = {other, print(other)};
            if (!file.print.Exists())
                continue;
        }
        files.push_back(std::move(file));
    }
    return files;
}
