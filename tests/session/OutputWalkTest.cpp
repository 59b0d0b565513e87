#include "support/OutputDays.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/WriteLimit.h"
#include "odds/Odds.h"
#include "race/RaceBase.h"
#include "race/RaceRuv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

// Two venues, the second race of each without bets.
SampleDay twoVenues() {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("00", 1), FormRace("04", 2, {120, 110, 100}, true),
                 FormRace("00", 2, {0, 0, 0})};
    return day;
}

// What the progress callback saw.
struct Progress {
    std::vector<int> positions;
    std::vector<int> totals;
    std::vector<std::string> texts;
    int stopAt = 0; // position at which to ask for the stop; 0: never

    TOutputProgress callback() {
        return [this](int position, int total, const std::string& text) {
            positions.push_back(position);
            totals.push_back(total);
            texts.push_back(text);
            return position != stopAt;
        };
    }
};

// The race key of the race that the session holds.
std::string currentRace(OutputDay& d) {
    return d.session().Race().RaceKey();
}

} // namespace

TEST(OutputWalkTest, BatchOutputWithEveryFileOffWalksEveryRaceAndWritesNothing) {
    OutputDay d(twoVenues());
    d.settings.File.TextOut = d.settings.File.HtmlOut = d.settings.File.WarsOut =
        d.settings.File.RuvOut = 0;
    Progress p;
    TDaySession::TOutputSummary s = d.run(TOutputCommand::All, p.callback());
    EXPECT_EQ(s.races, 4);
    EXPECT_FALSE(s.cancelled);
    EXPECT_TRUE(s.files.empty());
    EXPECT_EQ(p.positions, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(d.files().empty());
    // the last race was selected, its odds read and its prediction computed
    EXPECT_EQ(currentRace(d), "200101280802"); // 京都 2R
    EXPECT_NE(d.session().Odds().Count(), 0);
}

struct CommandCase {
    const char* name;
    TOutputCommand command;
    Names files;
    const char* firstLineOf; // the file whose first line is checked
    std::string firstLine;   // how it begins
    bool readsOdds;
};

class OutputCommandTest : public ::testing::TestWithParam<CommandCase> {};

// Each single-file command writes its own file whatever the batch switches say; the
// WARS command writes the WARS contest file and the RUV command the RUV text file.
TEST_P(OutputCommandTest, WritesExactlyItsOwnFile) {
    const CommandCase& c = GetParam();
    OutputDay d(twoVenues());
    d.settings.File.TextOut = d.settings.File.HtmlOut = d.settings.File.WarsOut =
        d.settings.File.RuvOut = 0;
    TDaySession::TOutputSummary s = d.run(c.command);
    EXPECT_EQ(d.files(), c.files);
    EXPECT_EQ(s.files.size(), c.files.size());
    const std::string start = J(c.firstLine);
    EXPECT_EQ(d.lines(c.firstLineOf).at(0).substr(0, start.size()), start);
    EXPECT_EQ(d.session().Odds().Count() != 0, c.readsOdds);
}

INSTANTIATE_TEST_SUITE_P(Commands, OutputCommandTest,
                         ::testing::Values(CommandCase{"Text",
                                                       TOutputCommand::Text,
                                                       {"s2001012800.txt", "s2001012804.txt"},
                                                       "s2001012800.txt",
                                                       "    RUV PELTON version ",
                                                       true},
                                           CommandCase{"Html",
                                                       TOutputCommand::Html,
                                                       {"s2001012800.htm", "s2001012804.htm"},
                                                       "s2001012804.htm",
                                                       "<HTML><HEAD><TITLE></TITLE></HEAD><center>",
                                                       true},
                                           CommandCase{"Wars",
                                                       TOutputCommand::Wars,
                                                       {"w20010128.txt"},
                                                       "w20010128.txt",
                                                       std::string(76, '-'),
                                                       false},
                                           CommandCase{"Ruv",
                                                       TOutputCommand::Ruv,
                                                       {"q20010128.txt"},
                                                       "q20010128.txt",
                                                       "東京--- 1Ｒ-20010128-[A006]--- RUV PELTON ",
                                                       false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OutputWalkTest, CancelStopsBeforeTheNextRace) {
    OutputDay d(twoVenues());
    Progress p;
    p.stopAt = 3;
    TDaySession::TOutputSummary s = d.run(TOutputCommand::All, p.callback());
    EXPECT_TRUE(s.cancelled);
    EXPECT_EQ(s.races, 2);
    EXPECT_EQ(p.positions, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(currentRace(d), "200101280801"); // race 3 (東京 2R) was never selected
    const std::vector<std::string> tokyo = d.lines("s2001012804.txt");
    EXPECT_EQ(std::count(tokyo.begin(), tokyo.end(), std::string(79, '=')), 1);
    EXPECT_EQ(d.files(), (Names{"q20010128.txt", "s2001012800.htm", "s2001012800.txt",
                                "s2001012804.htm", "s2001012804.txt", "w20010128.txt"}));
}

TEST(OutputWalkTest, TheCountTextShowsThePositionInTwoColumnsAndTheTotal) {
    SampleDay day;
    for (int number = 1; number <= 12; ++number)
        day.races.push_back(FormRace("04", number, {0, 0, 0}));
    OutputDay d(day);
    Progress p;
    d.run(TOutputCommand::Wars, p.callback());
    ASSERT_EQ(p.texts.size(), 12u);
    EXPECT_EQ(p.texts[2], J("処理数  3/12"));
    EXPECT_EQ(p.texts[11], J("処理数 12/12"));
    EXPECT_EQ(p.totals, std::vector<int>(12, 12));
}

TEST(OutputWalkTest, RunningACommandAgainRewritesEveryFile) {
    OutputDay d(twoVenues());
    d.run(TOutputCommand::All);
    std::map<std::string, std::string> first;
    for (const std::string& name : d.files())
        first[name] = d.read(name);
    ASSERT_EQ(first.size(), 6u);
    d.run(TOutputCommand::All);
    for (const auto& [name, bytes] : first)
        EXPECT_EQ(d.read(name), bytes) << name;
}

TEST(OutputWalkTest, AMissingOutputFolderStopsTheWalkAtTheFirstFile) {
    OutputDay d(twoVenues());
    const fs::path missing = d.folder() / "missing";
    d.settings.Folder.OutTxt = (missing / "").string();
    Progress p;
    try {
        d.run(TOutputCommand::All, p.callback());
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()),
                  J("入出力エラー(作成): ") + (missing / "s2001012804.txt").string() +
                      J(" (ファイルまたはフォルダがありません (No such file or directory))"));
    }
    EXPECT_EQ(p.positions, std::vector<int>{1});
    EXPECT_FALSE(fs::exists(missing));
}

// The files of a run take their place only when it ends: a run that fails leaves every
// file of the folder as it was, whole, and no file of its own behind.
TEST(OutputWalkTest, AFailedRunLeavesEveryFileAsItWas) {
    OutputDay d(twoVenues());
    d.run(TOutputCommand::All);
    std::map<std::string, std::string> before;
    for (const std::string& name : d.files())
        before[name] = d.read(name);
    fs::remove(d.out() / "s2001012800.htm");
    fs::create_directories(d.out() / "s2001012800.htm" / "in the way");
    d.settings.File.RuvFormat = 0; // the run would write other bytes
    try {
        d.run(TOutputCommand::All);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), J("入出力エラー(作成): ") +
                                             (d.out() / "s2001012800.htm").string() +
                                             J(" (フォルダです (Is a directory))"));
    }
    before.erase("s2001012800.htm");
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(d.read(name), bytes) << name;
    EXPECT_EQ(d.files(), (Names{"q20010128.txt", "s2001012800.htm", "s2001012800.txt",
                                "s2001012804.htm", "s2001012804.txt", "w20010128.txt"}));
}

