#include "ledger/SeasonLedger.h"

#include "support/OutputDays.h"
#include "ledger/LedgerFiles.h"
#include "ledger/LedgerSummary.h"
#include "ledger/LedgerTables.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/OddsWriter.h"
#include "sampleday/SampleSeason.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The key of runner `runner` of race `race` on the first day.
std::string keyOf(int race, int runner) {
    return Format("A%.2d%.2d00", race, runner);
}

// A result that a later day's horse record gives a runner of the first day's race.
struct TCarried {
    int race;
    int runner;
    const char* position;
    const char* course = "04"; // 東京, where the first day's races are run
    std::size_t slot = 0;      // the past run that holds it
};

// The first day, 2001-01-06 at 東京: six races whose marks follow from the figures (runner
// 1 a clear leader: ◎1 ○2 ▲3 △4 ×5 ×6, bets 1-2 1-3 1-4 1-5 1-6 2-3).
SampleDay firstDay() {
    const std::vector<int> ten{120, 110, 100, 95, 90, 85, 80, 75, 70, 65};
    SampleDay day;
    day.races = {FormRace("04", 1, ten),                                     // 馬連, a hit
                 FormRace("04", 2, {120, 110, 100, 95, 90, 85}),             // 枠連, a refund
                 FormRace("04", 3, {120, 110, 100, 95, 90}, true),           // 見送り
                 FormRace("04", 4, {120, 110, 100, 95, 90, 85, 80, 75, 70}), // not settled
                 FormRace("04", 5, ten),                                     // a dead heat
                 FormRace("04", 6, ten)};                                    // a miss
    for (std::size_t i = 0; i < day.races.size(); ++i) {
        day.races[i].date = "20010106";
        for (std::size_t k = 0; k < day.races[i].runners.size(); ++k)
            day.races[i].runners[k].key = keyOf(static_cast<int>(i) + 1, static_cast<int>(k) + 1);
    }
    return day;
}

SampleDayOdds firstDayOdds() {
    SampleDayOdds odds(6);
    odds[0].quinella[{1, 2}] = "0000123"; // 12.3
    odds[0].quinella[{1, 6}] = "       "; // no odds: not staked
    odds[4].quinella[{2, 3}] = "0000456"; // 45.6
    return odds;
}

// The runners of a later day that carry the first day's results in their past runs.
SampleDay carryingDay(const std::string& date, const std::vector<TCarried>& carried) {
    SampleDay day;
    SampleRace race;
    for (const TCarried& c : carried) {
        if (race.runners.size() == 18) {
            day.races.push_back(race);
            race.runners.clear();
        }
        SampleRunner runner = FormRunner(1, 1, 100);
        runner.key = keyOf(c.race, c.runner);
        SamplePastRun& run = runner.pastRuns[c.slot];
        run.course = c.course;
        run.date = "20010106";
        run.position = c.position;
        race.runners.push_back(runner);
    }
    day.races.push_back(race);
    for (std::size_t i = 0; i < day.races.size(); ++i) {
        day.races[i].date = date;
        day.races[i].raceNumber = Format("%.2zu", i + 1);
    }
    return day;
}

// The results a later day gives the runners of one first-day race, runner 1 first ("": that
// runner is not carried).
std::vector<TCarried> carried(int race, const std::vector<const char*>& positions) {
    std::vector<TCarried> runs;
    for (std::size_t k = 0; k < positions.size(); ++k)
        if (*positions[k] != '\0')
            runs.push_back({race, static_cast<int>(k) + 1, positions[k]});
    return runs;
}

// The second day gives most results; the third gives a later record of one of them (not
// taken: the earliest later day holds) and the only record of another.
std::vector<TCarried> secondDayRuns() {
    std::vector<TCarried> runs;
    for (const auto& race : {
             carried(1, {"02", "01", "03", "04", "31", "05", "06", "07", "08", "09"}),
             carried(2, {"01", "03", "34", "02", "04", "05"}),
             carried(3, {"02", "01", "03", "04", "05"}),
             // run at 中山 on that day: not the race at 東京
             std::vector<TCarried>{{4, 2, "02", "05"}},
             carried(5, {"03", "01", "01", "04", "05", "06", "07", "08", "09", "10"}),
             carried(6, {"", "", "", "", "", "", "01", "02"}),
         })
        runs.insert(runs.end(), race.begin(), race.end());
    return runs;
}
const std::vector<TCarried> kThirdDay{{1, 3, "07", "04", 1}, {4, 1, "01"}};

// A folder of day archives with their RUV odds archives, and a time database under which
// each runner's figure is the one FormRunner gives it.
class SeasonFolder {
public:
    SeasonFolder() {
        fs::create_directories(folder() / "time");
        WriteTimeDb(folder() / "time", FormTimeDb());
        settings.Folder.Time = (folder() / "time" / "").string();
    }

