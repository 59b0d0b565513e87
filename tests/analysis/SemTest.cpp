#include "analysis/Sem.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/WorkFolder.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/TimeDbWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// 1600 m dirt at course 5 on 2001-01-28: standard 1:36.0, factor 10, variant -5.
SampleTimeDb exampleDb() {
    SampleTimeDb db;
    db.distanceFactors = {{16, 10}};
    db.standardTimes = {{165, 950, 960}};
    db.trackVariants = {{101285, 3, -5}};
    return db;
}

struct PastRace {
    int date = 20010128;
    int course = 5;
    int dirt = 1;
    int distance = 1600;
    int time = 1345; // 945 tenths
    int weight = 570;
};

bool calc(TSem& sem, const PastRace& run) {
    sem.Date = run.date;
    sem.Course = run.course;
    sem.Dirt = run.dirt;
    sem.Distance = run.distance;
    sem.Time = run.time;
    sem.Weight = run.weight;
    return sem.CalcFigure();
}

class SemTest : public ::testing::Test {
protected:
    TSem load(const SampleTimeDb& db) {
        WriteTimeDb(m_folder.path(), db);
        return TSem(m_folder.folderText());
    }
    void writeBytes(const std::string& bytes) {
        WriteBinaryFile(m_folder.path() / "time.dbx", bytes);
    }
    std::string formatMessage(const char* section) {
        return sjis("該当するデータがありません(") + section + ")" + sjis("\n読んだファイル: ") +
               m_folder.folderText() + "time.dbx";
    }
    TWorkFolder m_folder;
};

} // namespace

TEST_F(SemTest, WorkedExampleScores94AndLeavesTheDateReduced) {
    TSem sem = load(exampleDb());
    ASSERT_TRUE(calc(sem, {}));
    // (960 - 945) x 1.0 + 80 - 5 + (57 - 55) x 2
    EXPECT_EQ(sem.Figure(), 94.0f);
    EXPECT_EQ(sem.FailStep(), 0);
    EXPECT_EQ(sem.Date, 10128);
}

TEST_F(SemTest, TurfRunsReadTheTurfTimeAndVariant) {
    TSem sem = load(exampleDb());
    PastRace run;
    run.dirt = 0;
    run.time = 1340; // 940 tenths
    ASSERT_TRUE(calc(sem, run));
    EXPECT_EQ(sem.Figure(), 10 + 80 + 3 + 4.0f);
}

TEST_F(SemTest, DuplicateKeysLaterFactorAndTimeButEarlierVariantWin) {
    SampleTimeDb db = exampleDb();
    db.distanceFactors = {{16, 10}, {16, 20}};
    db.standardTimes = {{165, 0, 950}, {165, 0, 960}};
    db.trackVariants = {{101285, 0, -5}, {101285, 0, 7}};
    TSem sem = load(db);
    ASSERT_TRUE(calc(sem, {}));
    EXPECT_EQ(sem.Figure(), 15 * 2 + 80 - 5 + 4.0f);
    EXPECT_EQ(sem.FailStep(), 0);
}

TEST_F(SemTest, MissingOrNoneVariantCountsAsZero) {
    SampleTimeDb db = exampleDb();
    db.trackVariants = {{101285, 999, 999}};
    TSem withNone = load(db);
    ASSERT_TRUE(calc(withNone, {}));
    EXPECT_EQ(withNone.Figure(), 99.0f);
    EXPECT_EQ(withNone.FailStep(), 0);

    db.trackVariants = {{101275, -5, -5}, {101286, -5, -5}};
    TSem without = load(db);
    ASSERT_TRUE(calc(without, {}));
    EXPECT_EQ(without.Figure(), 99.0f);
    EXPECT_EQ(without.FailStep(), 3);
}

TEST_F(SemTest, DatesOfBothCenturiesMeetTheirVariantKeys) {
    SampleTimeDb db = exampleDb();
    db.trackVariants = {{9912261, 0, 10}, {104125, 0, 20}, {101285, 0, 99}};
    db.standardTimes.push_back({161, 0, 960});
    TSem sem = load(db);
    PastRace run;
    run.date = 19991226;
    run.course = 1;
    ASSERT_TRUE(calc(sem, run));
    EXPECT_EQ(sem.Date, 991226);
    EXPECT_EQ(sem.FailStep(), 0);
    EXPECT_EQ(sem.Figure(), 15 + 80 + 10 + 4.0f);

    run.date = 20010412;
    run.course = 5;
    ASSERT_TRUE(calc(sem, run));
    EXPECT_EQ(sem.Date, 10412);
    EXPECT_EQ(sem.Figure(), 15 + 80 + 20 + 4.0f);
}

