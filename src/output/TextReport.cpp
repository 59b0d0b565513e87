#include "output/OutputFile.h"
#include "output/ReportPieces.h"
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

std::string winOddsField(const TOdds& odds, int r) {
    float value = 0;
    switch (WinOddsOf(odds, r, value)) {
    case TWinOdds::None: return "  0.0";
    case TWinOdds::Scratched: return "    -";
    case TWinOdds::Value: break;
    }
    return Format("%5.1f", static_cast<double>(value));
}

std::string runnerLine(const TOutputContext& c, int i) {
    const TRaceBase& race = c.race;
    const int r = i + 1;
    std::string line(column::kBuffer, ' ');
    CopyText(line, column::kBracket,
             Format("%d%s", race.BracketNo(i), race.HasBlinkers(i) ? "B" : " "));
    CopyText(line, column::kHorse,
             Format("%2d%18s %2s%-2d", r, race.HorseName(i).c_str(), race.SexText(i).c_str(),
                    race.Age(i)));
    CopyText(line, column::kWeight, race.WeightText(i) + race.AllowanceMark(i));
    CopyText(line, column::kJockey, race.JockeyName(i) + (race.IsJockeyStarred(i) ? "*" : ""));
    CopyText(line, column::kWinOdds, winOddsField(c.odds, r));
    CopyText(line, column::kMarks,
             Format("%2s%2s%s", race.ServiceMark(i).c_str(), c.focus.MarkText(r).c_str(),
                    RankText(c.focus, r).c_str()));
    for (int cell = 4; cell >= 0; --cell)
        CopyText(line, column::kFigures + column::kFigureWidth * static_cast<std::size_t>(4 - cell),
                 Format("%5s", c.focus.FigureText(r, cell).c_str()));
    return LeftBytes(line, column::kLineEnd);
}

std::string betLine(const TOutputContext& c) {
    std::string line = sjis("<買い目> ");
    if (c.focus.BetCount() == 0)
        return line + sjis("見送り");
    line += BetKindText(c.race) + " ";
    for (int j = 0; j < c.focus.BetCount(); ++j)
        line += "  " + c.focus.BetText(j);
    return line;
}

std::string oddsLine(const TOutputContext& c) {
    std::string line = sjis("<オッズ> ") + Format("%-9s", c.odds.SourceText().c_str());
    for (int j = 0; j < c.focus.BetCount(); ++j) {
        float value = BetOdds(c.focus, c.odds, j);
        line += value == -1.0f ? "      -" : Format(" %6.1f", static_cast<double>(value));
    }
    return line;
}

} // namespace

std::string TextReportBlock(const TOutputContext& c) {
    std::string block = "\r\n" + c.race.RaceHeading() + "\r\n";
    for (int i = 0; i < c.race.RunnerCount(); ++i)
        block += runnerLine(c, i) + "\r\n";
    block += std::string(79, '-') + "\r\n";
    block += betLine(c) + "\r\n";
    if (c.focus.BetCount() > 0 && c.odds.Count() != 0)
        block += oddsLine(c) + "\r\n";
    block += std::string(79, '=') + "\r\n";
    return block;
}

void WriteTextReport(const TOutputContext& c, TOutputRun& run) {
    std::string key = FileKey(c.race);
    std::filesystem::path path = c.folder / ("s" + key + ".txt");
    bool starts = run.Starts(TOutputRun::File::Text, key, path);
    TOutputFile file(path, starts ? TOutputFile::Mode::Recreate : TOutputFile::Mode::Append);
    if (starts)
        file.WriteLine(ReportHeaderLine());
    file.Write(TextReportBlock(c));
    file.Close();
}
