#include "race/RaceRuv.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Version.h"
#include "platform/WorkFolder.h"
#include "race/RaceRecords.h"
#include "sampleday/DayWriter.h"
#include "sampleday/SampleDays.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

SampleRunner runner(const char* name, const char* bracket) {
    SampleRunner r;
    r.horseName = name;
    r.bracket = bracket;
    return r;
}

SampleRace namedRace(int runners, const char* raceNumber = "01") {
    SampleRace race;
    race.raceNumber = raceNumber;
    for (int k = 0; k < runners; ++k)
        race.runners.push_back(
            runner(("ホース" + std::to_string(k + 1)).c_str(), std::to_string(k / 2 + 1).c_str()));
    return race;
}

class RaceRuvTest : public ::testing::Test {
protected:
    std::unique_ptr<TRaceRuv> open(const SampleDay& day) {
        WriteDayArchive(archive(), day);
        return std::make_unique<TRaceRuv>(archive().string(), m_work.folderText());
    }
    fs::path archive() const { return m_archives.path() / "rv010128.lzh"; }
    static std::string utf8(const std::string& s) { return toUtf8(s); }

    TWorkFolder m_archives;
    TWorkFolder m_work;
};

} // namespace

TEST_F(RaceRuvTest, ListsRaceLinesAndNamesUnnamedRacesAfterTheirConditions) {
    SampleDay day;
    day.races.push_back(namedRace(2, "01"));
    day.races[0].name = "";
    day.races[0].ageCondition = "2";
    day.races[0].classCode = "00003";
    day.races[0].distance = "1200";
    day.races[0].surface = "0";
    day.races.push_back(namedRace(2, "11"));
    day.races[1].name = "  フェブラリーＳ  ";
    day.races[1].course = "05";
    auto source = open(day);
    ASSERT_EQ(source->RaceCount(), 2);
    EXPECT_EQ(utf8(source->RaceLine(0)), "東京  1R ３歳未勝利 ダート1200m");
    EXPECT_EQ(utf8(source->RaceLine(1)), "中山 11R フェブラリーＳ 芝1600m");
    EXPECT_EQ(source->Folder(), m_work.folderText());
}

TEST_F(RaceRuvTest, RaceIndexesAreCheckedWithTheIndexInTheMessage) {
    SampleDay day;
    day.races = {namedRace(1), namedRace(1)};
    auto source = open(day);
    EXPECT_NO_THROW(source->RaceLine(1));
    try {
        source->RaceLine(2);
        FAIL();
    } catch (const ERaceBaseRangeError& e) {
        EXPECT_EQ(utf8(e.what()), "(2)処理対象範囲を越えています");
    }
    EXPECT_THROW(source->SelectRace(2), ERaceRuvRangeError);
    EXPECT_THROW(source->SelectRace(-1), ERaceRuvRangeError);
}

TEST_F(RaceRuvTest, AShortTailOfTheRaceFileIsIgnored) {
    SampleDay day;
    day.races = {namedRace(1), namedRace(1), namedRace(1)};
    AssignRunnerKeys(day);
    std::vector<LzhMember> members = DayMembers(day);
    members[0].data += std::string(100, ' ');
    WriteBinaryFile(archive(), MakeLzhArchive(members));
    TRaceRuv source(archive().string(), m_work.folderText());
    EXPECT_EQ(source.RaceCount(), 3);
}