TEST_F(SemTest, TimeIsMinutesSecondsTenthsAndWeightCountsTwoPointsAKilogram) {
    SampleTimeDb db = exampleDb();
    db.standardTimes = {{165, 0, 834}};
    db.trackVariants = {};
    TSem sem = load(db);
    const struct {
        int time;
        int weight;
        float figure;
    } cases[] = {
        {1234, 550, 80.0f},  // 1:23.4 is the standard time
        {1233, 550, 81.0f},  // a tenth faster
        {1240, 550, 74.0f},  // 1:24.0 is six tenths slower
        {1234, 540, 78.0f},  // a kilogram less
        {1234, 551, 80.2f},  // tenths of a kilogram
        {1000, 550, 314.0f}, // 1:00.0 is 600 tenths, 234 faster
    };
    for (const auto& c : cases) {
        PastRace run;
        run.time = c.time;
        run.weight = c.weight;
        ASSERT_TRUE(calc(sem, run));
        EXPECT_EQ(sem.Figure(), c.figure) << c.time << " " << c.weight;
        EXPECT_EQ(sem.FailStep(), 3);
    }
}

TEST_F(SemTest, NegativeFigureBecomesZeroButCounts) {
    TSem sem = load(exampleDb());
    PastRace run;
    run.time = 2000; // 120.0 s, 24 seconds slower
    ASSERT_TRUE(calc(sem, run));
    EXPECT_EQ(sem.Figure(), 0.0f);
    EXPECT_FALSE(std::signbit(sem.Figure()));
    EXPECT_EQ(sem.FailStep(), 0);
}

TEST_F(SemTest, StandardTimeKeyAddsTheCourseToTheDistanceInTensOfMetres) {
    SampleTimeDb db;
    db.distanceFactors = {{11, 10}};
    db.standardTimes = {{118, 700, 0}, {123, 720, 0}};
    TSem sem = load(db);
    const struct {
        int distance;
        int course;
        float figure;
    } cases[] = {
        {1100, 8, 80.0f},  // key 118
        {1150, 3, 80.0f},  // key 115 + 3 = 118, the same record
        {1150, 8, 100.0f}, // key 123
    };
    for (const auto& c : cases) {
        PastRace run;
        run.dirt = 0;
        run.distance = c.distance;
        run.course = c.course;
        run.time = 1100; // 700 tenths
        run.weight = 550;
        ASSERT_TRUE(calc(sem, run));
        EXPECT_EQ(sem.Figure(), c.figure) << c.distance << " " << c.course;
    }
}

TEST_F(SemTest, MissingFactorOrStandardTimeFailsWithItsStep) {
    SampleTimeDb db = exampleDb();
    db.distanceFactors.push_back({12, 0});
    db.standardTimes.push_back({125, 700, 0});
    TSem sem = load(db);
    ASSERT_TRUE(calc(sem, {}));
    ASSERT_NE(sem.Figure(), 0.0f);

    const struct {
        int distance;
        int dirt;
        int failStep;
    } cases[] = {
        {1800, 1, 1}, // no factor for 18
        {1200, 0, 1}, // factor 0
        {1650, 1, 2}, // factor of 16, no time for 170
        {1200, 1, 1},
    };
    for (const auto& c : cases) {
        PastRace run;
        run.distance = c.distance;
        run.dirt = c.dirt;
        EXPECT_FALSE(calc(sem, run)) << c.distance;
        EXPECT_EQ(sem.FailStep(), c.failStep) << c.distance;
        EXPECT_EQ(sem.Figure(), 0.0f) << c.distance;
    }

    // a dirt time of 0 is no standard time for a dirt run
    db.standardTimes = {{165, 950, 0}};
    TSem turfOnly = load(db);
    EXPECT_FALSE(calc(turfOnly, {}));
    EXPECT_EQ(turfOnly.FailStep(), 2);
}

TEST_F(SemTest, EmptyFactorTableEvaluatesNothing) {
    SampleTimeDb db = exampleDb();
    db.distanceFactors.clear();
    TSem sem = load(db);
    EXPECT_TRUE(sem.DistanceFactors().empty());
    EXPECT_EQ(sem.StandardTimes().size(), 1u);
    EXPECT_FALSE(calc(sem, {}));
    EXPECT_EQ(sem.FailStep(), 1);
}

