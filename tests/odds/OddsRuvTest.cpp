#include "odds/OddsRuv.h"
#include "sampleday/LzhWriter.h"
#include "support/SampleRaces.h"

#include "odds/OddsRecords.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"
#include "race/RaceHelpers.h"
#include "sampleday//OddsWriter.h"

#include <gtest/gtest.h>

#include <optional>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const std::string kDayCode = DayCodeOf("rv010128.lzh");

class OddsRuvTest : public ::testing::Test {
protected:
    std::unique_ptr<TOddsRuv> open(const SampleDay& day, const SampleDayOdds& odds = {}) {
        const fs::path archive = WriteRuvOddsArchive(m_archives.path(), kDayCode, day, odds);
        return std::make_unique<TOddsRuv>(archive.string(), m_work.folderText());
    }
    std::unique_ptr<TOddsRuv> openRecords(const std::vector<std::string>& records) {
        return openMembers({{"ruv_ods.kd2", JoinRecords(records)}});
    }
    std::unique_ptr<TOddsRuv> openMembers(const std::vector<LzhMember>& members) {
        WriteBinaryFile(archive(), MakeLzhArchive(members));
        return std::make_unique<TOddsRuv>(archive().string(), m_work.folderText());
    }
    fs::path archive() const { return m_archives.path() / ("j" + kDayCode + ".lzh"); }
    // The message of the open error when the archive yields no odds file.
    std::string openError() {
        try {
            TOddsRuv reader(archive().string(), m_work.folderText());
        } catch (const EOddsFileOpenError& e) {
            return toUtf8(e.what());
        }
        return "";
    }

    TWorkFolder m_archives;
    TWorkFolder m_work;
    TOdds m_odds;
};

} // namespace

TEST_F(OddsRuvTest, ReadsWinBracketAndQuinellaOddsOfALargeField) {
    SampleDay day;
    day.races = {RaceWith(8, "01"), RaceWith(12, "02")};
    auto reader = open(day);
    ASSERT_TRUE(reader->Read(m_odds, SampleRaceKey(day.races[1]), "ignored"));
    ASSERT_EQ(m_odds.Count(), 12);
    EXPECT_EQ(toUtf8(m_odds.SourceText()), "RUV予想");
    for (int k = 1; k <= 12; ++k) {
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, k), SampleOdds(SampleWinTenths(k))) << k;
        EXPECT_EQ(m_odds.OddsA(TBetKind::PlaceLower, k), 0.0f);
    }
    for (int i = 1; i <= 8; ++i)
        for (int j = i; j <= 8; ++j)
            EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, i, j),
                      SampleOdds(SampleBracketTenths(i, j)))
                << i << j;
    for (int i = 1; i <= 12; ++i) {
        for (int j = i + 1; j <= 12; ++j) {
            EXPECT_EQ(m_odds.OddsB(TBetKind::Quinella, i, j),
                      SampleOdds(SampleQuinellaTenths(i, j)))
                << i << j;
            EXPECT_EQ(m_odds.OddsB(TBetKind::WideLower, i, j), 0.0f);
        }
    }
    EXPECT_EQ(m_odds.Time(TBetKind::Win), "");
}

TEST_F(OddsRuvTest, SmallFieldsTakeTheBracketPairsOfTheirOwnBrackets) {
    SampleDay day;
    day.races = {RaceWith(8, "01"), RaceWith(6, "02")};
    auto reader = open(day);
    for (int n : {8, 6}) {
        ASSERT_TRUE(reader->Read(m_odds, SampleRaceKey(day.races[n == 8 ? 0 : 1]), ""));
        ASSERT_EQ(m_odds.Count(), n);
        EXPECT_FALSE(m_odds.HasHorseQuinella());
        // the pairs of a bracket with itself take the file's values too
        for (int i = 1; i <= n; ++i)
            for (int j = i; j <= n; ++j)
                EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, i, j),
                          SampleOdds(SampleBracketTenths(i, j)));
        EXPECT_EQ(m_odds.OddsA(TBetKind::Win, n), SampleOdds(SampleWinTenths(n)));
    }
}

