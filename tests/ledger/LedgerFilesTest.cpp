#include "ledger/LedgerFiles.h"

#include "support/OutputDays.h"
#include "ledger/LedgerTables.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// Two days of one settled race each: a hit at 12.3 and a miss.
TLedger twoDays() {
    TLedgerRace hit;
    hit.date = 20010106;
    hit.venue = J("中山");
    hit.number = 11;
    hit.runners = 12;
    hit.marked = {3, 7, 1, 2, 0, 0};
    hit.winOdds = {2.5f, 4.0f, 6.0f, 8.0f, 0, 0};
    hit.bets = {{3, 7, 12.3f}, {1, 3, 20.0f}};
    hit.results = {4, 5, 1, 6, 7, 8, 2, 9, 10, 11, 12, 3};
    TLedgerRace miss = hit;
    miss.date = 20010107;
    miss.results = {1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12};
    TLedger ledger;
    ledger.races = {hit, miss};
    ledger.days = 2;
    return ledger;
}

} // namespace

TEST(LedgerFilesTest, WritesTheCsvFilesAndThePageWholeIntoTheFolderAndNothingElse) {
    TWorkFolder out;
    const TLedger ledger = twoDays();
    const TLedgerSummary summary = Summarize(ledger);
    WriteBinaryFile(out.path() / "ledger.csv", "an older ledger, replaced");
    const std::vector<fs::path> written = WriteLedgerFiles(ledger, summary, out.path());
    const std::vector<std::string> files{"breakdown.csv", "calibration.csv", "ledger.csv",
                                         "ledger.html", "market.csv"};
    EXPECT_EQ(written,
              (std::vector<fs::path>{out.path() / "ledger.csv", out.path() / "breakdown.csv",
                                     out.path() / "ledger.html", out.path() / "market.csv",
                                     out.path() / "calibration.csv"}));
    EXPECT_EQ(FolderEntries(out.path()), files);
    EXPECT_EQ(ReadBytes(out.path() / "ledger.csv"), LedgerCsv(ledger));
    EXPECT_EQ(ReadBytes(out.path() / "breakdown.csv"), BreakdownCsv(Breakdowns(ledger.races)));
    EXPECT_EQ(SplitLines(ReadBytes(out.path() / "ledger.csv")).back(),
              "2001-01-07,中山,11,12,馬連,3,7,1,2,,,4,7,1,2,,,1,2,1,3-7 1-3,0,200,0");
    EXPECT_EQ(ReadBytes(out.path() / "ledger.html"), LedgerHtml(summary, Breakdowns(ledger.races)));

    // a folder that is not there: an error naming the file, and nothing written anywhere
    const fs::path absent = out.path() / "absent";
    try {
        WriteLedgerFiles(ledger, summary, absent);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()),
                  J("入出力エラー(作成): ") + (absent / "ledger.csv").string() +
                      J(" (ファイルまたはフォルダがありません (No such file or directory))"));
    }
    EXPECT_FALSE(fs::exists(absent));
    EXPECT_EQ(FolderEntries(out.path()), files);
}

TEST(LedgerFilesTest, ThePageIsSelfContainedAndShowsTheTablesTheNoteAndTheChart) {
    const std::string page = LedgerHtml(Summarize(twoDays()));
    for (const char* absent : {"<script", "src=", "href=", "<link", "url(", "@import"})
        EXPECT_EQ(page.find(absent), std::string::npos) << absent;
    for (const std::string present :
         {"<meta charset=\"UTF-8\">",
          "<p>期間 2001-01-06～2001-01-07  開催日 2  レース 2  確定 2  未確定 0  結果不明の出走馬 "
          "0</p>",
          "<p "
          "class=\"note\">払戻はオッズのスナップショットから計算した値で、確定配当ではありません。<"
          "/p>",
          "<tr><th>◎</th><td>2</td><td>1</td><td>50.0%</td><td>1</td><td>50.0%</td><td>2</td>"
          "<td>1</td><td>50.0%</td><td>125.0%</td><td>―</td><td>―</td></tr>",
          "<tr><th>馬連</th><td>2</td><td>4</td><td>1</td><td>1</td><td>50.0%</td><td>400</td>"
          "<td>1,230</td><td>307.5%</td></tr>",
          "<tr><th>中山</th>", "<tr><th>2001-01</th>", "<h2>推移</h2>\n<svg ",
          // the running return rate over the two days: 307.5% after the first, 307.5% after
          // the second, under the titles of the two panels
          "回収率の推移（累計）", "投資と払戻の推移（累計）", "1/6</text>", "1/7</text>"})
        EXPECT_NE(page.find(present), std::string::npos) << present;
}

// A day without a settled race is no flat point on the chart but a note under it; with no
// settled race at all the page says that no result is known yet and draws no chart.
TEST(LedgerFilesTest, DaysWithoutResultsAreLeftOutOfTheChartAndCounted) {
    TLedger withLastDayOpen = twoDays();
    TLedgerRace open = withLastDayOpen.races.back();
    open.date = 20010108;
    open.results.assign(open.results.size(), runResult::kUnknown);
    withLastDayOpen.races.push_back(open);
    TLedger nothingSettled;
    nothingSettled.races = {open};
    const struct {
        const char* name;
        TLedger ledger;
        bool chart;
        const char* note;
    } cases[] = {
        {"the last day open", withLastDayOpen, true,
         "結果のわかったレースがない開催日 1 日は、グラフに入れていません。"},
        {"nothing settled", nothingSettled, false,
         "結果のわかったレースがまだないため、推移のグラフはありません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string page = LedgerHtml(Summarize(c.ledger));
        EXPECT_EQ(page.find("<svg ") != std::string::npos, c.chart);
        EXPECT_EQ(page.find("1/8</text>"), std::string::npos);
        EXPECT_NE(page.find(std::string("<p class=\"note\">") + c.note + "</p>"),
                  std::string::npos);
    }
}
