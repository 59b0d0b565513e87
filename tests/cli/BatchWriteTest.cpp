// ruvpelton-batch write and csv as a user runs them, on days the sample-day writer makes.
#include "BatchRun.h"

#include "platform/WorkFolder.h"
#include "sampleday/SampleDays.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// A race whose runners have no past runs: no figures, so no bets.
SampleDay dayWithoutBets() {
    SampleDay day;
    day.races.resize(1);
    day.races[0].runners.resize(3);
    AssignRunnerKeys(day);
    return day;
}

} // namespace

// When no file was started, the tool says why.
TEST(BatchWrite, SaysWhyNoFileWasWritten) {
    const struct {
        const char* name;
        SampleDay day;
        const char* command; // with the files it asks for
        const char* said;
    } cases[] = {
        {"no file switched on", dayWithoutBets(), "write",
         "書き込んだファイルはありません: 出力するファイルがすべてオフです\n"},
        {"a day without races", SampleDay{}, "write --text --html",
         "書き込んだファイルはありません: この日にはレースがありません\n"},
        {"a day without races as CSV", SampleDay{}, "csv",
         "書き込んだファイルはありません: この日にはレースがありません\n"},
        {"a day without bets", dayWithoutBets(), "write --wars --ruv",
         "書き込んだファイルはありません: 買い目のあるレースがありません (WARS と RUV のファイル"
         "には買い目のあるレースだけが入ります)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TWorkFolder folder;
        const fs::path archive = folder.path() / "rv010128.lzh";
        WriteDayArchive(archive, c.day);
        WriteTimeDb(folder.path(), SampleTimeDb{});
        WriteBinaryFile(folder.path() / "empty.ini", ""); // every setting at its default
        const BatchRun run =
            RunBatch(std::string(c.command) + " '" + archive.string() + "' --time '" +
                     folder.folderText() + "' --out '" + folder.folderText() + "' --ini '" +
                     (folder.path() / "empty.ini").string() + "'");
        EXPECT_EQ(run.out, c.said);
        EXPECT_EQ(run.exitCode, 0);
    }
}