TEST_F(SemTest, LoadsTablesAndIgnoresWhatFollowsTheThird) {
    SampleTimeDb db = exampleDb();
    db.trackVariants.push_back({-1, -32768, 32767});
    writeBytes(TimeDbBytes(db) + "SEMXXXX.DBX trailing bytes");
    TSem sem(m_folder.folderText());
    ASSERT_EQ(sem.TrackVariants().size(), 2u);
    EXPECT_EQ(sem.TrackVariants()[1].key, -1);
    EXPECT_EQ(sem.TrackVariants()[1].turf, -32768);
    EXPECT_EQ(sem.TrackVariants()[1].dirt, 32767);
    EXPECT_EQ(sem.StandardTimes()[0].dirt, 960);
}

TEST_F(SemTest, FolderGetsItsSeparatorAndAnEmptyOneIsTheCurrentFolder) {
    WriteTimeDb(m_folder.path(), exampleDb());
    std::string plain = m_folder.path().string();
    EXPECT_EQ(TSem(plain).Folder(), plain + "/");
    EXPECT_EQ(TSem(plain + "/").Folder(), plain + "/");

    const fs::path before = fs::current_path();
    fs::current_path(m_folder.path());
    try {
        TSem here("");
        EXPECT_EQ(here.DistanceFactors().size(), 1u);
    } catch (...) {
        fs::current_path(before);
        throw;
    }
    fs::current_path(before);
}

TEST_F(SemTest, MissingFileIsAnOpenError) {
    try {
        TSem sem(m_folder.folderText());
        FAIL() << "loaded";
    } catch (const ESemOpenError& e) {
        EXPECT_EQ(std::string(e.what()), sjis("time.dbxがオープンできません") +
                                             sjis("\n探したフォルダ: ") + m_folder.folderText());
    }
    EXPECT_THROW(TSem((m_folder.path() / "absent").string()), ESemOpenError);
}

TEST_F(SemTest, UnreadableFileIsTheRuntimeFileError) {
    fs::create_directory(m_folder.path() / "time.dbx");
    EXPECT_THROW(TSem(m_folder.folderText()), EInOutError);
}

TEST_F(SemTest, EachWrongHeaderNamesTheExpectedSection) {
    const char* sections[] = {"SEMDIST.DBX", "SEMTIME.DBX", "SEMBABA.DBX"};
    for (int s = 0; s < 3; ++s) {
        SampleTimeDb db = exampleDb();
        db.sectionNames[s] = s == 1 ? "semtime.dbx" : "SEMXXXX.DBX";
        WriteTimeDb(m_folder.path(), db);
        try {
            TSem sem(m_folder.folderText());
            ADD_FAILURE() << sections[s] << " accepted";
        } catch (const ESemFormatError& e) {
            EXPECT_EQ(std::string(e.what()), formatMessage(sections[s]));
        }
    }
}

TEST_F(SemTest, FileEndingInsideAHeaderOrTableIsRefused) {
    SampleTimeDb db = exampleDb();
    db.distanceFactors.push_back({12, 10});
    db.standardTimes.push_back({125, 700, 710});
    db.trackVariants.push_back({101286, 1, 1});
    const std::string whole = TimeDbBytes(db);
    const std::size_t timeStart = kTimeDbHeaderSize + 2 * 4;
    const std::size_t babaStart = timeStart + kTimeDbHeaderSize + 2 * 6;
    ASSERT_EQ(whole.size(), babaStart + kTimeDbHeaderSize + 2 * 8);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        writeBytes(whole.substr(0, length));
        const char* section = length < timeStart   ? "SEMDIST.DBX"
                              : length < babaStart ? "SEMTIME.DBX"
                                                   : "SEMBABA.DBX";
        try {
            TSem sem(m_folder.folderText());
            ADD_FAILURE() << length << " bytes accepted";
        } catch (const ESemFormatError& e) {
            EXPECT_EQ(std::string(e.what()), formatMessage(section)) << length;
        }
    }
    writeBytes(whole);
    EXPECT_EQ(TSem(m_folder.folderText()).TrackVariants().size(), 2u);
}

TEST_F(SemTest, CountsBeyondTheFileAreRefused) {
    const char* sections[] = {"SEMDIST.DBX", "SEMTIME.DBX", "SEMBABA.DBX"};
    for (int s = 0; s < 3; ++s) {
        SampleTimeDb db = exampleDb();
        db.declaredCounts[s] = 0xFFFF;
        WriteTimeDb(m_folder.path(), db);
        try {
            TSem sem(m_folder.folderText());
            ADD_FAILURE() << sections[s] << " accepted";
        } catch (const ESemFormatError& e) {
            EXPECT_EQ(std::string(e.what()), formatMessage(sections[s]));
        }
    }
}
