#include "sampleday/OddsWriter.h"

#include "odds/OddsRecords.h"
#include "platform/Format.h"
#include "race/RaceCode.h"
#include "race/RaceHelpers.h"

#include <algorithm>

int SampleWinTenths(int runner) {
    return 10 * runner + 5;
}
int SamplePlaceTenths(int runner) {
    return 10 + runner;
}
int SampleBracketTenths(int first, int second) {
    return 200 + 10 * first + second;
}
int SampleQuinellaTenths(int first, int second) {
    return 3000 + 100 * first + second;
}
int SampleWideTenths(int first, int second) {
    return 1000 + 100 * first + second;
}
float SampleOdds(int tenths) {
    return static_cast<float>(tenths) / 10.0f;
}

namespace {

int numberOr(const std::string& text, int fallback) {
    try {
        return FieldToInt(text);
    } catch (const std::exception&) {
        return fallback;
    }
}

// The race's runner count, within the 18 places of a record.
int runnersOf(const SampleRace& race) {
    const int n =
        race.runnerCount ? numberOr(*race.runnerCount, 0) : static_cast<int>(race.runners.size());
    return std::clamp(n, 0, 18);
}

std::string countText(const SampleRace& race, const SampleRaceOdds& odds, const char* format) {
    if (odds.runnerCount)
        return *odds.runnerCount;
    return race.runnerCount ? *race.runnerCount : Format(format, runnersOf(race));
}

const SampleRaceOdds& oddsOf(const SampleDayOdds& odds, std::size_t race) {
    static const SampleRaceOdds sample;
    return race < odds.size() ? odds[race] : sample;
}

template <typename Key>
std::string textOr(const std::map<Key, std::string>& texts, const Key& key, std::string value) {
    auto it = texts.find(key);
    return it != texts.end() ? it->second : value;
}

void put(std::string& record, Field f, const std::string& text) {
    PutField(record, f.offset, f.width, text);
}

std::string tenthsText(int tenths, int width) {
    return Format("%.*d", width, tenths);
}

std::string decimalText(int tenths) {
    return Format("%5.1f", tenths / 10.0);
}

int racecourseOf(const SampleRace& race) {
    const int code = numberOr(race.course, -1);
    return code >= 0 && code <= 9 ? CourseToRacecourse[static_cast<std::size_t>(code)] : code;
}

template <typename RecordOf>
std::vector<std::string> recordsOf(const SampleDay& day, const SampleDayOdds& odds,
                                   RecordOf recordOf) {
    std::vector<std::string> records;
    for (std::size_t i = 0; i < day.races.size(); ++i) {
        const SampleRaceOdds& o = oddsOf(odds, i);
        if (!o.absent)
            recordOf(day.races[i], o, records);
    }
    return records;
}

} // namespace

std::string SampleRaceKey(const SampleRace& race) {
    return race.date + Format("%.2d", racecourseOf(race)) + race.raceNumber;
}

std::string SampleJrdbRaceKey(const SampleRace& race) {
    auto lastDigit = [](const std::string& text) {
        return text.empty() ? text : text.substr(text.size() - 1);
    };
    std::string day = lastDigit(race.day);
    if (const int number = numberOr(race.day, 0); number >= 10 && number <= 15)
        day = std::string(1, static_cast<char>('a' + number - 10));
    return Format("%.2d", racecourseOf(race)) + race.date.substr(2, 2) + lastDigit(race.meeting) +
           day + race.raceNumber;
}

std::vector<std::string> RuvOddsRecords(const SampleDay& day, const SampleDayOdds& odds) {
    return recordsOf(
        day, odds,
        [](const SampleRace& race, const SampleRaceOdds& o, std::vector<std::string>& records) {
            namespace ro = ruvOddsRecord;
            std::string r(ro::kSize, ' ');
            put(r, ro::kCourse, race.course);
            put(r, ro::kRaceNumber, race.raceNumber);
            put(r, ro::kDate, race.date);
            put(r, ro::kRunnerCount, countText(race, o, "%.2d"));
            const int n = runnersOf(race);
            for (int k = 1; k <= n; ++k)
                put(r, ro::win(static_cast<std::size_t>(k - 1)),
                    textOr(o.win, k, tenthsText(SampleWinTenths(k), 5)));
            for (std::size_t s = 0; s < kBracketPairCount; ++s) {
                const auto [i, j] = kBracketPairs[s];
                if (j <= n)
                    put(r, ro::bracket(s),
                        textOr(o.bracket, {i, j}, tenthsText(SampleBracketTenths(i, j), 5)));
            }
            for (std::size_t s = 0; n > 8 && s < kRunnerPairCount; ++s) {
                const auto [i, j] = kRunnerPairs[s];
                if (j <= n)
                    put(r, ro::quinella(s),
                        textOr(o.quinella, {i, j}, tenthsText(SampleQuinellaTenths(i, j), 7)));
            }
            records.push_back(r);
        });
}

