// Opening a day (extraction, race file, race index), selecting every race once, and
// computing the prediction of every race.
#include "BenchTimer.h"

#include "analysis/Focus.h"
#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"
#include "sampleday/SampleDays.h"

#include <string>

int main() {
    TWorkFolder folder;
    std::string archive = (folder.path() / "rv010128.lzh").string();
    SampleDay day = SyntheticDay(36, 16);
    WriteDayArchive(archive, day);
    WriteTimeDb(folder.path(), TimeDbCovering(day));
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
    TFocus focus(folder.folderText());
    benchmark("36 races x 16 runners: select and predict all", 50, [&] {
        int bets = 0;
        for (int i = 0; i < source.RaceCount(); ++i) {
            source.SelectRace(i);
            focus.Calc(source);
            bets += focus.BetCount();
        }
        if (bets < 0)
            std::abort();
    });
}
