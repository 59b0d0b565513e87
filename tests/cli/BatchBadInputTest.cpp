// ruvpelton-batch over input that is damaged or hostile, as a user runs it.
#include "BatchRun.h"

#include "platform/WorkFolder.h"
#include "sampleday/DayWriter.h"
#include "sampleday/SampleDays.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// A record file that is empty or cut short is named with the bytes left over; the whole
// records are used all the same.
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
        {2, 5166 * 3 + 5165, 2,
         "ruv_uma.kd2 の 20663 バイトは 5166 バイトのレコードで割り切れません: 最後の 5165 "
         "バイトは読みません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.warning);
        const TWorkFolder folder;
        const fs::path archive = folder.path() / "rv010128.lzh";
        std::vector<LzhMember> members = DayMembers(SmallTestDay());
        members[c.member].data.resize(c.size);
        WriteBinaryFile(archive, MakeLzhArchive(members));
        const BatchRun run = RunBatch("list '" + archive.string() + "'");
        EXPECT_EQ(run.err, "warning: " + archive.string() + ": " + c.warning + "\n");
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), c.races);
        EXPECT_EQ(run.exitCode, 0);
    }
}
