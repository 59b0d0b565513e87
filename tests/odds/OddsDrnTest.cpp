#include "odds/OddsDrn.h"
#include "sampleday/LzhWriter.h"
#include "support/SampleRaces.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/WorkFolder.h"
#include "sampleday/OddsWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Fields = std::vector<std::string>;

class OddsDrnTest : public ::testing::Test {
protected:
    void writeRx(const std::string& text, const std::string& date = "010128") {
        WriteBinaryFile(m_folder.path() / ("rx" + date + ".txt"), text);
    }
    bool read(const std::string& raceKey) {
        return ReadRxOdds(m_odds, m_folder.folderText(), raceKey);
    }
    std::string errorOf(const std::string& raceKey) {
        try {
            read(raceKey);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    TWorkFolder m_folder;
    TOdds m_odds;
};

} // namespace

TEST(OddsDrnSplit, CommasAndBlanksSeparateFieldsOutsideQuotes) {
    struct Case {
        std::string line;
        Fields fields;
    };
    const std::vector<Case> cases{
        {"20,5,1,3,12.3", {"20", "5", "1", "3", "12.3"}},
        {"a b  c", {"a", "b", "c"}},
        {"  a , b ,c  ", {"a", "b", "c"}},
        {"a\tb", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a"}},
        {"a, ,b", {"a", "", "b"}},
        {"\"x, y\",z", {"x, y", "z"}},
        {"\"say \"\"hi\"\"\",2", {"say \"hi\"", "2"}},
        {"\"\",1", {"", "1"}},
        {"\"ab\"cd", {"ab", "cd"}},
        {"1,\"open, to the end", {"1", "open, to the end"}},
        {"", {}},
        {"   ", {}},
        {std::string("a\0b,c", 5), {"a"}},
        {sjis("東京 ｘ,\"中 山\""), {sjis("東京"), sjis("ｘ"), sjis("中 山")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitCommaText(c.line), c.fields) << c.line;
}

// A race of 12 runners with records 5, 20, 22, 24 and 16.
TEST_F(OddsDrnTest, ALargeFieldLoadsEveryTableAndTheQuinellaTimeNamesTheSource) {
    SampleDay day;
    day.races = {RaceWith(8, "01"), RaceWith(12, "02")};
    SampleDayOdds odds(2);
    odds[1].rxTimes = {"10:01", "10:02", "10:03", "10:04"};
    odds[1].win = {{3, "-"}};
    odds[1].quinella = {{{2, 5}, "-"}};
    WriteRxFile(m_folder.path(), day, odds);
    ASSERT_TRUE(read(SampleRaceKey(day.races[1])));
    ASSERT_EQ(m_odds.Count(), 12);
    EXPECT_EQ(m_odds.SourceText(), "DRN 10:03");
    EXPECT_EQ(m_odds.Time(TBetKind::Win), "10:01");
    EXPECT_EQ(m_odds.Time(TBetKind::BracketQuinella), "10:02");
    EXPECT_EQ(m_odds.Time(TBetKind::Quinella), "10:03");
    EXPECT_EQ(m_odds.Time(TBetKind::WideTime), "10:04");
    for (int k = 1; k <= 12; ++k) {
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, k), k == 3 ? -1.0f : SampleOdds(SampleWinTenths(k)));
        EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceLower, k), SampleOdds(SamplePlaceTenths(k)));
        EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceUpper, k), SampleOdds(SamplePlaceTenths(k) + 7));
    }
    for (int i = 1; i <= 12; ++i) {
        for (int j = i + 1; j <= 12; ++j) {
            const bool dash = i == 2 && j == 5;
            EXPECT_EQ(m_odds.OddsB(TBetKind::Quinella, i, j),
                      dash ? -1.0f : SampleOdds(SampleQuinellaTenths(i, j)));
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideLower, i, j), SampleOdds(SampleWideTenths(i, j)));
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideUpper, i, j),
                      SampleOdds(SampleWideTenths(i, j) + 5));
        }
    }
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 8, 8), SampleOdds(SampleBracketTenths(8, 8)));
}