    fs::path folder() const { return m_folder.path(); }

    void addDay(const SampleDay& day, const SampleDayOdds& odds = {}) {
        const std::string code = day.races.front().date.substr(2);
        WriteDayArchive(folder() / ("rv" + code + ".lzh"), day);
        WriteRuvOddsArchive(folder(), code, day, odds);
        if (!settings.Folder.DrnRx.empty())
            WriteRxFile(settings.Folder.DrnRx, day, odds);
    }

    // The odds are read from RX files first, which hold place odds.
    void useRxFiles() {
        fs::create_directories(folder() / "rx");
        settings.Folder.DrnRx = (folder() / "rx" / "").string();
        settings.Other.DrnRx = 1;
    }

    // The three days above.
    void addHandBuiltDays() {
        addDay(firstDay(), firstDayOdds());
        addDay(carryingDay("20010107", secondDayRuns()));
        addDay(carryingDay("20010113", kThirdDay));
    }

    TLedger run(TLedgerRange range = {}, const TOutputProgress& progress = {}) const {
        return TSeasonLedger(settings, folder(), range, folder() / "store.sqlite").Run(progress);
    }

    TSettings settings;

private:
    TWorkFolder m_folder;
};

constexpr TLedgerRange kFirstDayOnly{0, 20010106};

std::vector<std::string> csvLines(const TLedger& ledger) {
    std::vector<std::string> lines = SplitLines(LedgerCsv(ledger));
    return std::vector<std::string>(lines.begin() + 1, lines.end());
}

std::vector<std::string> utf8Row(const std::vector<std::string>& cp932) {
    std::vector<std::string> row;
    for (const std::string& cell : cp932)
        row.push_back(toUtf8(cell));
    return row;
}

using Rows = std::vector<std::vector<std::string>>;

Rows utf8Rows(const TLedgerTable& table) {
    Rows rows;
    for (const auto& row : table.rows)
        rows.push_back(utf8Row(row));
    return rows;
}

class HandBuiltSeasonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_season = std::make_unique<SeasonFolder>();
        s_season->addHandBuiltDays();
        s_ledger = s_season->run(kFirstDayOnly);
    }
    static void TearDownTestSuite() { s_season.reset(); }

    static std::unique_ptr<SeasonFolder> s_season;
    static TLedger s_ledger;
};

std::unique_ptr<SeasonFolder> HandBuiltSeasonTest::s_season;
TLedger HandBuiltSeasonTest::s_ledger;

} // namespace

TEST_F(HandBuiltSeasonTest, EachRaceIsOneCsvRowWithItsMarksResultsAndBets) {
    EXPECT_TRUE(s_ledger.problems.empty()) << toUtf8Lenient(s_ledger.problems.front());
    const std::string csv = LedgerCsv(s_ledger);
    ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF"
                                "date,venue,race,runners,kind,mark1,mark2,mark3,mark4,mark5,"
                                "mark6,pos1,pos2,pos3,pos4,pos5,pos6,first,second,settled,bets,"
                                "hits,stake,return\r\n"));
    const std::string bets = "1-2 1-3 1-4 1-5 1-6 2-3";
    const std::vector<std::string> expected{
        // a quinella hit at 12.3; the bet 1-6 has no odds and is not staked
        "2001-01-06,東京,1,10,馬連,1,2,3,4,5,6,2,1,3,4,落馬,5,2,1,1," + bets + ",1,500,1230",
        // runner 3 scratched: 1-3 and 2-3 refunded; the bracket quinella 1-4 pays 21.4
        "2001-01-06,東京,2,6,枠連,1,2,3,4,5,6,1,3,取消,2,4,5,1,4,1," + bets + ",1,400,2140",
        "2001-01-06,東京,3,5,見送り,1,2,3,4,5,,2,1,3,4,5,,2,1,1,,0,0,0",
        // the second place never ran again at 東京 that day: not settled
        "2001-01-06,東京,4,9,馬連,1,2,3,4,5,6,1,,,,,,1,,0," + bets + ",,,",
        // a dead heat for first between 2 and 3: the bet 2-3 hits at 45.6
        "2001-01-06,東京,5,10,馬連,1,2,3,4,5,6,3,1,1,4,5,6,2,3,1," + bets + ",1,600,4560",
        "2001-01-06,東京,6,10,馬連,1,2,3,4,5,6,,,,,,,7,8,1," + bets + ",0,600,0",
    };
    EXPECT_EQ(csvLines(s_ledger), expected);
}