// The first file the archive does not yield is named, the archiver's reason follows, and
// the files that were extracted are removed again.
TEST_F(RaceRuvTest, ADayThatCannotBeOpenedSaysWhichFileAndWhy) {
    SampleDay day;
    day.races = {namedRace(1)};
    AssignRunnerKeys(day);
    auto damaged = [&day](std::size_t member) {
        std::vector<LzhMember> members = DayMembers(day);
        std::string bytes;
        for (std::size_t i = 0; i < members.size(); ++i) {
            std::string one = MakeLzhArchive({members[i]});
            one.pop_back(); // the archive's end mark
            if (i == member)
                one[one.size() - 5] ^= 0x20; // the data no longer matches its CRC
            bytes += one;
        }
        return bytes + '\0';
    };
    std::vector<LzhMember> withoutHorses = DayMembers(day);
    withoutHorses.pop_back();
    const std::string a = archive().string();
    const std::string crc = ": データのCRCが合いません (LHa data CRC error)";
    const std::pair<std::string, std::string> cases[] = {
        {MakeLzhArchive(withoutHorses),
         "ruv_uma.kd2がオープンできません\nruv_uma.kd2 は " + a + " にありません"},
        {damaged(0), "ruv_den1.kd2がオープンできません\n" + a + " の ruv_den1.kd2" + crc},
        {damaged(1), "ruv_den2.kd2がオープンできません\n" + a + " の ruv_den2.kd2" + crc},
        {damaged(2), "ruv_uma.kd2がオープンできません\n" + a + " の ruv_uma.kd2" + crc},
        {"MZ not an archive",
         "ruv_den1.kd2がオープンできません\n" + a + " はLZHアーカイブではありません"},
    };
    for (const auto& [bytes, message] : cases) {
        WriteBinaryFile(archive(), bytes);
        try {
            TRaceRuv source(archive().string(), m_work.folderText());
            ADD_FAILURE() << message;
        } catch (const ERaceRuvOpenError& e) {
            EXPECT_EQ(utf8(e.what()), message);
        }
        EXPECT_TRUE(fs::is_empty(m_work.path())) << message;
    }
    try {
        TRaceRuv source((m_archives.path() / "absent.lzh").string(), m_work.folderText());
        FAIL();
    } catch (const ERaceRuvOpenError& e) {
        EXPECT_EQ(utf8(e.what()), "ruv_den1.kd2がオープンできません\n" +
                                      (m_archives.path() / "absent.lzh").string() +
                                      " を開けません: ファイルまたはフォルダがありません (No such "
                                      "file or directory)");
    }
}

// A blank in the work folder's path or a quote in the archive's path loses no path.
TEST_F(RaceRuvTest, OpensWhateverThePathsHold) {
    SampleDay day;
    day.races = {namedRace(2)};
    const fs::path folder = m_archives.path() / "say \"hi\"";
    const fs::path work = m_work.path() / "a b";
    fs::create_directories(folder);
    fs::create_directories(work);
    WriteDayArchive(folder / "rv \"010128\".lzh", day);
    TRaceRuv source((folder / "rv \"010128\".lzh").string(), work.string());
    EXPECT_EQ(source.RaceCount(), 1);
    EXPECT_TRUE(fs::exists(work / "ruv_uma.kd2"));
}