// A race of 8 runners with records 5, 20, 21 and 15.
TEST_F(OddsDrnTest, ASmallFieldIsNamedByItsBracketQuinellaTime) {
    SampleDay day;
    day.races = {RaceWith(8, "01"), RaceWith(12, "02")};
    WriteRxFile(m_folder.path(), day);
    ASSERT_TRUE(read(SampleRaceKey(day.races[0])));
    ASSERT_EQ(m_odds.Count(), 8);
    EXPECT_FALSE(m_odds.HasHorseQuinella());
    EXPECT_EQ(m_odds.SourceText(), "DRN 09:51");
    EXPECT_EQ(m_odds.Time(TBetKind::Win), "09:50");
    EXPECT_EQ(m_odds.Time(TBetKind::BracketQuinella), "09:51");
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, k), SampleOdds(SampleWinTenths(k)));
    for (int i = 1; i <= 8; ++i)
        for (int j = i; j <= 8; ++j)
            EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, i, j),
                      SampleOdds(SampleBracketTenths(i, j)));
}

TEST_F(OddsDrnTest, TheHeaderDateIsComparedWithSixDigits) {
    const std::string race = "5,5,1,x,x,x,x,2\r\n15,5,1,10:00,10:01,10:02\r\n";
    writeRx("0,101\r\n" + race, "000101");
    EXPECT_TRUE(read("200001010501"));
    EXPECT_EQ(m_odds.Count(), 2);

    writeRx("0,000102\r\n" + race, "000101");
    EXPECT_FALSE(read("200001010501"));
    EXPECT_EQ(m_odds.Count(), 0);
    // no file for the day
    EXPECT_FALSE(read("200001020501"));
}

TEST_F(OddsDrnTest, OnlyRecordsAfterTheFirstRaceHeaderCount) {
    writeRx("0,10128\n"
            "20,5,1,1,9.9,1.1,1.2\n"     // before the race header
            "15,5,1,09:00,09:01,09:02\n" // likewise
            "5,5,1,20010128,0,0,0,3\n"
            "5,5,1,20010128,0,0,0,12\n" // a second header is passed over
            "20,5,1,2,3.4,1.1,1.3\n"
            "20,5,1,4,5.0,1.0,1.0\n" // runner above the count: passed over
            "20,5,2,3,7.7,1.0,1.0\n" // another race
            "20,6,1,3,7.7,1.0,1.0\n" // another racecourse
            "21,5,1,1,3,-\n"
            "15,5,1,10:00,10:01,10:02\n");
    ASSERT_TRUE(read("200101280501"));
    ASSERT_EQ(m_odds.Count(), 3);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 1), 0.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 2), 3.4f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceUpper, 2), 1.3f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 3), 0.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 1, 3), -1.0f);
    EXPECT_EQ(m_odds.SourceText(), "DRN 10:01");
}

TEST_F(OddsDrnTest, LinesWithNumbersThatAreNotNumbersOrMissingFieldsArePassedOver) {
    writeRx("0,10128\r"
            "5,5,1,x,x,x,x,many\r" // a count that is not a number
            "5,5,1,x,x,x,x\r"      // no count
            "5 5 1 x x x x \"4\"\r"
            "20,5,1,one,2.0,1.0,1.0\r"
            "20,5,1,1,2.0,1.0\r" // no place upper bound
            "20,05,001,2,2.5,1.0,1.5\r"
            "x,5,1,3,3.5,1.0,1.5\r"
            "20,5,1,3,\"3.5 \",1.0,1.5\r"
            "21,5,1,1,2\r"
            "15,5,1,10:00\r" // no bracket quinella time
            "16,5,1,\"10:00 am\",10:01\r"
            "99,5,1,whatever\r");
    ASSERT_TRUE(read("200101280501"));
    ASSERT_EQ(m_odds.Count(), 4);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 1), 0.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 2), 2.5f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 3), 3.5f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 1, 2), 0.0f);
    EXPECT_EQ(m_odds.Time(TBetKind::Win), "10:00 am");
    EXPECT_EQ(m_odds.SourceText(), "DRN 10:01");
}