TEST_F(HandBuiltSeasonTest, TheSummaryCountsTheSettledRacesOnly) {
    const TLedgerSummary summary = Summarize(s_ledger);
    EXPECT_EQ(toUtf8(OverviewText(summary)), "期間 2001-01-06～2001-01-06  開催日 1  レース 6  "
                                             "確定 5  未確定 1  結果不明の出走馬 16");
    // ▲ of race 2 was scratched and is left out; the win return pays 1.5, 2.5 and 3.5; the
    // RUV odds hold no place odds
    EXPECT_EQ(utf8Rows(MarkTable(summary)),
              (Rows{{"◎", "5", "1", "20.0%", "3", "60.0%", "4", "4", "100.0%", "30.0%", "―", "―"},
                    {"○", "5", "3", "60.0%", "3", "60.0%", "4", "4", "100.0%", "150.0%", "―", "―"},
                    {"▲", "4", "1", "25.0%", "1", "25.0%", "3", "3", "100.0%", "87.5%", "―", "―"},
                    {"△", "5", "0", "0.0%", "1", "20.0%", "4", "1", "25.0%", "0.0%", "―", "―"},
                    {"×5", "5", "0", "0.0%", "0", "0.0%", "4", "0", "0.0%", "0.0%", "―", "―"},
                    {"×6", "4", "0", "0.0%", "0", "0.0%", "3", "0", "0.0%", "0.0%", "―", "―"},
                    {"×", "9", "0", "0.0%", "0", "0.0%", "7", "0", "0.0%", "0.0%", "―", "―"}}));
    EXPECT_EQ(utf8Row(BetTable(summary).headings),
              (std::vector<std::string>{"式別", "購入R", "点数", "的中", "的中R", "的中率", "投資",
                                        "払戻", "回収率"}));
    EXPECT_EQ(utf8Rows(BetTable(summary)),
              (Rows{{"枠連", "1", "4", "1", "1", "100.0%", "400", "2,140", "535.0%"},
                    {"馬連", "3", "18", "2", "2", "66.7%", "1,700", "5,790", "340.6%"},
                    {"合計", "4", "22", "3", "3", "75.0%", "2,100", "7,930", "377.6%"}}));
    EXPECT_EQ(utf8Rows(VenueBetTable(summary)),
              (Rows{{"東京", "6", "5", "4", "22", "3", "3", "75.0%", "2,100", "7,930", "377.6%"}}));
    EXPECT_EQ(utf8Rows(MonthBetTable(summary)), (Rows{{"2001-01", "6", "5", "4", "22", "3", "3",
                                                       "75.0%", "2,100", "7,930", "377.6%"}}));
}

// With RX odds each mark's place ticket pays the lower bound of its place odds (runner n:
// 1.n) on the top three of a field of 8 or more starters and on the top two of 5 to 7; the
// races without the third place known are left out.
TEST(SeasonLedgerTest, ThePlaceReturnOfTheMarksRestsOnTheRacesWithRxOdds) {
    SeasonFolder season;
    season.useRxFiles();
    season.addHandBuiltDays();
    Rows places;
    for (const auto& row : utf8Rows(MarkTable(Summarize(season.run(kFirstDayOnly)))))
        places.push_back({row[0], row[10], row[11]});
    EXPECT_EQ(places, (Rows{{"◎", "4", "110.0%"},
                            {"○", "4", "90.0%"},
                            {"▲", "3", "86.7%"},
                            {"△", "4", "35.0%"},
                            {"×5", "4", "0.0%"},
                            {"×6", "3", "0.0%"},
                            {"×", "7", "0.0%"}}));
}

