// A day's record files with a RUV odds file whose races hold another number of runners
// than the race card (a late scratching, a stale odds file): the parts are the race,
// runner, horse and odds files; the input's first byte is the runner count written into
// every odds record. Every race is walked with its odds.
#include "FuzzDay.h"

#include "odds/OddsRecords.h"
#include "odds/OddsRuv.h"
#include "platform/Format.h"
#include "race/RaceRuv.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::vector<std::string> files = SplitParts(data + 1, size - 1, 4);
    const std::string runners = Format("%2d", data[0] % 20);
    for (std::size_t at = 0; at + ruvOddsRecord::kSize <= files[3].size();
         at += ruvOddsRecord::kSize)
        files[3].replace(at + ruvOddsRecord::kRunnerCount.offset, ruvOddsRecord::kRunnerCount.width,
                         runners);
    std::unique_ptr<TRaceRuv> race;
    try {
        race = std::make_unique<TRaceRuv>(
            TRaceFiles{std::move(files[0]), std::move(files[1]), std::move(files[2])});
    } catch (const std::exception&) {
        return 0;
    }
    TOddsRuv reader(std::move(files[3]));
    WalkDay(*race, &reader);
    return 0;
}
