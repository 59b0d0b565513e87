// time.dbx: loaded, then a speed figure computed for past runs that meet its own keys
// and for runs at the edges of every input.
#include "analysis/Sem.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace {

void calc(TSem& sem, std::int32_t date, std::int32_t course, std::int32_t dirt,
          std::int32_t distance, std::int32_t time, std::int32_t weight) {
    sem.Date = date;
    sem.Course = course;
    sem.Dirt = dirt;
    sem.Distance = distance;
    sem.Time = time;
    sem.Weight = weight;
    sem.CalcFigure();
    sem.Figure();
    sem.FailStep();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<TSem> sem;
    try {
        sem = TSem::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception&) {
        return 0; // a section that is missing or cut short: the format error
    }
    // the runs each table was made for
    constexpr std::size_t kRuns = 8;
    for (std::size_t i = 0; i < sem->StandardTimes().size() && i < kRuns; ++i) {
        const TSemTimeRecord& t = sem->StandardTimes()[i];
        const std::int32_t distance = t.key / 10 * 100;
        calc(*sem, 20010128, t.key % 10, static_cast<std::int32_t>(i % 2), distance, 1345, 550);
    }
    for (std::size_t i = 0; i < sem->TrackVariants().size() && i < kRuns; ++i) {
        const TSemBabaRecord& b = sem->TrackVariants()[i];
        calc(*sem, 20000000 + b.key / 10, b.key % 10, 1, 1600, 1345, 570);
    }
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    calc(*sem, kMin, kMin, kMin, kMin, kMin, kMin);
    calc(*sem, kMax, kMax, kMax, kMax, kMax, kMax);
    calc(*sem, 0, 9, 0, 655350, 9999, 0);
    return 0;
}