// A field that should hold a number is quoted in the message with its control bytes
// made visible, so a zero byte does not cut the message short.
TEST_F(RaceRuvTest, ANonNumericFieldIsQuotedVisibly) {
    const std::pair<std::string, const char*> cases[] = {
        {std::string("\0\0", 2), "'\\x00\\x00' is not a valid integer value"},
        {"1\x1b", "'1\\x1b' is not a valid integer value"},
        {"X ", "'X ' is not a valid integer value"},
    };
    for (const auto& [field, message] : cases) {
        SampleDay day;
        day.races = {namedRace(1)};
        day.races[0].raceNumber = field;
        try {
            open(day);
            ADD_FAILURE() << message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST_F(RaceRuvTest, DestroyingTheSourceRemovesItsFiles) {
    SampleDay day;
    day.races = {namedRace(1)};
    auto source = open(day);
    EXPECT_TRUE(fs::exists(m_work.path() / "ruv_uma.kd2"));
    source.reset();
    EXPECT_TRUE(fs::is_empty(m_work.path()));
}

TEST_F(RaceRuvTest, SelectRaceFindsEachRacesRunnersFromItsOwnBlock) {
    SampleDay day;
    day.races = {namedRace(3, "01"), namedRace(2, "02"), namedRace(4, "03")};
    // the same keys in every race: only the search position tells the races apart
    for (auto& race : day.races)
        for (std::size_t k = 0; k < race.runners.size(); ++k)
            race.runners[k].key = "KEY000" + std::to_string(k);
    day.races[2].runners[0].horseName = "サードレース";
    auto source = open(day);
    source->SelectRace(2);
    EXPECT_EQ(source->RunnerCount(), 4);
    EXPECT_EQ(utf8(source->HorseName(0)), "サードレース      ");
    source->SelectRace(1);
    EXPECT_EQ(source->RunnerCount(), 2);
    EXPECT_EQ(utf8(source->HorseName(0)), "ホース1           ");
    EXPECT_EQ(source->RaceKey(), "200101280502");
}

TEST_F(RaceRuvTest, RecordsStoredOutOfOrderAreFoundOnASecondPass) {
    SampleDay day;
    day.races = {namedRace(2, "01"), namedRace(2, "02")};
    AssignRunnerKeys(day);
    std::swap(day.races[0].runners, day.races[1].runners); // file order no longer matches
    std::swap(day.races[0].runners[0].key, day.races[1].runners[0].key);
    std::vector<LzhMember> members = DayMembers(day);
    SampleDay keys = day; // the race file still names the runners in race order
    std::swap(keys.races[0].runners, keys.races[1].runners);
    members[0].data = RaceFileBytes(keys);
    WriteBinaryFile(archive(), MakeLzhArchive(members));
    TRaceRuv source(archive().string(), m_work.folderText());
    source.SelectRace(1);
    EXPECT_EQ(source.RunnerCount(), 2);
    source.SelectRace(0);
    EXPECT_EQ(source.RunnerCount(), 2);
}

TEST_F(RaceRuvTest, AKeyMissingFromTheHorseFileIsADataErrorAndKeepsTheOldRace) {
    SampleDay day;
    day.races = {namedRace(2, "01"), namedRace(3, "02")};
    AssignRunnerKeys(day);
    std::vector<LzhMember> members = DayMembers(day);
    members[2].data.replace(horseRecord::kSize * 4, 7, "ZZZZZZZ");
    WriteBinaryFile(archive(), MakeLzhArchive(members));
    TRaceRuv source(archive().string(), m_work.folderText());
    source.SelectRace(0);
    try {
        source.SelectRace(1);
        FAIL();
    } catch (const ERaceBaseDataError& e) {
        EXPECT_EQ(utf8(e.what()), "該当するデータがありません(K000203)\n"
                                  "ruv_uma.kd2 に 東京 2R の出走馬のレコードがありません");
    }
    EXPECT_EQ(source.RunnerCount(), 2);
    EXPECT_EQ(source.RaceKey(), "200101280501");
}

TEST_F(RaceRuvTest, ARunnerCountBeyondEighteenIsRefused) {
    SampleDay day;
    day.races = {namedRace(2, "01"), namedRace(2, "02")};
    day.races[0].runnerCount = "19";
    auto source = open(day);
    try {
        source->SelectRace(0);
        FAIL();
    } catch (const ERaceRuvDataError& e) {
        EXPECT_EQ(utf8(e.what()), "該当するデータがありません(200101280501)");
    }
    day.races[0].runnerCount = "xx";
    source = open(day);
    EXPECT_THROW(source->SelectRace(0), EConvertError);
    EXPECT_THROW(source->SelectRace(1), EConvertError); // its runners' position is unknown
}

TEST_F(RaceRuvTest, RunnerColumnsComeFromTheRunnerRecord) {
    SampleDay day;
    day.races = {namedRace(3)};
    SampleRunner& a = day.races[0].runners[0];
    a.horseName = "アイウエオカキクケコサシ"; // 24 bytes: only 18 are used
    a.sex = "2";
    a.age = " 5";
    a.weightKilograms = "55";
    a.weightTenths = "5";
    a.jockey = "A武豊さ"; // 7 bytes: only 6 are used, a character split there is blanked
    a.allowance = "1";
    a.jockeyStar = "1";
    a.serviceMark = "0";
    a.blinkers = "1";
    SampleRunner& b = day.races[0].runners[1];
    b.weightTenths = "0";
    b.jockey = " 岡部";
    b.sex = "7";
    b.serviceMark = "9";
    SampleRunner& c = day.races[0].runners[2];
    c.weightTenths = " ";
    auto source = open(day);
    source->SelectRace(0);
    EXPECT_EQ(utf8(source->HorseName(0)), "アイウエオカキクケ");
    EXPECT_EQ(source->BracketNo(0), 1);
    EXPECT_EQ(source->BracketNo(2), 2);
    EXPECT_EQ(utf8(source->SexText(0)), "ｾﾝ");
    EXPECT_EQ(source->SexText(1), "");
    EXPECT_EQ(source->Age(0), 5);
    EXPECT_EQ(source->WeightText(0), "55.5");
    EXPECT_EQ(source->WeightText(1), "55");
    EXPECT_EQ(source->WeightText(2), "55. ");
    EXPECT_EQ(utf8(source->AllowanceMark(0)), "☆");
    EXPECT_EQ(utf8(source->JockeyName(0)), "A武豊");
    EXPECT_EQ(utf8(source->JockeyName(1)), "岡部");
    EXPECT_TRUE(source->IsJockeyStarred(0));
    EXPECT_FALSE(source->IsJockeyStarred(1));
    EXPECT_EQ(utf8(source->ServiceMark(0)), "◎");
    EXPECT_EQ(source->ServiceMark(1), "");
    EXPECT_TRUE(source->HasBlinkers(0));
    EXPECT_FALSE(source->HasBlinkers(1));
}

TEST_F(RaceRuvTest, AHorseNameCutInsideACharacterEndsWithABlank) {
    SampleDay day;
    day.races = {namedRace(1)};
    day.races[0].runners[0].horseName = "Aアイウエオカキクケコ"; // byte 17 is a lead byte
    auto source = open(day);
    source->SelectRace(0);
    std::string name = source->HorseName(0);
    EXPECT_EQ(name.size(), 18u);
    EXPECT_EQ(utf8(name), "Aアイウエオカキク ");
}

namespace {

SampleTraining dated(const char* date, const char* columnA) {
    SampleTraining t;
    t.date = date;
    t.columnA = columnA;
    t.columnB = "美坂";
    t.columnC = "良";
    t.columnD = "ﾏ";
    t.laps = {"53.2", "38.9", "12.5", "", "", "", ""};
    t.columnE = "強め";
    return t;
}

} // namespace

TEST_F(RaceRuvTest, TrainingLinesWithARemarkAndACommentEntry) {
    SampleDay day;
    day.races = {namedRace(2)};
    SampleRunner& a = day.races[0].runners[0];
    a.training = {dated("20010117", "助手"), dated("20010124", "騎手"), SampleTraining{}};
    a.training[1].circledDigit = "3";
    a.training[2].comment = "馬なり余力あり";
    a.remarkPosition = "2";
    a.remark = "  好調キープ  ";
    SampleRunner& b = day.races[0].runners[1];
    b.training = {SampleTraining{}, dated("20010124", "騎手"), SampleTraining{}};
    b.remarkPosition = "1"; // names the empty first entry: no remark
    b.remark = "出ない";
    auto source = open(day);
    source->SelectRace(0);
    std::vector<std::string> lines{"stale"};
    ASSERT_EQ(source->TrainingLines(0, lines), 4);
    std::string e0 = toCp932(" 1月17日美坂  良ﾏ  助手    53.2  38.9  12.5  ") +
                     std::string(24, ' ') + "  " + toCp932("強め  ");
    EXPECT_EQ(lines[0], e0);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 8, 2), "\x87\x43"); // the digit 3 gives ④
    EXPECT_EQ(lines[2], std::string(70 - 10, ' ') + toCp932("好調キープ"));
    EXPECT_EQ(lines[3], std::string(40, ' ') + toCp932("馬なり余力あり") + std::string(26, ' '));
    EXPECT_EQ(source->TrainingLines(1, lines), 1);
}

namespace {

SamplePastRun run(const char* category, const char* position, const char* time) {
    SamplePastRun p;
    p.course = "04";
    p.category = category;
    p.position = position;
    p.time = time;
    return p;
}

} // namespace

TEST_F(RaceRuvTest, PastRunStatusCoversEveryCategoryAndAbnormalResult) {
    struct Case {
        SamplePastRun run;
        std::uint8_t status;
    };
    std::vector<Case> cases{
        {SamplePastRun{}, kRunNone},
        {run("0", "03", "1345"), kRunUsable},
        {run("2", "31", "    "), kRunLocal},
        {run("1", "01", "1345"), kRunLocal},
        {run("4", "01", "1345"), kRunAbroad},
        {run("0", "31", "    "), kRunFell},
        {run("0", "31", "1345"), kRunUsable},
        {run("0", "32", "    "), kRunDisqualified},
        {run("0", "33", "    "), kRunNotFinished},
        {run("0", "34", "    "), kRunScratched},
        {run("0", "35", "    "), kRunExcluded},
        {run("0", "36", "    "), kRunUsable},
        {run("5", "01", "1345"), kRunNone},
        {run("5", "34", "    "), kRunScratched},
        {run("0", "xx", "    "), kRunUsable},
    };
    cases.push_back({run("0", "01", "1345"), kRunJump});
    cases.back().run.jump = "1";
    SampleDay day;
    for (std::size_t i = 0; i < cases.size(); i += 5) {
        SampleRace race = namedRace(1);
        for (std::size_t j = 0; j < 5 && i + j < cases.size(); ++j)
            race.runners[0].pastRuns[j] = cases[i + j].run;
        day.races.push_back(race);
    }
    auto source = open(day);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        source->SelectRace(static_cast<int>(i / 5));
        EXPECT_EQ(source->PastRunStatus(0, static_cast<int>(i % 5)), cases[i].status)
            << "case " << i;
    }
    EXPECT_EQ(PastRunStatusText()[10], "XXX");
    EXPECT_EQ(PastRunStatusText()[1], "\x81\x7C");
    EXPECT_EQ(utf8(PastRunStatusText()[9]), "失格");
}

