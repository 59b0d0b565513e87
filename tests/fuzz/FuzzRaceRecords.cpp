// The day's three record files (race, runner, horse), parted by kPartSeparator: opened,
// listed, and every race walked.
#include "FuzzDay.h"

#include "race/RaceRuv.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> files = SplitParts(data, size, 3);
    std::unique_ptr<TRaceRuv> race;
    try {
        race = std::make_unique<TRaceRuv>(
            TRaceFiles{std::move(files[0]), std::move(files[1]), std::move(files[2])});
    } catch (const std::exception&) {
        return 0; // a race number that is not a number: the open error
    }
    WalkDay(*race, nullptr);
    return 0;
}
