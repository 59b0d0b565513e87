#include "support/OutputDays.h"

#include "output/Writers.h"
#include "platform/Cp932.h"
#include "platform/Version.h"
#include "race/RaceBase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

const char* const kWarsFile = "w20010128.txt";
const char* const kRuvFile = "q20010128.txt";
const std::string kWarsRule(76, '-');
const std::string kRuvClosing(72, '-');

std::string version() {
    return ProductVersion();
}

} // namespace

// ---- WARS contest file ----

struct WarsCase {
    int style;
    std::string tokyo;  // header line of 東京, 1st meeting, 8th day
    std::string kokura; // header line of 小倉, 2nd meeting, day stored as 12
};

class WarsFileTest : public ::testing::TestWithParam<WarsCase> {};

// Races without bets are left out, a venue without bets gets no header block, and a
// new venue gets its own block after an empty line.
TEST_P(WarsFileTest, HeaderBlocksAndRaceLines) {
    const WarsCase& c = GetParam();
    SampleDay day;
    day.races = {FormRace("04", 1, {120, 110, 100}, true), FormRace("04", 2),
                 FormRace("00", 1, {120, 110, 100}, true), FormRace("00", 2, {0, 0, 0}),
                 FormRace("03", 10, {120, 110, 100, 90, 80, 70, 60, 50, 40})};
    day.races[4].meeting = "02";
    day.races[4].day = "12";
    OutputDay d(day);
    d.settings.File.WarsFormat = static_cast<TFlag>(c.style);
    d.run(TOutputCommand::Wars);

    EXPECT_EQ(d.lines(kWarsFile), (Lines{kWarsRule, J(c.tokyo + version()), kWarsRule,
                                         " 2R   1    12    13    23                    | ", "",
                                         kWarsRule, J(c.kokura + version()), kWarsRule,
                                         "10R   1  1- 2  1- 3  1- 4  1- 5  1- 6  2- 3  | "}));
    EXPECT_EQ(d.files(), (std::vector<std::string>{kWarsFile}));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, WarsFileTest,
    ::testing::Values(
        WarsCase{0, "東京  ０１ 年 １ 回 ８ 日目 ０１月２８日（日）[0020] RUV PELTON ver",
                 "小倉  ０１ 年 ２ 回 ２ 日目 ０１月２８日（日）[0020] RUV PELTON ver"},
        WarsCase{1, "東京 2001年  1回  8日目  1月 28日(日) [0020] RUV PELTON ver",
                 "小倉 2001年  2回  2日目  1月 28日(日) [0020] RUV PELTON ver"},
        WarsCase{7, "東京 2001年  1回  8日目  1月 28日(日) [0020] RUV PELTON ver",
                 "小倉 2001年  2回  2日目  1月 28日(日) [0020] RUV PELTON ver"}),
    [](const auto& info) { return "Style" + std::to_string(info.param.style); });

// Each day's file is judged against its own last header block, so a venue that comes
// back after a race of another day still gets its header.
TEST(WarsFileTest, AVenueChangeIsJudgedWithinEachDaysFile) {
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("00", 1), FormRace("04", 2), FormRace("04", 3)};
    day.races[0].date = day.races[1].date = day.races[3].date = "20010127";
    OutputDay d(day);
    d.run(TOutputCommand::Wars);
    const std::string tokyo =
        J("東京 2001年  1回  8日目  1月 27日(土) [0020] RUV PELTON ver") + version();
    const std::string kyoto =
        J("京都 2001年  1回  8日目  1月 27日(土) [0020] RUV PELTON ver") + version();
    const std::string bets = "   1    12    13    23                    | ";
    EXPECT_EQ(d.lines("w20010127.txt"),
              (Lines{kWarsRule, tokyo, kWarsRule, " 1R" + bets, "", kWarsRule, kyoto, kWarsRule,
                     " 1R" + bets, "", kWarsRule, tokyo, kWarsRule, " 3R" + bets}));
    EXPECT_EQ(d.lines(kWarsFile).size(), 4u);
}

TEST(DayFilesTest, ADayWithoutBetsHasNeitherFile) {
    SampleDay day;
    day.races = {FormRace("04", 1, {120, 110, 100}, true), FormRace("00", 1, {0, 0, 0})};
    OutputDay d(day);
    d.run(TOutputCommand::Wars);
    d.run(TOutputCommand::Ruv);
    EXPECT_TRUE(d.files().empty());
}

// ---- RUV text file ----

struct RuvCase {
    int style;
    Lines lines; // the file for the races of RuvFileTest, version placeholders as "@"
};

class RuvFileTest : public ::testing::TestWithParam<RuvCase> {};

std::string newHeader(const std::string& venueAndRace, const char* postTime) {
    const std::string tag = " RUV PELTON " + version() + " ";
    return J(venueAndRace) + "-20010128-[A006]---" + tag +
           std::string(tag.size() < 35 ? 35 - tag.size() : 0, '-') + "(" + postTime + ")";
}