TEST_F(RaceRuvTest, PastRunNumbersAreZeroWhenNotNumbers) {
    SampleDay day;
    day.races = {namedRace(1)};
    SamplePastRun& p = day.races[0].runners[0].pastRuns[0];
    p = run("0", "01", "1345");
    p.course = "03"; // 小倉, racecourse 10
    p.date = "20001224";
    p.distance = "1800";
    p.weight = "575";
    p.surface = "0";
    SamplePastRun& q = day.races[0].runners[0].pastRuns[1];
    q = run("0", "01", "13x5");
    q.date = "2000 224";
    q.distance = "";
    q.weight = "ab";
    q.course = "04";
    auto source = open(day);
    source->SelectRace(0);
    EXPECT_EQ(source->PastRunDate(0, 0), 20001224);
    EXPECT_EQ(source->PastRunCourse(0, 0), 0);
    EXPECT_EQ(source->PastRunCourse(0, 1), 5);
    EXPECT_TRUE(source->PastRunOnDirt(0, 0));
    EXPECT_FALSE(source->PastRunOnDirt(0, 1));
    EXPECT_EQ(source->PastRunDistance(0, 0), 1800);
    EXPECT_EQ(source->PastRunTime(0, 0), 1345);
    EXPECT_EQ(source->PastRunWeight(0, 0), 575);
    EXPECT_EQ(source->PastRunDate(0, 1), 0);
    EXPECT_EQ(source->PastRunDistance(0, 1), 0);
    EXPECT_EQ(source->PastRunTime(0, 1), 0);
    EXPECT_EQ(source->PastRunWeight(0, 1), 0);
}

