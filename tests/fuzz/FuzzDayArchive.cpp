// A day's LZH archive, as the user opens it: written as the day archive, which is also
// the day's RUV and JRDB odds archive beside it (links to the same file); the day opened
// (extracting its members), listed, and every race selected, its odds read from the
// archive's odds members, predicted and written as its report block.
#include "FuzzDay.h"

#include "session/DaySession.h"
#include "session/Settings.h"
#include "output/Writers.h"
#include "platform/WorkFolder.h"
#include "race/RaceBase.h"
#include "sampleday/SampleDays.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>

namespace {

// One folder and one session for the whole run, as the window keeps them from day to day.
struct Place {
    TWorkFolder folder;
    TSettings settings;
    std::filesystem::path archive = folder.path() / "rv010128.lzh";
    std::unique_ptr<TDaySession> day;

    Place() {
        WriteTimeDb(folder.path(), TimeDbCovering(SmallTestDay()));
        settings.Folder.Time = folder.folderText();
        settings.Folder.Jrdb = folder.folderText();
        settings.Other.Jrdb = 1;
        WriteBinaryFile(archive, "");
        std::filesystem::create_hard_link(archive, folder.path() / "j010128.lzh");
        std::filesystem::create_hard_link(archive, folder.path() / "jrdb010128.lzh");
        day = std::make_unique<TDaySession>(settings);
        day->FocusCreate();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Place place;
    // rewritten in place, so the odds archives linked to it hold the same bytes
    std::ofstream(place.archive, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    TDaySession& day = *place.day;
    try {
        day.OpenDay(place.archive.string());
    } catch (const std::exception&) {
        return 0; // the open error the window shows
    }
    for (int i = 0; i < day.Race().RaceCount() && i < kMaxFuzzRaces; ++i) {
        try {
            day.Race().RaceLine(i);
            day.PrepareRace(i, true);
            TextReportBlock(day.OutputContext());
        } catch (const std::exception&) {
            // a race the data cannot give: its error, and the next race
        }
    }
    day.CloseDay();
    return 0;
}
