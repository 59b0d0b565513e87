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

namespace {

// One line of the store's text, as views into it.
struct TOddsLine {
    std::string_view path;
    std::int64_t size = 0;
    std::int64_t mtime = 0;
    std::string_view hash;
};

// The next line of text into line, which text then no longer holds; false at its end.
bool nextLine(std::string_view& text, TOddsLine& line) {
    if (text.empty())
        return false;
    auto field = [&text]() {
        const std::size_t end = static_cast<std::size_t>(
            std::find_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n'; }) -
            text.begin());
        const std::string_view value = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        return value;
    };
    auto number = [](std::string_view digits) {
        std::int64_t value = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return value;
    };
    line.path = field();
    line.size = number(field());
    line.mtime = number(field());
    line.hash = field();
    return true;
}

} // namespace

bool SameAsStored(const std::vector<TOddsStamp>& files, std::string_view text, bool contents) {
    TOddsLine line;
    for (const TOddsStamp& f : files)
        if (!nextLine(text, line) || line.path != f.path || line.size != f.print.size ||
            (contents ? line.hash != f.print.hash : line.mtime != f.print.mtime))
            return false;
    return text.empty();
}

std::vector<TOddsStamp> CurrentOddsFiles(const TSettings& settings, const TSeasonDay& day,
                                         TCaseBlindFolders& folders, bool hashed) {
    auto print = [hashed](const std::string& path) {
        return hashed ? HashedFingerprint(path) : FileStamp(path.c_str());
    };
    std::vector<TOddsStamp> files;
    for (std::string& named : OddsSourceFiles(settings, day.archive, DayCodeOfDate(day.date))) {
        TOddsStamp file{std::move(named), {}};
        file.print = print(file.path);
        if (!file.print.Exists()) {
            // as the readers find it: J010106.LZH for j010106.lzh
            const std::string other = folders.Existing(file.path);
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
