#include "ledger/LedgerFiles.h"

#include "ledger/LedgerBreakdown.h"
#include "ledger/LedgerChart.h"
#include "ledger/LedgerTables.h"
#include "ledger/MarketTables.h"
#include "output/CsvWriter.h"
#include "output/ReportPieces.h"
#include "platform/Cp932.h"
#include "platform/FileReplace.h"
#include "platform/Format.h"

namespace fs = std::filesystem;

namespace {

// A runner number, empty for none.
std::string runnerOrEmpty(int n) {
    return n == 0 ? std::string() : std::to_string(n);
}

} // namespace

TCsvRow LedgerCsvRow(const TLedgerRace& race) {
    TCsvRow row;
    row.Text(DateText(race.date))
        .Text(toUtf8Lenient(race.venue))
        .Number(race.number)
        .Number(race.runners)
        .Text(race.bets.empty()       ? "見送り"
              : race.HasBracketBets() ? "枠連"
                                      : "馬連");
    for (int runner : race.marked)
        row.Number(runnerOrEmpty(runner));
    for (int runner : race.marked)
        row.Text(runner == 0 ? std::string() : toUtf8Lenient(runResult::Text(race.Result(runner))));
    row.Number(runnerOrEmpty(race.First())).Number(runnerOrEmpty(race.Second()));
    row.Number(race.Settled() ? 1 : 0);
    std::string bets;
    for (const TLedgerBet& bet : race.bets)
        bets += Format("%s%d-%d", bets.empty() ? "" : " ", bet.lower, bet.higher);
    row.Text(bets);
    TBetTally tally;
    tally.Add(race);
    for (long long n : {static_cast<long long>(tally.hits), tally.stake, tally.paid})
        row.Number(race.Settled() ? std::to_string(n) : std::string());
    return row;
}

namespace {

// A CP932 text as HTML text.
std::string html(const std::string& cp932) {
    return HtmlText(toUtf8Lenient(cp932));
}

std::string htmlTable(const TLedgerTable& table) {
    std::string out = "<table>\n<tr>";
    for (const std::string& heading : table.headings)
        out += "<th>" + html(heading) + "</th>";
    out += "</tr>\n";
    for (const auto& row : table.rows) {
        out += "<tr>";
        for (std::size_t c = 0; c < row.size(); ++c)
            out += (c == 0 ? "<th>" : "<td>") + html(row[c]) + (c == 0 ? "</th>" : "</td>");
        out += "</tr>\n";
    }
    return out + "</table>\n";
}

std::string svgColor(TRgb rgb) {
    return Format("#%.6X", static_cast<unsigned>(rgb));
}

std::string chartSvg(const TChart& chart) {
    std::string svg = Format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" "
                             "height=\"%g\" viewBox=\"0 0 %g %g\">\n",
                             chart.width, chart.height, chart.width, chart.height);
    auto pointsText = [](const std::vector<TChartPoint>& points) {
        std::string text;
        for (const TChartPoint& p : points)
            text += Format("%s%.1f,%.1f", text.empty() ? "" : " ", p.x, p.y);
        return text;
    };
    for (const TChartArea& area : chart.areas)
        svg += Format("<polygon fill=\"%s\" stroke=\"none\" points=\"%s\"/>\n",
                      svgColor(area.color).c_str(), pointsText(area.points).c_str());
    for (const TChartLine& line : chart.lines) {
        const std::string points = pointsText(line.points);
        svg += Format("<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"%g\"%s "
                      "points=\"%s\"/>\n",
                      svgColor(line.color).c_str(), line.width,
                      line.dashed ? " stroke-dasharray=\"6 4\"" : "", points.c_str());
    }
    static const char* const anchors[] = {"start", "middle", "end"};
    for (const TChartText& text : chart.texts)
        svg += Format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"%s\" fill=\"%s\"%s>%s</text>\n",
                      text.at.x, text.at.y, anchors[static_cast<int>(text.anchor)],
                      svgColor(text.color).c_str(), text.bold ? " font-weight=\"bold\"" : "",
                      html(text.text).c_str());
    return svg + "</svg>\n";
}

constexpr const char* kStyle =
    "body{font-family:'IPAPGothic','IPAGothic',sans-serif;margin:1.5em;color:#333}"
    "table{border-collapse:collapse;margin:0.5em 0 1.5em}"
    "th,td{border:1px solid #999;padding:2px 8px}"
    "td{text-align:right}tr:first-child th{background:#e8e8f0}"
    "p.note{color:#8a1f11}svg{font-size:12px}";

