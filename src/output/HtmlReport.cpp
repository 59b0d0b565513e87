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

std::string titleLine(const TRaceBase& race) {
    return R"(<table border="0"><tr><td><font color="Blue">)" + HtmlText(race.RaceName()) +
           R"(</font></td></tr><tr><td bgcolor="green"><font color="white"><b>)" +
           HtmlText(race.RaceHeadingLine()) + "</b></font></td></tr></table>" +
           R"(<table border="0">)" +
           sjis(
               R"(<tr bgcolor="cyan"><td>枠</td><td>ブ</td><td>馬</td><td>馬名</td><td>性齢</td><td>斤量</td><td>騎手</td><td align="right">単勝</td><td>Q印</td><td>P印</td><td>順</td><td>５走前</td><td>４走前</td><td>３走前</td><td>２走前</td><td>前　走</td></tr>)");
}

std::string runnerRow(const TOutputContext& c, int i) {
    const TRunnerRow row = RunnerRowOf(c.race, c.focus, c.odds, i);
    std::string html =
        Format(R"(<tr><td align="center" bgcolor="%s"><font color="%s">%d</font></td>)",
               row.colors->backgroundHtml, row.colors->textHtml, row.bracket);
    html += row.blinkers ? "<td>B</td>" : "<td></td>";
    // the archive's texts as text, never as markup
    html += Format(R"(<td align="center">%d</td><td>%s</td><td>%s%2d</td>)", row.number,
                   HtmlText(row.horseName).c_str(), row.sex.c_str(), row.age);
    html += "<td>" + HtmlText(row.WeightText()) + "</td>";
    html += "<td>" + HtmlText(row.JockeyText()) + "</td>";
    html += R"(<td align="right">)" + row.winOdds + "</td>";
    html += Format(
        R"(<td align="center">%s</td><td align="center"><font color="red">%s</font></td><td align="center">%s</td>)",
        row.serviceMark.c_str(), row.mark.c_str(), row.rank.empty() ? " " : row.rank.c_str());
    for (const std::string& figure : row.figures)
        html += R"(<td align="right">)" + figure + "</td>";
    return html + "</tr>";
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
    TOutputFile file = run.Open(path, starts);
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