TEST_F(OddsRuvTest, FieldsThatAreNotNumbersGiveTheirCapOrNoOdds) {
    SampleDay day;
    day.races = {RaceWith(10, "01")};
    SampleDayOdds odds(1);
    odds[0].win = {{1, "*****"}, {2, "     "}, {3, "00123"}, {4, "*9"},
                   {5, "12*45"}, {6, "  007"}, {7, "1.5"}};
    odds[0].bracket = {{{1, 2}, "*****"}, {{2, 3}, "     "}, {{8, 8}, "00010"}};
    odds[0].quinella = {{{1, 2}, "*******"}, {{1, 3}, ""}, {{9, 10}, "0012345"}};
    auto reader = open(day, odds);
    ASSERT_TRUE(reader->Read(m_odds, SampleRaceKey(day.races[0]), ""));
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 1), 99.9f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 2), -1.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 3), 12.3f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 4), 99.9f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 5), -1.0f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 6), 0.7f);
    EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 7), -1.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 1, 2), 999.9f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 2, 3), -1.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::BracketQuinella, 8, 8), 1.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::Quinella, 1, 2), 9999.9f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::Quinella, 1, 3), -1.0f);
    EXPECT_EQ(m_odds.OddsB(TBetKind::Quinella, 9, 10), 1234.5f);
}

// Records [A, B, C, A'] where A' is a second record of race A with other odds: which
// copy a read finds shows where the search began.
TEST_F(OddsRuvTest, SearchGoesOnFromTheLastRecordFoundAndWrapsOnce) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(9, "02"), RaceWith(9, "03")};
    SampleDay again;
    again.races = {day.races[0]};
    SampleDayOdds second(1);
    second[0].win = {{1, "00999"}};
    std::vector<std::string> records = RuvOddsRecords(day, {});
    records.push_back(RuvOddsRecords(again, second)[0]);
    auto reader = openRecords(records);
    const float first = SampleOdds(SampleWinTenths(1));
    auto winOfRunner1 = [&](const SampleRace& race) {
        EXPECT_TRUE(reader->Read(m_odds, SampleRaceKey(race), ""));
        return m_odds.Count() > 0 ? m_odds.OddsA(TBetKind::Win, 1) : 0.0f;
    };
    // in file order, each record follows the last one found
    EXPECT_EQ(winOfRunner1(day.races[0]), first);
    EXPECT_EQ(winOfRunner1(day.races[1]), first);
    EXPECT_EQ(winOfRunner1(day.races[2]), first);
    EXPECT_EQ(winOfRunner1(day.races[0]), 99.9f);
    // from the end the search wraps to the first copy
    EXPECT_EQ(winOfRunner1(day.races[0]), first);
    EXPECT_EQ(winOfRunner1(day.races[2]), first);
    // an earlier race: one wrap, then on from there
    EXPECT_EQ(winOfRunner1(day.races[1]), first);
    EXPECT_EQ(winOfRunner1(day.races[0]), 99.9f);
}

TEST_F(OddsRuvTest, ARaceNotInTheFileLeavesTheOddsCleared) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(9, "02"), RaceWith(9, "03", "05")};
    SampleDayOdds odds(3);
    odds[1].absent = true;
    auto reader = open(day, odds);
    ASSERT_TRUE(reader->Read(m_odds, SampleRaceKey(day.races[0]), ""));
    EXPECT_FALSE(reader->Read(m_odds, SampleRaceKey(day.races[1]), ""));
    EXPECT_EQ(m_odds.Count(), 0);
    EXPECT_EQ(m_odds.SourceText(), "");
    const std::string key = SampleRaceKey(day.races[2]); // 200101280603
    ASSERT_EQ(key, "200101280603");
    EXPECT_TRUE(reader->Read(m_odds, key, ""));
    for (const char* other :
         {"200101290603", "200101280503", "200101280601", "2001012806", "2001012806031", ""})
        EXPECT_FALSE(reader->Read(m_odds, other, "")) << other;
    EXPECT_THROW(reader->Read(m_odds, "20010128xx03", ""), EConvertError);
}

TEST_F(OddsRuvTest, ABadRunnerCountEndsTheReadWithTheOddsCleared) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(9, "02"), RaceWith(9, "03"), RaceWith(9, "04"),
                 RaceWith(9, "05")};
    SampleDayOdds odds(5);
    odds[1].runnerCount = "00";
    odds[2].runnerCount = "19";
    odds[3].runnerCount = "ab";
    odds[4].runnerCount = "  ";
    auto reader = open(day, odds);
    for (std::size_t i = 1; i <= 4; ++i) {
        ASSERT_TRUE(reader->Read(m_odds, SampleRaceKey(day.races[0]), ""));
        if (i <= 2) {
            try {
                reader->Read(m_odds, SampleRaceKey(day.races[i]), "");
                FAIL() << i;
            } catch (const EOddsError& e) {
                EXPECT_EQ(std::string(e.what()), "TOdds.Init");
            }
        } else {
            EXPECT_THROW(reader->Read(m_odds, SampleRaceKey(day.races[i]), ""), EConvertError);
        }
        EXPECT_EQ(m_odds.Count(), 0);
        EXPECT_EQ(m_odds.SourceText(), "");
    }
}