TEST_F(RaceRuvTest, KeysOfTheRace) {
    SampleDay day;
    day.races = {namedRace(1, "11"), namedRace(1, "05"), namedRace(1, "12")};
    for (auto& race : day.races) {
        race.course = "04";
        race.year = "2001";
        race.date = "20010128";
        race.meeting = "02";
        race.day = "03";
    }
    day.races[1].day = "10";
    day.races[2].day = "15";
    day.races[2].course = "03";
    day.races[0].noBet = "1";
    auto source = open(day);
    source->SelectRace(0);
    EXPECT_EQ(source->JrdbRaceKey(), "05012311");
    EXPECT_EQ(source->RaceKey(), "200101280511");
    EXPECT_EQ(source->DayKey(), "2001012805");
    EXPECT_TRUE(source->IsNoBetRace());
    source->SelectRace(1);
    EXPECT_EQ(source->JrdbRaceKey(), "05012a05"); // JRDB's own day letter
    EXPECT_FALSE(source->IsNoBetRace());
    source->SelectRace(2);
    EXPECT_EQ(source->JrdbRaceKey(), "10012f12");
    EXPECT_EQ(source->DayKey(), "2001012810");
}

TEST_F(RaceRuvTest, HeadingsCutLongConditions) {
    SampleDay day;
    SampleRace race = namedRace(1, "09");
    race.name = "テスト特別";
    race.ageCondition = "4";
    race.classCode = "05000";
    race.grade = " ";
    race.condition = "04";
    race.conditionText = "(混)(特指)";
    race.postTime = "14:25";
    race.distance = "2000";
    race.surface = "1";
    race.day = "08";
    race.meeting = "01";
    day.races.push_back(race);
    // 4+1+5+1+0+1+4+1+... a conditions text of 70 bytes loses bytes 39 to 58
    race.ageCondition = "8";
    race.condition = "19";
    race.conditionText = "ABCDEFGHIJKLMNOPQR";
    day.races.push_back(race);
    auto source = open(day);
    source->SelectRace(0);
    std::string conditions = "４歳以上 500万  ○混 (混)(特指)";
    std::string mainLine = " 9R 東京 2001年1回8日 01/28 " + conditions +
                           std::string(38 - toCp932(conditions).size(), ' ') + " 2000m 芝";
    EXPECT_EQ(utf8(source->RaceHeading()),
              "    テスト特別" + std::string(20 + 36, ' ') + "14:25発走\r\n" + mainLine);
    EXPECT_EQ(utf8(source->RaceHeadingLine()), mainLine + "14:25発走");
    EXPECT_EQ(utf8(source->RaceName()), "テスト特別" + std::string(20, ' '));

    source->SelectRace(1);
    std::string line = source->RaceHeadingLine();
    // 12 + 1 + 5 + 1 + 0 + 1 + 18 + 1 + 18 = 57 bytes of conditions, cut to 38
    std::string full = toCp932("障害３歳以上 500万  ○市○抽関西配布馬 ABCDEFGHIJKLMNOPQR");
    ASSERT_EQ(full.size(), 57u);
    EXPECT_NE(line.find(full.substr(0, 38) + " 2000m"), std::string::npos) << utf8(line);
}

