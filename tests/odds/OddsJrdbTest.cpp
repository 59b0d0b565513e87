#include "odds/OddsJrdb.h"
#include "sampleday/LzhWriter.h"
#include "support/SampleRaces.h"

#include "platform/Cp932.h"
#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"
#include "race/RaceHelpers.h"
#include "sampleday//OddsWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const std::string kDayCode = DayCodeOf("rv010128.lzh");

class OddsJrdbTest : public ::testing::Test {
protected:
    std::unique_ptr<TOddsJrdb> open(const SampleDay& day, const SampleDayOdds& odds = {}) {
        const fs::path archive = WriteJrdbOddsArchive(m_archives.path(), kDayCode, day, odds);
        return std::make_unique<TOddsJrdb>(archive.string(), m_work.folderText());
    }
    fs::path archive() const { return m_archives.path() / ("jrdb" + kDayCode + ".lzh"); }
    std::string openError() {
        try {
            TOddsJrdb reader(archive().string(), m_work.folderText());
        } catch (const EOddsFileOpenError& e) {
            return toUtf8(e.what());
        }
        return "";
    }
    bool read(TOddsJrdb& reader, const SampleRace& race) {
        return reader.Read(m_odds, "not used", SampleJrdbRaceKey(race));
    }

    TWorkFolder m_archives;
    TWorkFolder m_work;
    TOdds m_odds;
};

} // namespace

TEST_F(OddsJrdbTest, ALargeFieldWithoutItsWideRecordKeepsItsOtherOdds) {
    SampleDay day;
    day.races = {RaceWith(10, "01"), RaceWith(12, "02")};
    SampleDayOdds odds(2);
    odds[0].wideAbsent = true;
    auto reader = open(day, odds);
    ASSERT_TRUE(read(*reader, day.races[0]));
    ASSERT_EQ(m_odds.Count(), 10);
    EXPECT_EQ(toUtf8(m_odds.SourceText()), "JRDB予想");
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, k), SampleOdds(SampleWinTenths(k)));
        EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceLower, k), SampleOdds(SamplePlaceTenths(k)));
        EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceUpper, k), SampleOdds(SamplePlaceTenths(k)));
    }
    for (int i = 1; i <= 10; ++i) {
        for (int j = i + 1; j <= 10; ++j) {
            EXPECT_EQ(m_odds.OddsB(TBetKind::Quinella, i, j),
                      SampleOdds(SampleQuinellaTenths(i, j)));
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideLower, i, j), 0.0f);
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideUpper, i, j), 0.0f);
        }
    }
    // the pair fields of a large field are quinella odds; the bracket table stays as made
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 1, 2), 0.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 1, 1), -1.0f);

    ASSERT_TRUE(read(*reader, day.races[1]));
    for (int i = 1; i <= 12; ++i) {
        for (int j = i + 1; j <= 12; ++j) {
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideLower, i, j), SampleOdds(SampleWideTenths(i, j)));
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideUpper, i, j), SampleOdds(SampleWideTenths(i, j)));
        }
    }
}

TEST_F(OddsJrdbTest, SmallFieldsReadBracketQuinellaFromThePairFields) {
    SampleDay day;
    day.races = {RaceWith(8, "01"), RaceWith(5, "02")};
    SampleDayOdds odds(2);
    odds[1].place = {{1, "1.5"}, {2, "  1.5"}, {3, "-"}, {4, "*****"}};
    odds[1].win = {{1, " 12.3"}, {2, "12.3 "}, {3, "     "}, {4, "1,2"}};
    odds[1].bracket = {{{5, 5}, "  2.0"}, {{1, 2}, "xx"}};
    auto reader = open(day, odds);
    ASSERT_TRUE(read(*reader, day.races[0]));
    EXPECT_FALSE(m_odds.HasHorseQuinella());
    for (int i = 1; i <= 8; ++i)
        for (int j = i; j <= 8; ++j)
            EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, i, j),
                      SampleOdds(SampleBracketTenths(i, j)));

    ASSERT_TRUE(read(*reader, day.races[1]));
    ASSERT_EQ(m_odds.Count(), 5);
    EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceLower, 1), 1.5f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceUpper, 1), 1.5f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceUpper, 2), 1.5f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceLower, 3), -1.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceUpper, 4), -1.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 1), 12.3f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 2), 12.3f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 3), -1.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 4), -1.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 5, 5), 2.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 1, 2), -1.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 4, 5), SampleOdds(SampleBracketTenths(4, 5)));
}

TEST_F(OddsJrdbTest, ARunnerCountThatIsNotANumberEndsTheRead) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(9, "02"), RaceWith(9, "03"), RaceWith(9, "04"),
                 RaceWith(9, "05")};
    SampleDayOdds odds(5);
    odds[1].runnerCount = "ab";
    odds[2].runnerCount = " 0";
    odds[3].runnerCount = "19";
    odds[4].runnerCount = "9 ";
    auto reader = open(day, odds);
    for (std::size_t i = 1; i < day.races.size(); ++i) {
        ASSERT_TRUE(read(*reader, day.races[0]));
        try {
            read(*reader, day.races[i]);
            FAIL() << i;
        } catch (const EOddsError& e) {
            EXPECT_EQ(std::string(e.what()), "TOdds.Init");
        }
        EXPECT_EQ(m_odds.Count(), 0);
        EXPECT_EQ(m_odds.SourceText(), "");
    }
}

