// ruvpelton-batch write and csv as a user runs them, on days the sample-day writer makes.
#include "platform/WorkFolder.h"
#include "sampleday/SampleDays.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// What the command printed on its standard output, and its exit code.
struct BatchRun {
    std::string out;
    int exitCode = -1;
};

BatchRun runBatch(const std::string& arguments) {
    BatchRun run;
    FILE* pipe = popen((std::string(PELTON_BATCH_TOOL) + " " + arguments).c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 256> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        run.out += buffer.data();
    run.exitCode = WEXITSTATUS(pclose(pipe));
    return run;
}

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
         "no file written: every output file is switched off\n"},
        {"a day without races", SampleDay{}, "write --text --html",
         "no file written: the day has no races\n"},
        {"a day without races as CSV", SampleDay{}, "csv",
         "no file written: the day has no races\n"},
        {"a day without bets", dayWithoutBets(), "write --wars --ruv",
         "no file written: no race of the day has bets, and the WARS and RUV files hold only "
         "races with bets\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TWorkFolder folder;
        const fs::path archive = folder.path() / "rv010128.lzh";
        WriteDayArchive(archive, c.day);
        WriteTimeDb(folder.path(), SampleTimeDb{});
        const BatchRun run =
            runBatch(std::string(c.command) + " '" + archive.string() + "' --time '" +
                     folder.folderText() + "' --out '" + folder.folderText() + "' --ini '" +
                     (folder.path() / "none.ini").string() + "'");
        EXPECT_EQ(run.out, c.said);
        EXPECT_EQ(run.exitCode, 0);
    }
}