TEST_F(RaceRuvTest, ConditionsOfSeventyBytesKeepTheirEndAndNeverSplitACharacter) {
    SampleDay day;
    SampleRace race = namedRace(1, "09");
    race.ageCondition = "8";  // 障害３歳以上 12 bytes
    race.classCode = "00009"; // オーブン，牝馬，アラブ混合 26 bytes
    race.grade = "0";         // G1
    race.condition = "01";    // 九州産馬 8 bytes
    race.conditionText = "123456789012345678";
    day.races.push_back(race);
    auto source = open(day);
    source->SelectRace(0);
    std::string full =
        toCp932("障害３歳以上 オーブン，牝馬，アラブ混合 G1 九州産馬 123456789012345678");
    ASSERT_EQ(full.size(), 70u);
    std::string line = source->RaceHeadingLine();
    // bytes 39 to 58 go; byte 38 was the first half of a character, so it is a blank
    std::string expected = full.substr(0, 37) + " " + full.substr(58);
    EXPECT_EQ(expected.size(), 50u);
    EXPECT_NE(line.find(" " + expected + " 1600m"), std::string::npos) << utf8(line);
    EXPECT_NO_THROW(toUtf8(line));
}

TEST_F(RaceRuvTest, HeaderLinesOfTheContestAndRuvFiles) {
    SampleDay day;
    SampleRace race = namedRace(1, "05");
    race.course = "04";
    race.year = "2001";
    race.meeting = "01";
    race.day = "08";
    race.date = "20010128";
    race.postTime = "12:10";
    day.races.push_back(race);
    race.day = "12";
    race.raceNumber = "11";
    day.races.push_back(race);
    auto source = open(day);
    source->SelectRace(0);
    std::string version = ProductVersion();
    EXPECT_EQ(utf8(source->WarsHeaderLine(0)),
              "東京  ０１ 年 １ 回 ８ 日目 ０１月２８日（日）[0020] RUV PELTON ver" + version);
    EXPECT_EQ(utf8(source->WarsHeaderLine(1)),
              "東京 2001年  1回  8日目  1月 28日(日) [0020] RUV PELTON ver" + version);
    std::string old = source->RuvHeaderLine(0);
    EXPECT_EQ(old.size(), 72u);
    EXPECT_EQ(utf8(old), "  東京- 5Ｒ-20010128-[A006]" + std::string(45, '-'));
    std::string tag = " RUV PELTON " + version + " ";
    std::string fresh = source->RuvHeaderLine(1);
    EXPECT_EQ(utf8(fresh), "東京--- 5Ｒ-20010128-[A006]---" + tag +
                               std::string(35 - tag.size(), '-') + "(12:10)");
    EXPECT_EQ(fresh.size(), 72u);
    source->SelectRace(1);
    EXPECT_EQ(utf8(source->WarsHeaderLine(0)).rfind("東京  ０１ 年 １ 回 ２ 日目 ", 0), 0u);
}

TEST_F(RaceRuvTest, OperationsAnswerForTheLastSelectedRace) {
    SampleDay day;
    day.races = {namedRace(12, "01"), namedRace(5, "02")};
    day.races[1].runners[4].horseName = "ラスト";
    auto source = open(day);
    source->SelectRace(0);
    source->SelectRace(1);
    EXPECT_EQ(source->RunnerCount(), 5);
    EXPECT_EQ(utf8(source->HorseName(4)), "ラスト" + std::string(12, ' '));
}

TEST(RaceRuvCompressed, OpensADayWhoseArchiverWroteUpperCaseNames) {
    TWorkFolder work;
    TRaceRuv source(std::string(PELTON_TEST_DATA) + "/upper_case_members_lh6.lzh",
                    work.folderText());
    SampleDay day = SmallTestDay();
    ASSERT_EQ(source.RaceCount(), 2);
    source.SelectRace(1);
    EXPECT_EQ(source.RunnerCount(), 9);
    EXPECT_EQ(source.HorseName(8),
              LeftBytes(toCp932(day.races[1].runners[8].horseName) + std::string(18, ' '), 18));
}