TEST_F(OddsJrdbTest, RacesNotInTheFileAreNotFound) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(9, "02")};
    SampleDayOdds odds(2);
    odds[1].absent = true;
    auto reader = open(day, odds);
    ASSERT_TRUE(read(*reader, day.races[0]));
    EXPECT_FALSE(read(*reader, day.races[1]));
    EXPECT_EQ(m_odds.Count(), 0);
    const std::string key = SampleJrdbRaceKey(day.races[0]);
    for (const std::string& other : {key.substr(0, 7), key + "1", std::string()})
        EXPECT_FALSE(reader->Read(m_odds, "", other)) << other;
    // the race key of the RUV data is not looked at
    EXPECT_FALSE(reader->Read(m_odds, key, SampleRaceKey(day.races[0])));
}

TEST_F(OddsJrdbTest, WideRecordsOutOfOrderAreFoundAfterOneWrap) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(11, "02"), RaceWith(13, "03")};
    std::vector<std::string> oz = JrdbOzRecords(day, {});
    std::vector<std::string> ow = JrdbOwRecords(day, {});
    std::reverse(ow.begin(), ow.end());
    WriteBinaryFile(archive(), MakeLzhArchive({{"oz" + kDayCode + ".txt", JoinRecords(oz)},
                                               {"ow" + kDayCode + ".txt", JoinRecords(ow)}}));
    TOddsJrdb reader(archive().string(), m_work.folderText());
    for (const SampleRace& race : day.races) {
        ASSERT_TRUE(read(reader, race));
        const int n = m_odds.Count();
        EXPECT_EQ(m_odds.OddsB(TBetKind::WideLower, 1, n), SampleOdds(SampleWideTenths(1, n))) << n;
    }
}

TEST_F(OddsJrdbTest, MembersAreNamedAfterTheArchiveAndMustBothExist) {
    SampleDay day;
    day.races = {RaceWith(9, "01")};
    const std::string oz = JoinRecords(JrdbOzRecords(day, {}));
    const std::string ow = JoinRecords(JrdbOwRecords(day, {}));

    WriteBinaryFile(archive(), MakeLzhArchive({{"ow" + kDayCode + ".txt", ow}}));
    const std::string a = archive().string();
    EXPECT_EQ(openError(),
              "oz010128.txtがオープンできません\noz010128.txt は " + a + " にありません");
    WriteBinaryFile(archive(), MakeLzhArchive({{"oz" + kDayCode + ".txt", oz}}));
    EXPECT_EQ(openError(),
              "ow010128.txtがオープンできません\now010128.txt は " + a + " にありません");
    EXPECT_TRUE(fs::is_empty(m_work.path()));

    // a damaged ow member
    std::string bytes =
        MakeLzhArchive({{"oz" + kDayCode + ".txt", oz}, {"ow" + kDayCode + ".txt", ow}});
    bytes[bytes.size() - 10] ^= 1;
    WriteBinaryFile(archive(), bytes);
    EXPECT_EQ(openError(), "ow010128.txtがオープンできません\n" + a +
                               " の ow010128.txt: データのCRCが合いません (LHa data CRC error)");
    EXPECT_TRUE(fs::is_empty(m_work.path()));

    auto reader = open(day);
    EXPECT_EQ(reader->OzName(), "oz010128.txt");
    EXPECT_EQ(reader->OwName(), "ow010128.txt");
    EXPECT_TRUE(fs::exists(m_work.path() / "oz010128.txt"));
    EXPECT_TRUE(fs::exists(m_work.path() / "ow010128.txt"));
    reader.reset();
    EXPECT_TRUE(fs::is_empty(m_work.path()));

    // a short archive name gives short member names, never a fault
    const fs::path shortName = m_archives.path() / "jrdb";
    WriteBinaryFile(shortName, MakeLzhArchive({{"oz.txt", oz}, {"ow.txt", ow}}));
    TOddsJrdb odd(shortName.string(), m_work.folderText());
    EXPECT_EQ(odd.OzName(), "oz.txt");
}

// JrdbRaceKey of the race data finds the record, the tenth day of a meeting included.
TEST_F(OddsJrdbTest, RaceKeysOfTheRaceDataFindTheirRecords) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(8, "02")};
    day.races[0].day = "10";
    day.races[1].day = "03";
    day.races[1].course = "08";
    ASSERT_EQ(SampleJrdbRaceKey(day.races[0]), "05011a01");
    WriteDayArchive(m_archives.path() / "rv010128.lzh", day);
    TRaceRuv races((m_archives.path() / "rv010128.lzh").string(), m_work.folderText());
    auto reader = open(day);
    for (int i = 0; i < races.RaceCount(); ++i) {
        races.SelectRace(i);
        EXPECT_TRUE(reader->Read(m_odds, races.RaceKey(), races.JrdbRaceKey())) << i;
        EXPECT_EQ(m_odds.Count(), i == 0 ? 9 : 8);
    }
}
