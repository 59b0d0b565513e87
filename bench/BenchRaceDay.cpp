// Opening a day (extraction, race file, race index) and selecting every race once.
#include "BenchTimer.h"

#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"
#include "sampleday/SampleDays.h"

#include <string>

int main() {
    TWorkFolder archives;
    std::string archive = (archives.path() / "rv010128.lzh").string();
    WriteDayArchive(archive, SyntheticDay(36, 16));
    TWorkFolder work;
    benchmark("36 races x 16 runners: open, list, select all", 20, [&] {
        TRaceRuv source(archive, work.folderText());
        std::size_t bytes = 0;
        for (int i = 0; i < source.RaceCount(); ++i)
            bytes += source.RaceLine(i).size();
        for (int i = 0; i < source.RaceCount(); ++i) {
            source.SelectRace(i);
            bytes += source.HorseName(source.RunnerCount() - 1).size();
        }
        if (bytes == 0)
            std::abort();
    });
    TRaceRuv source(archive, work.folderText());
    benchmark("36 races x 16 runners: select all (day open)", 50, [&] {
        for (int i = 0; i < source.RaceCount(); ++i)
            source.SelectRace(i);
    });
}
