#include "output/OutputFile.h"
#include "output/ReportPieces.h"
#include "output/RunnerRow.h"
#include "output/Writers.h"

#include "analysis/Focus.h"
#include "odds/Odds.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "race/RaceHelpers.h"

namespace {

// Runner line columns; a field longer than its width runs on and is overwritten by the
// next one, and the line is cut at the last column.
namespace column {
constexpr std::size_t kBracket = 0;
constexpr std::size_t kHorse = 2;
constexpr std::size_t kWeight = 27;
constexpr std::size_t kJockey = 32;
constexpr std::size_t kWinOdds = 39;
constexpr std::size_t kMarks = 44;
constexpr std::size_t kFigures = 49; // five cells of 5 bytes, five races back first
constexpr std::size_t kFigureWidth = 5;
constexpr std::size_t kBuffer = 80;
constexpr std::size_t kLineEnd = 74;
} // namespace column

std::string runnerLine(const TOutputContext& c, int i) {
    const TRunnerRow row = RunnerRowOf(c.race, c.focus, c.odds, i);
    std::string line(column::kBuffer, ' ');
    CopyText(line, column::kBracket, Format("%d%s", row.bracket, row.blinkers ? "B" : " "));
    CopyText(
        line, column::kHorse,
        Format("%2d%18s %2s%-2d", row.number, row.horseName.c_str(), row.sex.c_str(), row.age));
    CopyText(line, column::kWeight, row.WeightText());
    CopyText(line, column::kJockey, row.JockeyText());
    CopyText(line, column::kWinOdds, Format("%5s", row.winOdds.c_str()));
    CopyText(line, column::kMarks,
             Format("%2s%2s%s", row.serviceMark.c_str(), row.mark.c_str(), row.rank.c_str()));
    for (std::size_t k = 0; k < row.figures.size(); ++k)
        CopyText(line, column::kFigures + column::kFigureWidth * k,
                 Format("%5s", row.figures[k].c_str()));
    return LeftBytes(line, column::kLineEnd);
}

} // namespace

std::string TextReportBlock(const TOutputContext& c) {
    std::string block = "\r\n" + c.race.RaceHeading() + "\r\n";
    for (int i = 0; i < c.race.RunnerCount(); ++i)
        block += runnerLine(c, i) + "\r\n";
    block += std::string(79, '-') + "\r\n";
    block += BetLine(c.race, c.focus) + "\r\n";
    if (c.focus.BetCount() > 0 && c.odds.Count() != 0)
        block += BetOddsLine(c.focus, c.odds) + "\r\n";
    block += std::string(79, '=') + "\r\n";
    return block;
}

void WriteTextReport(const TOutputContext& c, TOutputRun& run) {
    std::string key = FileKey(c.race);
    std::filesystem::path path = c.folder / ("s" + key + ".txt");
    bool starts = run.Starts(TOutputRun::File::Text, key, path);
    TOutputFile file = run.Open(path, starts);
    if (starts)
        file.WriteLine(ReportHeaderLine());
    file.Write(TextReportBlock(c));
    file.Close();
}