TEST_P(RuvFileTest, RaceBlocksAndOneClosingLine) {
    const RuvCase& c = GetParam();
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("04", 2, {120, 110, 100}, true),
                 FormRace("00", 3, {120, 110, 100, 90, 80, 70, 60, 50, 40})};
    OutputDay d(day);
    d.settings.File.RuvFormat = static_cast<TFlag>(c.style);
    d.run(TOutputCommand::Ruv);
    Lines expected;
    for (const std::string& line : c.lines)
        expected.push_back(J(line));
    const Lines lines = d.lines(kRuvFile);
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].size(), 72u);
    EXPECT_EQ(lines[4].size(), 72u);
    EXPECT_EQ(d.files(), (std::vector<std::string>{kRuvFile}));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RuvFileTest,
    ::testing::Values(
        RuvCase{0,
                {"  東京- 1Ｒ-20010128-[A006]" + std::string(45, '-'), "    単     1( 10)",
                 "    複     1( 20)", "    枠  1- 2( 20)  1- 3( 10)  2- 3( 10)",
                 "  京都- 3Ｒ-20010128-[A006]" + std::string(45, '-'), "    単     1( 10)",
                 "    複     1( 20)",
                 "    馬  1- 2( 20)  1- 3( 10)  1- 4( 10)  1- 5( 10)  1- 6( 10)  2- 3( 10)",
                 std::string(72, '-')}},
        RuvCase{1,
                {toUtf8(newHeader("東京--- 1Ｒ", "10:00")), "単勝       1( 10)",
                 "複勝       1( 20)", "枠連複  1- 2( 20)  1- 3( 10)  2- 3( 10)",
                 toUtf8(newHeader("京都--- 3Ｒ", "12:00")), "単勝       1( 10)",
                 "複勝       1( 20)",
                 "馬連複  1- 2( 20)  1- 3( 10)  1- 4( 10)  1- 5( 10)  1- 6( 10)  2- 3( 10)",
                 std::string(72, '-')}}),
    [](const auto& info) { return "Layout" + std::to_string(info.param.style); });

TEST(RuvFileTest, OneRaceGivesItsHeaderItsBetLinesAndTheClosingLine) {
    SampleDay day;
    day.races = {FormRace("04", 1)};
    OutputDay d(day);
    d.settings.File.RuvFormat = 0;
    d.run(TOutputCommand::Ruv);
    EXPECT_EQ(d.read(kRuvFile), J("  東京- 1Ｒ-20010128-[A006]") + std::string(45, '-') + "\r\n" +
                                    J("    単     1( 10)\r\n    複     1( 20)\r\n    枠  1- 2( 20) "
                                      " 1- 3( 10)  2- 3( 10)\r\n") +
                                    kRuvClosing + "\r\n");
}

// What happens to the file a run writes between two of its races.
struct RuvEditCase {
    const char* name;
    std::function<void(const fs::path&)> edit;
    bool keepsFirstRace;
};

class RuvFileEditTest : public ::testing::TestWithParam<RuvEditCase> {};

TEST_P(RuvFileEditTest, AFileThatLostItsClosingLineStartsAfresh) {
    const RuvEditCase& c = GetParam();
    SampleDay day;
    day.races = {FormRace("04", 1), FormRace("00", 2)};
    OutputDay d(day);
    TOutputRun run;
    d.session().PrepareRace(0, false);
    WriteRuvTextFile(d.session().OutputContext(), run);
    c.edit(run.WorkingFile(d.out() / kRuvFile));
    d.session().PrepareRace(1, false);
    WriteRuvTextFile(d.session().OutputContext(), run);
    run.Commit();

    const Lines lines = d.lines(kRuvFile);
    ASSERT_EQ(lines.size(), c.keepsFirstRace ? 9u : 5u);
    const std::string venue = J(c.keepsFirstRace ? "東京--- 1Ｒ" : "京都--- 2Ｒ");
    EXPECT_EQ(lines.front().substr(0, venue.size()), venue);
    EXPECT_EQ(lines.back(), kRuvClosing);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kRuvClosing), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, RuvFileEditTest,
    ::testing::Values(
        RuvEditCase{"Untouched", [](const fs::path&) {}, true},
        RuvEditCase{"ClosingLineCut",
                    [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) - 74); }, false},
        RuvEditCase{"ClosingLineChanged",
                    [](const fs::path& f) {
                        std::string bytes = ReadBytes(f);
                        bytes.replace(bytes.size() - 74, 72, std::string(72, '='));
                        WriteBinaryFile(f, bytes);
                    },
                    false},
        RuvEditCase{"ShorterThanTheClosingLine",
                    [](const fs::path& f) { WriteBinaryFile(f, "x\r\n"); }, false},
        RuvEditCase{"Deleted", [](const fs::path& f) { fs::remove(f); }, false}),
    [](const auto& info) { return std::string(info.param.name); });