TEST_F(OddsDrnTest, ARaceWithoutTimesOrRecordsGivesNothing) {
    writeRx("0,10128\n5,5,1,x,x,x,x,9\n20,5,1,1,2.0,1.0,1.0\n");
    EXPECT_FALSE(read("200101280501"));
    EXPECT_EQ(m_odds.Count(), 0);
    EXPECT_FALSE(read("200101280502"));
    EXPECT_EQ(m_odds.Count(), 0);
    // racecourse digits that are not a number look for racecourse 0
    writeRx("0,10128\n5,0,1,x,x,x,x,9\n15,0,1,a,b,c\n");
    EXPECT_TRUE(read("20010128xx01"));
    EXPECT_EQ(m_odds.SourceText(), "DRN c");
}

TEST_F(OddsDrnTest, AHeaderWithoutADateEndsTheReadWithTheConversionError) {
    for (const char* text : {"", "\r\n", "0\r\n5,5,1,x,x,x,x,9\r\n", "0,day\r\n", "0,\"\"\r\n"}) {
        writeRx(text);
        EXPECT_THROW(read("200101280501"), EConvertError) << text;
        EXPECT_EQ(m_odds.Count(), 0);
    }
    fs::remove(m_folder.path() / "rx010128.txt");
    fs::create_directory(m_folder.path() / "rx010128.txt");
    EXPECT_THROW(read("200101280501"), EInOutError);
    EXPECT_EQ(m_odds.Count(), 0);
}

TEST_F(OddsDrnTest, ARecordTheTablesRefuseEndsTheReadKeepingWhatWasLoaded) {
    struct Case {
        const char* record;
        const char* message;
    };
    const std::vector<Case> cases{
        {"22,5,1,1,2,10.5", "TOdds.SetOddsB1"},        {"24,5,1,1,2,1.5,2.5", "TOdds.SetOddsB1"},
        {"20,5,1,0,1.5,1.0,1.0", "TOddsTan.SetOdds1"}, {"21,5,1,-1,2,1.5", "TOddsWak.SetOdds1"},
        {"22,5,1,3,3,1.5", "TOddsUma.SetOdds3"},
    };
    for (const Case& c : cases) {
        const int n = std::string(c.message) == "TOdds.SetOddsB1" ? 8 : 12;
        writeRx("0,10128\n5,5,1,x,x,x,x," + std::to_string(n) +
                "\n20,5,1,1,2.0,1.0,1.0\n15,5,1,10:00,10:01,10:02\n" + c.record +
                "\n20,5,1,2,3.0,1.0,1.0\n");
        EXPECT_EQ(errorOf("200101280501"), c.message) << c.record;
        ASSERT_EQ(m_odds.Count(), n);
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 1), 2.0f);
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 2), 0.0f);
        EXPECT_EQ(m_odds.Time(TBetKind::BracketQuinella), "10:01");
        EXPECT_EQ(m_odds.SourceText(), "");
    }
    // a bracket above 8 in a large field
    writeRx("0,10128\n5,5,1,x,x,x,x,12\n21,5,1,1,9,2.0\n");
    EXPECT_EQ(errorOf("200101280501"), "TOddsWak.SetOdds2");
}

TEST_F(OddsDrnTest, ARaceHeaderCountOutsideOneToEighteenEndsTheRead) {
    for (const char* count : {"0", "19", "-3"}) {
        writeRx(std::string("0,10128\n5,5,1,x,x,x,x,") + count + "\n15,5,1,a,b,c\n");
        EXPECT_EQ(errorOf("200101280501"), "TOdds.Init") << count;
        EXPECT_EQ(m_odds.Count(), 0);
    }
}
