// ruvpelton-batch over input that is damaged or hostile, as a user runs it.
#include "BatchRun.h"
#include "support/TestFiles.h"

#include "platform/WorkFolder.h"
#include "sampleday/DayWriter.h"
#include "sampleday/TimeDbWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// A record file that is empty or cut short is named with the bytes left over, by the day's
// commands and on the ledger's line of that day; the whole records are used all the same.
TEST(BatchBadInput, ARecordFileCutShortIsNamedWithItsLeftOverBytes) {
    const struct {
        std::size_t member; // ruv_den1.kd2, ruv_den2.kd2, ruv_uma.kd2
        std::size_t size;
        int races;
        const char* warning;
    } cases[] = {
        {0, 0, 0, "ruv_den1.kd2 は空です (0 バイト)"},
        {0, 1001, 1,
         "ruv_den1.kd2 の 1001 バイトは 779 バイトのレコードで割り切れません: 最後の 222 バイト"
         "は読みません"},
        {2, 5166 * 6 + 100, 2, // the day's six runners and 100 bytes more
         "ruv_uma.kd2 の 31096 バイトは 5166 バイトのレコードで割り切れません: 最後の 100 "
         "バイトは読みません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.warning);
        const TWorkFolder folder;
        const fs::path archive = folder.path() / "rv010128.lzh";
        SampleDay day; // two races of three runners
        day.races.resize(2);
        for (SampleRace& race : day.races)
            race.runners.resize(3);
        day.races[1].raceNumber = "02";
        AssignRunnerKeys(day);
        std::vector<LzhMember> members = DayMembers(day);
        members[c.member].data.resize(c.size);
        WriteBinaryFile(archive, MakeLzhArchive(members));
        const BatchRun run = RunBatch("list '" + archive.string() + "'");
        EXPECT_EQ(run.err, "警告: " + archive.string() + ": " + c.warning + "\n");
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), c.races);
        EXPECT_EQ(run.exitCode, 0);
        WriteTimeDb(folder.path(), SampleTimeDb{});
        const BatchRun ledger =
            RunBatch("ledger '" + folder.folderText() + "' --time '" + folder.folderText() +
                     "' --out '" + folder.folderText() + "'");
        EXPECT_EQ(ledger.err, std::string("警告: rv010128.lzh: ") + c.warning + "\n");
        EXPECT_EQ(ledger.exitCode, 0);
    }
}

// Text taken from the archive is text in the HTML report, never markup.
TEST(BatchBadInput, ArchiveTextIsTextInTheReport) {
    const TWorkFolder folder;
    SampleDay day;
    day.races.resize(1);
    day.races[0].name = "<script>alert(1)</script>";
    day.races[0].runners.resize(2);
    day.races[0].runners[0].horseName = "A&B";
    day.races[0].runners[1].jockey = "<b>";
    AssignRunnerKeys(day);
    const fs::path archive = folder.path() / "rv010128.lzh";
    WriteDayArchive(archive, day);
    WriteTimeDb(folder.path(), SampleTimeDb{});
    const BatchRun run = RunBatch("write '" + archive.string() + "' --html --time '" +
                                  folder.folderText() + "' --out '" + folder.folderText() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string page = ReadBytes(folder.path() / "s2001012804.htm");
    for (const char* shown :
         {R"(<font color="Blue">&lt;script&gt;alert(1)&lt;/script&gt;     </font>)",
          "<td>A&amp;B  ", "<td>&lt;b&gt;</td>"})
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
    for (const char* markup : {"<script>", "<b>A", "A&B", "<td><b>"})
        EXPECT_EQ(page.find(markup), std::string::npos) << markup;
}
