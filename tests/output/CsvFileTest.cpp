#include "support/OutputDays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records = std::vector<std::vector<std::string>>;

constexpr const char* kHeadingLine =
    "日付,場所,R,レース名,芝ダート,距離,頭数,枠,馬番,馬名,性,齢,斤量,減量,騎手,騎手*,単勝,"
    "データ印,予想印,順位,5走前,4走前,3走前,2走前,前走,5走前指数,4走前指数,3走前指数,"
    "2走前指数,前走指数,券種,買い目";

} // namespace

// A day of two venues: 東京 1R with bets and a scratched runner, 京都 1R without odds
// and without scores (見送り).
TEST(CsvFileTest, TheDayIsOneUtf8FileWithAHeadingRowAndOneRowPerRunner) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("00", 1, {0, 0, 0})};
    day.races[0].name = "早春Ｓ";
    OutputDay d(day, {WinOddsText(2, "    "), NoOdds()});
    for (int run = 0; run < 2; ++run) { // a second run rewrites the file
        d.run(TOutputCommand::Csv);
        ASSERT_EQ(d.files(), std::vector<std::string>{"c20010128.csv"});
        const std::string text = d.read("c20010128.csv");
        ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
        const std::vector<std::string> lines = SplitLines(text.substr(3));
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[0], kHeadingLine);
        EXPECT_EQ(lines[1], "2001-01-28,東京,1,早春Ｓ,芝,1600,3,1,1,アオバ,牡,4,55,,騎手,,1.5,,◎,1,"
                            "120,120,'+120,'+120,'+120,120,120,120,120,120,枠番連勝,1-2 1-3 2-3");
        EXPECT_EQ(lines[2], "2001-01-28,東京,1,早春Ｓ,芝,1600,3,2,2,イチゴ,牡,4,55,,騎手,,,,○,2,"
                            "110,110,'+110,'+110,'+110,110,110,110,110,110,枠番連勝,1-2 1-3 2-3");
        EXPECT_EQ(lines[4],
                  "2001-01-28,京都,1,３歳以上未勝利,芝,1600,3,1,1,アオバ,牡,4,55,,騎手,,,,,,"
                  "－,－,－,－,－,,,,,,見送り,");
        EXPECT_EQ(ReadCsv(text.substr(3)).size(), 7u);
    }
}

// Fields are quoted only where the CSV rules ask for it, and read back whole; a name that
// a spreadsheet would run as a formula stays text.
TEST(CsvFileTest, FieldsAreQuotedOnlyWhereTheyMustBeAndNoNameIsAFormula) {
    const struct {
        const char* name;  // the race name as stored
        const char* field; // as the file holds it
    } cases[] = {
        {"早春Ｓ", "早春Ｓ"},
        {"G1,G2", "\"G1,G2\""},
        {"\"春\"の特別", "\"\"\"春\"\"の特別\""},
        {"一\r\n二", "\"一\r\n二\""},
        {"  余白 ", "余白"},
        {"=1+2*3", "'=1+2*3"},
        {"@SUM(1+1)", "'@SUM(1+1)"},
    };
    SampleDay day;
    for (const auto& c : cases) {
        day.races.push_back(FormRace("04", static_cast<int>(day.races.size()) + 1));
        day.races.back().name = c.name;
    }
    OutputDay d(day);
    d.run(TOutputCommand::Csv);
    const std::string text = d.read("c20010128.csv").substr(3);
    const Records records = ReadCsv(text);
    ASSERT_EQ(records.size(), 1 + 3 * std::size(cases));
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(cases[k].name);
        const std::string row = ",東京," + std::to_string(k + 1) + "," + cases[k].field + ",芝,";
        EXPECT_NE(text.find(row), std::string::npos);
        const std::string stored = cases[k].field[0] == '"' ? cases[k].name : cases[k].field;
        EXPECT_EQ(records[1 + 3 * k][3], stored);
    }
}
