// Writing all four day files: the sample day of 36 races, and synthetic days of 360
// and 1,000 races, to show that the cost grows in proportion to the races.
#include "BenchTimer.h"

#include "session/DaySession.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleDays.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

void benchDay(const char* name, int rounds, const fs::path& archive, const fs::path& timeFolder,
              const fs::path& out) {
    TSettings settings;
    settings.Folder.Time = timeFolder.string() + "/";
    settings.Folder.OutTxt = out.string() + "/";
    settings.File = {0, 1, 1, 1, 1, 1, 1};
    TDaySession session(settings);
    session.FocusCreate();
    session.OpenDay(archive.string());
    benchmark(name, rounds, [&] {
        if (session.RunOutput(TOutputCommand::All, nullptr).files.empty())
            std::abort();
    });
}

} // namespace

int main() {
    TWorkFolder folder;
    fs::path archive = WriteDemoDay(folder.path());
    fs::create_directories(folder.path() / "out");
    benchDay("sample day, 36 races: all four files", 20, archive, folder.path() / "time",
             folder.path() / "out");
    for (int races : {360, 1000}) {
        TWorkFolder synthetic;
        SampleDay day = SyntheticDay(races, 14);
        fs::path dayArchive = synthetic.path() / "rv010128.lzh";
        WriteDayArchive(dayArchive, day);
        WriteRuvOddsArchive(synthetic.path(), "010128", day);
        WriteTimeDb(synthetic.path(), TimeDbCovering(day));
        fs::create_directories(synthetic.path() / "out");
        std::string name = "synthetic day, " + std::to_string(races) + " races: all four files";
        benchDay(name.c_str(), 3, dayArchive, synthetic.path(), synthetic.path() / "out");
    }
}