TEST(SeasonLedgerTest, TheRangeChoosesTheDaysWhoseRacesAreKept) {
    SeasonFolder season;
    season.addHandBuiltDays();
    const struct {
        TLedgerRange range;
        int days;
        std::size_t races;
        const char* firstRow; // how the first row begins
    } cases[] = {
        // later days are still read for the results
        {kFirstDayOnly, 1, 6, "2001-01-06,東京,1,10,馬連,1,2,3,4,5,6,2,1,3,"},
        // the days after the first are kept too, their races not settled
        {{}, 3, 6 + 2 + 1, "2001-01-06,東京,1,10,馬連,1,2,3,4,5,6,2,1,3,"},
        {{20010107, 0}, 2, 2 + 1, "2001-01-07,東京,1,18,"},
        {{20010113, 20010113}, 1, 1, "2001-01-13,東京,1,2,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range.from * 100000000LL + c.range.to);
        const TLedger ledger = season.run(c.range);
        EXPECT_EQ(ledger.days, c.days);
        EXPECT_EQ(ledger.races.size(), c.races);
        EXPECT_TRUE(csvLines(ledger).front().starts_with(c.firstRow)) << csvLines(ledger).front();
    }
    EXPECT_THROW(
        {
            try {
                season.run({20010114, 0});
            } catch (const ELedgerError& e) {
                EXPECT_EQ(toUtf8(e.what()),
                          season.folder().string() + "に期間内の開催日のデータがありません");
                throw;
            }
        },
        ELedgerError);
}

TEST(SeasonLedgerTest, AnArchiveThatCannotBeReadIsNamedAndSkipped) {
    SeasonFolder season;
    season.addHandBuiltDays();
    WriteBinaryFile(season.folder() / "rv010107.lzh", "not an archive");
    const TLedger ledger = season.run(kFirstDayOnly);
    EXPECT_EQ(ledger.skippedArchives, 1);
    ASSERT_EQ(ledger.problems.size(), 1u);
    EXPECT_EQ(toUtf8(ledger.problems[0]), "rv010107.lzh: ruv_den1.kd2がオープンできません\n" +
                                              (season.folder() / "rv010107.lzh").string() +
                                              " はLZHアーカイブではありません");
    // the third day still gives its results: race 1's ▲ was 7th there, race 4's ◎ won
    const std::vector<std::string> rows = csvLines(ledger);
    EXPECT_EQ(rows[0],
              "2001-01-06,東京,1,10,馬連,1,2,3,4,5,6,,,7,,,,,,0,1-2 1-3 1-4 1-5 1-6 2-3,,,");
    EXPECT_TRUE(rows[3].starts_with("2001-01-06,東京,4,9,馬連,1,2,3,4,5,6,1,,")) << rows[3];
    EXPECT_TRUE(toUtf8(OverviewText(Summarize(ledger))).ends_with("  読めなかったアーカイブ 1"));
}

TEST(SeasonLedgerTest, AFolderWithoutDayArchivesIsAClearError) {
    SeasonFolder season;
    const fs::path folder = season.folder();
    // only names that are not rv + YYMMDD + .lzh
    for (const char* name : {"j010106.lzh", "rv0101.lzh", "rv01010a.lzh", "rv010106.lzh.bak"})
        WriteBinaryFile(folder / name, "x");
    fs::create_directories(folder / "rv010107.lzh"); // a folder, not an archive
    const struct {
        fs::path folder;
        std::string message;
    } cases[] = {
        {folder,
         folder.string() + "に読める開催日のデータがありません\nrv010107.lzh: フォルダです"},
        {folder / "absent", (folder / "absent").string() + "がオープンできません"},
    };
    for (const auto& c : cases) {
        try {
            TSeasonLedger(season.settings, c.folder);
            ADD_FAILURE() << "no error for " << c.folder;
        } catch (const ELedgerError& e) {
            EXPECT_EQ(toUtf8(e.what()), c.message);
        }
    }
}

TEST(SeasonLedgerTest, CancelStopsBeforeTheNextDayAndKeepsTheDaysRead) {
    SeasonFolder season;
    season.addHandBuiltDays();
    std::vector<std::string> texts;
    auto cancelAt = [&texts](int last) {
        return [&texts, last](int position, int, const std::string& text) {
            texts.push_back(toUtf8(text));
            return position <= last;
        };
    };
    const TLedger cancelled = season.run(kFirstDayOnly, cancelAt(1));
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.races.empty());
    EXPECT_EQ(texts, (std::vector<std::string>{"処理数  1/3", "処理数  2/3"}));
    // the next run reads only the two days the first did not
    texts.clear();
    const TLedger ledger = season.run(kFirstDayOnly, cancelAt(2));
    EXPECT_FALSE(ledger.cancelled);
    EXPECT_EQ(texts, (std::vector<std::string>{"処理数  1/2", "処理数  2/2"}));
    EXPECT_EQ(LedgerCsv(ledger), LedgerCsv(season.run(kFirstDayOnly)));
}

TEST(SeasonLedgerTest, AGeneratedSeasonSettlesItsEarlyRacesAndItsMarksCarryInformation) {
    SeasonFolder season;
    WriteSampleSeason(season.folder(), {4, 1});
    const TLedger ledger = season.run();
    EXPECT_TRUE(ledger.problems.empty());
    ASSERT_EQ(ledger.days, 4);
    ASSERT_EQ(ledger.races.size(), 48u);
    int settledEarly = 0;
    for (std::size_t i = 0; i < 24; ++i)
        settledEarly += ledger.races[i].Settled() ? 1 : 0;
    // most runners of the first weekend run again on the next
    EXPECT_GE(settledEarly, 12);
    const TLedgerSummary summary = Summarize(ledger);
    const TMarkTally& top = summary.marks[0];
    const TMarkTally& last = summary.marks[4];
    // ◎ wins far more often than one runner in twelve, and more often than ×
    EXPECT_GT(top.wins * 4, top.runners) << top.wins << "/" << top.runners;
    EXPECT_GT(top.wins * last.runners, last.wins * top.runners * 3);
}