// A disk that fills up after any number of bytes: the command names the file it was
// writing, every file that was there holds its earlier content whole, and the run's own
// files are gone.
TEST(OutputWalkTest, AFullDiskLosesNothing) {
    OutputDay d(twoVenues());
    d.run(TOutputCommand::All);
    std::map<std::string, std::string> before;
    std::size_t total = 0;
    for (const std::string& name : d.files()) {
        before[name] = d.read(name);
        total += before[name].size();
    }
    d.settings.File.RuvFormat = d.settings.File.WarsFormat = 0; // the run writes other bytes
    std::set<std::string> failedIn;
    for (std::size_t limit = 0; limit < total; limit += total / 32) {
        SetWriteLimit(limit);
        std::string error;
        try {
            d.run(TOutputCommand::All);
        } catch (const EInOutError& e) {
            error = e.what();
        }
        SetWriteLimit(std::nullopt);
        const std::string prefix = J("入出力エラー(書き込み): ") + (d.out() / "").string();
        const std::string suffix = J(" (ディスクに空きがありません (No space left on device))");
        ASSERT_TRUE(error.starts_with(prefix) && error.ends_with(suffix)) << limit << ": " << error;
        const std::string file =
            error.substr(prefix.size(), error.size() - prefix.size() - suffix.size());
        EXPECT_EQ(before.count(file), 1u) << error;
        failedIn.insert(file);
        for (const auto& [name, bytes] : before)
            EXPECT_EQ(d.read(name), bytes) << limit << " " << name;
        EXPECT_EQ(d.files().size(), before.size()) << limit;
    }
    EXPECT_EQ(failedIn.size(), before.size()); // the disk filled up in each of the files
    d.run(TOutputCommand::All);
    EXPECT_NE(d.read("q20010128.txt"), before["q20010128.txt"]);
}

// Course code 10 is no central racecourse; racecourse number 10 is 小倉's (code 03).
TEST(OutputWalkTest, ARaceOfACourseCodeBeyondTheCentralOnesIsNeverFiledAsAnotherVenues) {
    SampleDay day;
    day.races = {FormRace("03", 1), FormRace("10", 2), FormRace("03", 3)};
    OutputDay d(day);
    try {
        d.run(TOutputCommand::All);
        FAIL() << "no error";
    } catch (const ERaceRuvDataError& e) {
        EXPECT_EQ(std::string(e.what()),
                  J("競馬場コード10は中央の競馬場ではありません(20010128 2R)"));
    }
    // a run that fails puts none of its files in place
    EXPECT_EQ(d.files(), Names{});
}

TEST(OutputWalkTest, NoWalkWithoutAnOpenDayOrAPrediction) {
    TSettings settings;
    TDaySession session(settings);
    EXPECT_THROW(session.RunOutput(TOutputCommand::All, {}), std::logic_error);
    EXPECT_THROW(session.PrepareRace(0, true), std::logic_error);

    OutputDay d(twoVenues());
    d.session().FocusFree();
    EXPECT_THROW(d.run(TOutputCommand::Text), std::logic_error);
    EXPECT_TRUE(d.files().empty());
}