std::vector<std::string> JrdbOzRecords(const SampleDay& day, const SampleDayOdds& odds) {
    return recordsOf(
        day, odds,
        [](const SampleRace& race, const SampleRaceOdds& o, std::vector<std::string>& records) {
            namespace oz = jrdbOzRecord;
            std::string r(oz::kSize, ' ');
            put(r, oz::kRaceKey, SampleJrdbRaceKey(race));
            put(r, oz::kRunnerCount, countText(race, o, "%2d"));
            const int n = runnersOf(race);
            for (int k = 1; k <= n; ++k) {
                const auto at = static_cast<std::size_t>(k - 1);
                put(r, oz::win(at), textOr(o.win, k, decimalText(SampleWinTenths(k))));
                put(r, oz::place(at), textOr(o.place, k, decimalText(SamplePlaceTenths(k))));
            }
            if (n > 8) {
                for (std::size_t s = 0; s < kRunnerPairCount; ++s) {
                    const auto [i, j] = kRunnerPairs[s];
                    if (j <= n)
                        put(r, oz::pair(s),
                            textOr(o.quinella, {i, j}, decimalText(SampleQuinellaTenths(i, j))));
                }
            } else {
                for (std::size_t s = 0; s < kBracketPairCount; ++s) {
                    const auto [i, j] = kBracketPairs[s];
                    if (j <= n)
                        put(r, oz::pair(s),
                            textOr(o.bracket, {i, j}, decimalText(SampleBracketTenths(i, j))));
                }
            }
            records.push_back(r);
        });
}

std::vector<std::string> JrdbOwRecords(const SampleDay& day, const SampleDayOdds& odds) {
    return recordsOf(
        day, odds,
        [](const SampleRace& race, const SampleRaceOdds& o, std::vector<std::string>& records) {
            namespace ow = jrdbOwRecord;
            const int n = runnersOf(race);
            if (n <= 8 || o.wideAbsent)
                return;
            std::string r(ow::kSize, ' ');
            put(r, ow::kRaceKey, SampleJrdbRaceKey(race));
            for (std::size_t s = 0; s < kRunnerPairCount; ++s) {
                const auto [i, j] = kRunnerPairs[s];
                if (j <= n)
                    put(r, ow::wide(s),
                        textOr(o.wide, {i, j}, decimalText(SampleWideTenths(i, j))));
            }
            records.push_back(r);
        });
}

std::vector<std::string> RxLines(const SampleDay& day, const SampleDayOdds& odds) {
    std::vector<std::string> lines;
    const std::string date = day.races.empty() ? "20010128" : day.races.front().date;
    lines.push_back(Format("0,%d", numberOr(date.substr(2, 6), 0)));
    auto rx = [](int tenths) { return Format("%.1f", tenths / 10.0); };
    for (std::size_t index = 0; index < day.races.size(); ++index) {
        const SampleRace& race = day.races[index];
        const SampleRaceOdds& o = oddsOf(odds, index);
        if (o.absent)
            continue;
        const int n = runnersOf(race);
        const std::string head =
            Format(",%d,%d,", racecourseOf(race), numberOr(race.raceNumber, 0));
        lines.push_back("5" + head + race.date + ",0,0,0," + countText(race, o, "%d"));
        const auto& t = o.rxTimes;
        lines.push_back(n > 8 ? "16" + head + t[0] + "," + t[1] + "," + t[2] + "," + t[3]
                              : "15" + head + t[0] + "," + t[1] + "," + t[2]);
        for (int k = 1; k <= n; ++k) {
            lines.push_back("20" + head + std::to_string(k) + "," +
                            textOr(o.win, k, rx(SampleWinTenths(k))) + "," +
                            textOr(o.place, k, rx(SamplePlaceTenths(k))) + "," +
                            textOr(o.place, k, rx(SamplePlaceTenths(k) + 7)));
        }
        for (const auto [i, j] : kBracketPairs)
            if (j <= n)
                lines.push_back("21" + head + Format("%d,%d,", i, j) +
                                textOr(o.bracket, {i, j}, rx(SampleBracketTenths(i, j))));
        if (n <= 8)
            continue;
        for (const auto [i, j] : kRunnerPairs)
            if (j <= n)
                lines.push_back("22" + head + Format("%d,%d,", i, j) +
                                textOr(o.quinella, {i, j}, rx(SampleQuinellaTenths(i, j))));
        for (const auto [i, j] : kRunnerPairs)
            if (j <= n)
                lines.push_back("24" + head + Format("%d,%d,", i, j) +
                                textOr(o.wide, {i, j}, rx(SampleWideTenths(i, j))) + "," +
                                textOr(o.wide, {i, j}, rx(SampleWideTenths(i, j) + 5)));
    }
    return lines;
}

std::string JoinRecords(const std::vector<std::string>& records) {
    std::string bytes;
    for (const std::string& r : records)
        bytes += r;
    return bytes;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::filesystem::path WriteRuvOddsArchive(const std::filesystem::path& folder,
                                          const std::string& dayCode, const SampleDay& day,
                                          const SampleDayOdds& odds) {
    const std::filesystem::path archive = folder / ("j" + dayCode + ".lzh");
    WriteBinaryFile(archive,
                    MakeLzhArchive({{"ruv_ods.kd2", JoinRecords(RuvOddsRecords(day, odds))}}));
    return archive;
}

std::filesystem::path WriteJrdbOddsArchive(const std::filesystem::path& folder,
                                           const std::string& dayCode, const SampleDay& day,
                                           const SampleDayOdds& odds) {
    const std::filesystem::path archive = folder / ("jrdb" + dayCode + ".lzh");
    WriteBinaryFile(
        archive,
        MakeLzhArchive({{"oz" + dayCode + ".txt", JoinRecords(JrdbOzRecords(day, odds))},
                        {"ow" + dayCode + ".txt", JoinRecords(JrdbOwRecords(day, odds))}}));
    return archive;
}

std::filesystem::path WriteRxFile(const std::filesystem::path& folder, const SampleDay& day,
                                  const SampleDayOdds& odds) {
    const std::string date = day.races.empty() ? "20010128" : day.races.front().date;
    const std::filesystem::path file = folder / ("rx" + date.substr(2, 6) + ".txt");
    WriteBinaryFile(file, JoinLines(RxLines(day, odds)));
    return file;
}
