#include "output/OutputFile.h"
#include "output/ReportPieces.h"
#include "output/RunnerRow.h"
#include "output/Writers.h"

#include "analysis/Focus.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"

#include <string_view>
#include <vector>

namespace {

// The byte-order mark tells spreadsheet programs that the file is UTF-8, not the
// system's code page.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr const char* kHeadings[] = {
    "日付", "場所",      "R",         "レース名",  "芝ダート",  "距離",     "頭数",  "枠",
    "馬番", "馬名",      "性",        "齢",        "斤量",      "減量",     "騎手",  "騎手*",
    "単勝", "データ印",  "予想印",    "順位",      "5走前",     "4走前",    "3走前", "2走前",
    "前走", "5走前指数", "4走前指数", "3走前指数", "2走前指数", "前走指数", "券種",  "買い目"};

// A field as the CSV rules ask: quoted, with its quotes doubled, only when it holds a
// comma, a quote or a line break.
std::string quoted(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string text = "\"";
    for (char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    return text + '"';
}

// A CP932 text as a cell: UTF-8, without the blanks that pad it in the record.
std::string cell(const std::string& cp932) {
    const std::size_t first = cp932.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return toUtf8Lenient(cp932.substr(first, cp932.find_last_not_of(' ') - first + 1));
}

std::string joined(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k)
        line += (k == 0 ? "" : ",") + quoted(fields[k]);
    return line + "\r\n";
}

std::string raceRows(const TOutputContext& c, const TRaceFacts& race) {
    const std::string date =
        race.date.substr(0, 4) + "-" + race.date.substr(4, 2) + "-" + race.date.substr(6, 2);
    const bool bets = c.focus.BetCount() > 0;
    const std::string betKind = cell(bets ? BetKindText(c.race) : sjis("見送り"));
    const std::string betPairs = BetPairsText(c.focus);
    std::string rows;
    for (int i = 0; i < c.race.RunnerCount(); ++i) {
        const TRunnerRow row = RunnerRowOf(c.race, c.focus, c.odds, i);
        std::vector<std::string> fields{
            date,
            cell(race.venue),
            std::to_string(race.number),
            cell(race.name),
            cell(race.surface),
            cell(race.distance),
            std::to_string(c.race.RunnerCount()),
            std::to_string(row.bracket),
            std::to_string(row.number),
            cell(row.horseName),
            cell(row.sex),
            std::to_string(row.age),
            cell(row.weight),
            cell(row.allowanceMark),
            cell(row.jockey),
            row.jockeyStarred ? "*" : "",
            row.winOddsValue ? Format("%.1f", static_cast<double>(*row.winOddsValue)) : "",
            cell(row.serviceMark),
            cell(row.mark),
            row.rank};
        for (const std::string& figure : row.figures)
            fields.push_back(cell(figure));
        for (const std::optional<int>& value : row.figureValues)
            fields.push_back(value ? std::to_string(*value) : "");
        fields.push_back(betKind);
        fields.push_back(betPairs);
        rows += joined(fields);
    }
    return rows;
}

} // namespace

void WriteCsvFile(const TOutputContext& c, TOutputRun& run) {
    const TRaceFacts race = c.race.RaceFacts();
    const std::filesystem::path path = c.folder / ("c" + race.date + ".csv");
    const bool starts = run.Starts(TOutputRun::File::Csv, race.date, path);
    TOutputFile file = run.Open(path, starts);
    if (starts)
        file.Write(std::string(kByteOrderMark) +
                   joined(std::vector<std::string>(std::begin(kHeadings), std::end(kHeadings))));
    file.Write(raceRows(c, race));
    file.Close();
}
