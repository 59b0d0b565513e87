// OddsDrn: the odds of the DRNWin program's RX files.
#include "odds/OddsDrn.h"

#include "odds/OddsText.h"
#include "platform/Errors.h"
#include "platform/FileImage.h"
#include "platform/Format.h"
#include "race/RaceCode.h"

#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

// RX record types.
constexpr int kRaceHeader = 5;
constexpr int kTimes = 15;
constexpr int kTimesWithWide = 16;
constexpr int kWinPlace = 20;
constexpr int kBracketQuinella = 21;
constexpr int kQuinella = 22;
constexpr int kWide = 24;

bool isSeparatingBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

std::string_view part(std::string_view text, std::size_t pos, std::size_t count) {
    return pos < text.size() ? text.substr(pos, count) : std::string_view();
}

// An RX file holds a day's odds: a few hundred kilobytes.
constexpr std::uintmax_t kMaxRxFileSize = 16u << 20;

// The lines of a text; CR LF, CR and LF end a line, and a last line end adds no empty
// line.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(i, end - i));
        i = end;
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    }
    return lines;
}

} // namespace

std::vector<std::string> splitCommaText(std::string_view line) {
    // the runtime's text ends at a zero byte
    line = line.substr(0, line.find('\0'));
    std::vector<std::string> fields;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && isSeparatingBlank(line[i]))
            ++i;
    };
    skipBlanks();
    while (i < line.size()) {
        std::string field;
        if (line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    ++i;
                    if (i < line.size() && line[i] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
                field += line[i++];
            }
        } else {
            while (i < line.size() && !isSeparatingBlank(line[i]) && line[i] != ',')
                field += line[i++];
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (i < line.size() && line[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    return fields;
}

std::string RxFileName(const std::string& raceKey) {
    return "rx" + std::string(part(raceKey, 2, 6)) + ".txt";
}

bool ReadRxOdds(TOdds& odds, const std::string& folder, const std::string& raceKey) {
    odds.Clear();
    const std::optional<std::string> text =
        ReadFileImage(fs::path(folder + RxFileName(raceKey)), kMaxRxFileSize);
    return text && ReadRxOddsText(odds, *text, raceKey);
}

bool ReadRxOddsText(TOdds& odds, std::string_view text, const std::string& raceKey) {
    odds.Clear();
    const std::string date(part(raceKey, 2, 6)); // YYMMDD
    const std::vector<std::string_view> lines = splitLines(text);

    const std::vector<std::string> header =
        lines.empty() ? std::vector<std::string>() : splitCommaText(lines.front());
    if (header.size() < 2)
        throw EConvertError(RxFileName(raceKey) + ": the header line has no date");
    if (Format("%.6d", FieldToInt(header[1])) != date)
        return false;

    const int course = FieldToIntOrNothing(part(raceKey, 8, 2)).value_or(0);
    const int race = FieldToInt(part(raceKey, 10, 2));

    int n = 0;
    bool loaded = false;
    bool timed = false;
    for (std::string_view line : lines) {
        const std::vector<std::string> f = splitCommaText(line);
        if (f.size() < 3)
            continue;
        const std::optional<int> type = FieldToIntOrNothing(f[0]);
        const std::optional<int> lineCourse = FieldToIntOrNothing(f[1]);
        const std::optional<int> lineRace = FieldToIntOrNothing(f[2]);
        if (!type || !lineCourse || !lineRace || *lineCourse != course || *lineRace != race)
            continue;
        auto has = [&](std::size_t count) { return f.size() >= count; };
        auto number = [&](std::size_t i) {
            return i < f.size() ? FieldToIntOrNothing(f[i]) : std::nullopt;
        };

        if (!loaded) {
            if (*type == kRaceHeader) {
                if (const std::optional<int> count = number(7)) {
                    odds.Init(*count);
                    n = *count;
                    loaded = true;
                }
            }
            continue;
        }
        switch (*type) {
        case kWinPlace: {
            const std::optional<int> runner = number(3);
            if (!runner || !has(7) || *runner > n)
                break;
            odds.SetOddsA(TBetKind::Win, *runner, oddsOfText(f[4]));
            odds.SetOddsA(TBetKind::PlaceLower, *runner, oddsOfText(f[5]));
            odds.SetOddsA(TBetKind::PlaceUpper, *runner, oddsOfText(f[6]));
            break;
        }
        case kBracketQuinella:
        case kQuinella:
        case kWide: {
            const std::optional<int> first = number(3);
            const std::optional<int> second = number(4);
            if (!first || !second || !has(*type == kWide ? 7 : 6) || *first > n || *second > n)
                break;
            if (*type == kBracketQuinella) {
                odds.SetOddsB(TBetKind::BracketQuinella, *first, *second, oddsOfText(f[5]));
            } else if (*type == kQuinella) {
                odds.SetOddsB(TBetKind::Quinella, *first, *second, oddsOfText(f[5]));
            } else {
                odds.SetOddsB(TBetKind::WideLower, *first, *second, oddsOfText(f[5]));
                odds.SetOddsB(TBetKind::WideUpper, *first, *second, oddsOfText(f[6]));
            }
            break;
        }
        case kTimes:
        case kTimesWithWide: {
            // quinella and wide times only where the field has those tables
            const bool large = odds.HasHorseQuinella();
            const bool wide = *type == kTimesWithWide && large;
            if (!has(wide ? 7 : large ? 6 : 5))
                break;
            timed = true;
            odds.SetTime(TBetKind::Win, f[3]);
            odds.SetTime(TBetKind::BracketQuinella, f[4]);
            if (large)
                odds.SetTime(TBetKind::Quinella, f[5]);
            if (wide)
                odds.SetTime(TBetKind::WideTime, f[6]);
            break;
        }
        default: break;
        }
    }

    if (!timed) {
        odds.Clear();
        return false;
    }
    odds.SetSourceText("DRN " + odds.Time(odds.QuinellaKind()));
    return true;
}