// The comparison with the market: each part's table and sentence, the reliability chart
// after its table when a race gives it a point.
std::string marketHtml(const TMarketSection& market) {
    std::string section = "<h2>市場との比較</h2>\n";
    for (const TMarketPart& part : MarketParts(market)) {
        section += "<h3>" + html(part.title) + "</h3>\n";
        if (!part.table.headings.empty())
            section += htmlTable(part.table);
        section += "<p>" + html(part.sentence) + "</p>\n";
    }
    return market.calibration.races > 0 ? section + chartSvg(ReliabilityChart(market)) : section;
}

// One file of a ledger run: its name and its bytes.
struct TLedgerFile {
    std::string name;
    std::string bytes;
};

} // namespace

std::string LedgerCsv(const TLedger& ledger) {
    std::string csv =
        CsvStart({"date",  "venue", "race",   "runners", "kind", "mark1", "mark2", "mark3",
                  "mark4", "mark5", "mark6",  "pos1",    "pos2", "pos3",  "pos4",  "pos5",
                  "pos6",  "first", "second", "settled", "bets", "hits",  "stake", "return"});
    for (const TLedgerRace& race : ledger.races)
        csv += LedgerCsvRow(race).Line();
    return csv;
}

std::string LedgerHtml(const TLedgerSummary& summary, const std::vector<TBreakdown>& breakdowns,
                       const std::vector<THtmlSection>& more) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n"
                       "<title>RUV PELTON 成績集計</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<h1>成績集計</h1>\n";
    page += "<p>" + html(OverviewText(summary)) + "</p>\n";
    page += "<p>" + html(TimeDatabaseText(summary)) + "</p>\n";
    page += "<p class=\"note\">" + html(SnapshotNote()) + "</p>\n";
    page += "<h2>印</h2>\n" + htmlTable(MarkTable(summary));
    page += "<p class=\"note\">" + html(PlaceNote()) + "</p>\n";
    page += "<h2>買い目</h2>\n" + htmlTable(BetTable(summary));
    page += "<h2>場別</h2>\n" + htmlTable(VenueBetTable(summary));
    page += "<h2>月別</h2>\n" + htmlTable(MonthBetTable(summary));
    if (!breakdowns.empty()) {
        page += "<h2>条件別</h2>\n";
        for (const TBreakdown& breakdown : breakdowns)
            page += "<h3>" + html(DimensionName(breakdown.dimension)) + "</h3>\n" +
                    htmlTable(BreakdownTable(breakdown));
    }
    page += "<h2>推移</h2>\n";
    if (summary.settled > 0)
        page += chartSvg(LedgerChart(summary));
    if (const std::string note = ChartNote(summary); !note.empty())
        page += "<p class=\"note\">" + html(note) + "</p>\n";
    page += marketHtml(summary.market);
    for (const THtmlSection& section : more) {
        page += "<h2>" + html(section.title) + "</h2>\n<pre>";
        for (const std::string& line : section.lines)
            page += html(line) + "\n";
        page += "</pre>\n";
        if (!section.chart.lines.empty())
            page += chartSvg(section.chart);
    }
    return page + "</body>\n</html>\n";
}

std::vector<std::string> SummaryLines(const TLedgerSummary& summary, bool marketTables) {
    std::vector<std::string> lines{OverviewText(summary), TimeDatabaseText(summary), ""};
    for (const TLedgerTable& table : {MarkTable(summary), BetTable(summary)}) {
        for (std::string& line : TableLines(table))
            lines.push_back(std::move(line));
        lines.push_back("");
    }
    // ◎ against the favourite in one line, or every table of the comparison
    if (marketTables) {
        for (std::string& line : MarketLines(summary.market))
            lines.push_back(std::move(line));
        lines.push_back("");
    } else {
        lines.push_back(DifferencePart(summary.market).sentence);
    }
    lines.push_back(SnapshotNote());
    lines.push_back(PlaceNote());
    return lines;
}

std::vector<fs::path> WriteLedgerFiles(const TLedger& ledger, const TLedgerSummary& summary,
                                       const fs::path& folder,
                                       const std::vector<THtmlSection>& more) {
    // every file of a run joins this one set, so that they take their places together
    const std::vector<TBreakdown> breakdowns = Breakdowns(ledger.races);
    const TLedgerFile run[] = {{"ledger.csv", LedgerCsv(ledger)},
                               {"breakdown.csv", BreakdownCsv(breakdowns)},
                               {"ledger.html", LedgerHtml(summary, breakdowns, more)},
                               {"market.csv", MarketCsv(ledger.market)},
                               {"calibration.csv", CalibrationCsv(ledger.market)}};
    TFileSet files;
    for (const TLedgerFile& file : run)
        files.Write(folder / file.name, file.bytes);
    files.Commit();
    return files.Files();
}
