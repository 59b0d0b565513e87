#include "output/CsvWriter.h"
#include "output/OutputFile.h"
#include "output/ReportPieces.h"
#include "output/RunnerRow.h"
#include "output/Writers.h"

#include "analysis/Focus.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"

#include <string_view>

namespace {

constexpr std::string_view kHeadings[] = {
    "日付", "場所",      "R",         "レース名",  "芝ダート",  "距離",     "頭数",  "枠",
    "馬番", "馬名",      "性",        "齢",        "斤量",      "減量",     "騎手",  "騎手*",
    "単勝", "データ印",  "予想印",    "順位",      "5走前",     "4走前",    "3走前", "2走前",
    "前走", "5走前指数", "4走前指数", "3走前指数", "2走前指数", "前走指数", "券種",  "買い目"};

// A CP932 text as a cell: UTF-8, without the blanks that pad it in the record.
std::string cell(const std::string& cp932) {
    const std::size_t first = cp932.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return toUtf8Lenient(cp932.substr(first, cp932.find_last_not_of(' ') - first + 1));
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
        TCsvRow line;
        line.Text(date)
            .Text(cell(race.venue))
            .Number(race.number)
            .Text(cell(race.name))
            .Text(cell(race.surface))
            .Text(cell(race.distance))
            .Number(c.race.RunnerCount())
            .Number(row.bracket)
            .Number(row.number)
            .Text(cell(row.horseName))
            .Text(cell(row.sex))
            .Number(row.age)
            .Text(cell(row.weight))
            .Text(cell(row.allowanceMark))
            .Text(cell(row.jockey))
            .Text(row.jockeyStarred ? "*" : "")
            .Number(row.winOddsValue ? Format("%.1f", static_cast<double>(*row.winOddsValue))
                                     : std::string())
            .Text(cell(row.serviceMark))
            .Text(cell(row.mark))
            .Number(row.rank);
        for (const std::string& figure : row.figures)
            line.Text(cell(figure));
        for (const std::optional<int>& value : row.figureValues)
            line.Number(value ? std::to_string(*value) : std::string());
        rows += line.Text(betKind).Text(betPairs).Line();
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
        file.Write(CsvStart({std::begin(kHeadings), std::end(kHeadings)}));
    file.Write(raceRows(c, race));
    file.Close();
}