TEST_F(OddsRuvTest, AShortRecordAtTheEndIsNeverRead) {
    SampleDay day;
    day.races = {RaceWith(9, "01"), RaceWith(9, "02")};
    std::vector<std::string> records = RuvOddsRecords(day, {});
    records[1].resize(1000);
    auto reader = openRecords(records);
    EXPECT_FALSE(reader->Read(m_odds, SampleRaceKey(day.races[1]), ""));
    EXPECT_TRUE(reader->Read(m_odds, SampleRaceKey(day.races[0]), ""));
    EXPECT_FALSE(reader->Read(m_odds, SampleRaceKey(day.races[1]), ""));

    auto empty = openRecords({});
    EXPECT_FALSE(empty->Read(m_odds, SampleRaceKey(day.races[0]), ""));
}

// No reader is made, the message says why, and no file stays behind: a damaged member is
// not extracted, and a file of an earlier day does not stand in for it.
TEST_F(OddsRuvTest, AnArchiveWithoutTheOddsFileMakesNoReader) {
    std::string damaged = MakeLzhArchive({{"ruv_ods.kd2", std::string(ruvOddsRecord::kSize, '1')}});
    damaged[damaged.size() - 10] = '2';
    const std::string a = archive().string();
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {MakeLzhArchive({{"ruv_den1.kd2", std::string(100, ' ')}}),
         "ruv_ods.kd2がオープンできません\nruv_ods.kd2 は " + a + " にありません"},
        {std::nullopt, "ruv_ods.kd2がオープンできません\n" + a +
                           " を開けません: ファイルまたはフォルダがありません (No such file or "
                           "directory)"},
        {damaged, "ruv_ods.kd2がオープンできません\n" + a +
                      " の ruv_ods.kd2: データのCRCが合いません (LHa data CRC error)"},
        {damaged.substr(0, 40),
         "ruv_ods.kd2がオープンできません\nデータが途中で切れています (Truncated LHa header)"},
        {"", "ruv_ods.kd2がオープンできません\n" + a + " はLZHアーカイブではありません"},
    };
    for (const auto& [bytes, message] : cases) {
        fs::remove(archive());
        if (bytes)
            WriteBinaryFile(archive(), *bytes);
        WriteBinaryFile(m_work.path() / "ruv_ods.kd2", "stale");
        EXPECT_EQ(openError(), message);
        EXPECT_TRUE(fs::is_empty(m_work.path())) << message;
    }
}

TEST_F(OddsRuvTest, TheReaderDeletesItsFileWhenItEnds) {
    SampleDay day;
    day.races = {RaceWith(9, "01")};
    const fs::path archive = WriteRuvOddsArchive(m_archives.path(), kDayCode, day, {});
    std::string folder = m_work.folderText();
    folder.pop_back();
    auto reader = std::make_unique<TOddsRuv>(archive.string(), folder);
    EXPECT_EQ(reader->Folder(), m_work.folderText());
    EXPECT_TRUE(fs::exists(m_work.path() / "ruv_ods.kd2"));
    reader.reset();
    EXPECT_TRUE(fs::is_empty(m_work.path()));
}

// The race data's own keys find the odds: the racecourse number of RaceKey goes back to
// the data's course code.
TEST_F(OddsRuvTest, RaceKeysOfTheRaceDataFindTheirRecords) {
    SampleDay day;
    day.races = {RaceWith(9, "01", "00"), RaceWith(7, "02", "09"), RaceWith(16, "11", "04"),
                 RaceWith(5, "12", "03")};
    SampleDayOdds odds(4);
    odds[3].absent = true;
    for (std::size_t i = 0; i < 3; ++i)
        odds[i].win = {{1, Format("%.5zu", 100 + i)}};
    WriteDayArchive(m_archives.path() / "rv010128.lzh", day);
    TRaceRuv races((m_archives.path() / "rv010128.lzh").string(), m_work.folderText());
    auto reader = open(day, odds);
    for (int i = 0; i < races.RaceCount(); ++i) {
        races.SelectRace(i);
        const bool found = reader->Read(m_odds, races.RaceKey(), races.JrdbRaceKey());
        EXPECT_EQ(found, i < 3) << i;
        if (found) {
            EXPECT_EQ(m_odds.OddsA(TBetKind::Win, 1), static_cast<float>(100 + i) / 10.0f) << i;
        }
    }
}
