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

std::string winOddsCell(const TOdds& odds, int r) {
    float value = 0;
    switch (WinOddsOf(odds, r, value)) {
    case TWinOdds::None: return "0.0";
    case TWinOdds::Scratched: return "-";
    case TWinOdds::Value: break;
    }
    return Format("%5.1f", static_cast<double>(value));
}

std::string titleLine(const TRaceBase& race) {
    return R"(<table border="0"><tr><td><font color="Blue">)" + race.RaceName() +
           R"(</font></td></tr><tr><td bgcolor="green"><font color="white"><b>)" +
           race.RaceHeadingLine() + "</b></font></td></tr></table>" + R"(<table border="0">)" +
           sjis(
               R"(<tr bgcolor="cyan"><td>枠</td><td>ブ</td><td>馬</td><td>馬名</td><td>性齢</td><td>斤量</td><td>騎手</td><td align="right">単勝</td><td>Q印</td><td>P印</td><td>順</td><td>５走前</td><td>４走前</td><td>３走前</td><td>２走前</td><td>前　走</td></tr>)");
}

std::string runnerRow(const TOutputContext& c, int i) {
    const TRaceBase& race = c.race;
    const int r = i + 1;
    const int b = race.BracketNo(i);
    // a bracket outside 1..8 is drawn in the first bracket's colours
    const TBracketColor& colors =
        BracketColors[static_cast<std::size_t>(b >= 1 && b <= 8 ? b - 1 : 0)];
    std::string row =
        Format(R"(<tr><td align="center" bgcolor="%s"><font color="%s">%d</font></td>)",
               colors.backgroundHtml, colors.textHtml, b);
    row += race.HasBlinkers(i) ? "<td>B</td>" : "<td></td>";
    row += Format(R"(<td align="center">%d</td><td>%s</td><td>%s%2d</td>)", r,
                  race.HorseName(i).c_str(), race.SexText(i).c_str(), race.Age(i));
    row += "<td>" + race.WeightText(i) + race.AllowanceMark(i) + "</td>";
    row += "<td>" + race.JockeyName(i) + (race.IsJockeyStarred(i) ? "*" : "") + "</td>";
    row += R"(<td align="right">)" + winOddsCell(c.odds, r) + "</td>";
    row += Format(
        R"(<td align="center">%s</td><td align="center"><font color="red">%s</font></td><td align="center">%s</td>)",
        race.ServiceMark(i).c_str(), c.focus.MarkText(r).c_str(), RankText(c.focus, r).c_str());
    for (int cell = 4; cell >= 0; --cell)
        row += Format(R"(<td align="right">%s</td>)", c.focus.FigureText(r, cell).c_str());
    return row + "</tr>";
}

std::string betRow(const TOutputContext& c) {
    std::string row = sjis(R"(<p><table border="1"><tr><td>買い目</td>)");
    if (c.focus.BetCount() == 0) {
        row += sjis("<td>見送り</td>");
    } else {
        row += "<td>" + BetKindText(c.race) + "</td>";
        for (int j = 0; j < c.focus.BetCount(); ++j)
            row += R"(<td align="right">)" + c.focus.BetText(j) + "</td>";
    }
    return row + "</tr>";
}

std::string oddsRow(const TOutputContext& c) {
    std::string row = sjis("<tr><td>オッズ</td><td>") + c.odds.SourceText() + "</td>";
    for (int j = 0; j < c.focus.BetCount(); ++j) {
        float value = BetOdds(c.focus, c.odds, j);
        row += value == -1.0f
                   ? R"(<td align="right">-</td>)"
                   : Format(R"(<td align="right">%6.1f</td>)", static_cast<double>(value));
    }
    return row + "</tr>";
}

} // namespace

void WriteHtmlReport(const TOutputContext& c, TOutputRun& run) {
    std::string key = FileKey(c.race);
    std::filesystem::path path = c.folder / ("s" + key + ".htm");
    bool starts = run.Starts(TOutputRun::File::Html, key, path);
    TOutputFile file(path, starts ? TOutputFile::Mode::Recreate : TOutputFile::Mode::Append);
    if (starts) {
        file.WriteLine("<HTML><HEAD><TITLE></TITLE></HEAD><center>");
        file.WriteLine(ReportHeaderLine());
        file.WriteLine("</center><p><hr><p></HTML>");
    }
    file.WriteLine("<HTML>");
    file.WriteLine(titleLine(c.race));
    for (int i = 0; i < c.race.RunnerCount(); ++i)
        file.WriteLine(runnerRow(c, i));
    file.WriteLine("</table>");
    file.WriteLine(betRow(c));
    if (c.focus.BetCount() > 0 && c.odds.Count() != 0)
        file.WriteLine(oddsRow(c));
    file.WriteLine("</table><p><hr><p>");
    file.WriteLine("</HTML>");
    file.Close();
}
