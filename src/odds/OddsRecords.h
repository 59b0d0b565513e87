#pragma once

#include "race/RaceBase.h"
#include "race/RaceRecords.h"

#include <array>
#include <cstddef>

// Byte ranges of the odds day-files. Every field is text: digits as ASCII, blank-padded.

// A bracket or runner pair of an odds table, 1-based, first <= second.
struct OddsPair {
    int first;
    int second;
};

// The 36 bracket pairs in file and table order: (1,1), (1,2) .. (1,8), (2,2) .. (8,8).
constexpr std::size_t kBracketPairCount = 36;
constexpr std::array<OddsPair, kBracketPairCount> makeBracketPairs() {
    std::array<OddsPair, kBracketPairCount> pairs{};
    std::size_t s = 0;
    for (int i = 1; i <= 8; ++i)
        for (int j = i; j <= 8; ++j)
            pairs[s++] = {i, j};
    return pairs;
}
constexpr std::array<OddsPair, kBracketPairCount> kBracketPairs = makeBracketPairs();

// The 153 runner pairs in file and table order: (1,2), (1,3) .. (1,18), (2,3) .. (17,18).
constexpr std::size_t kRunnerPairCount = 153;
constexpr std::array<OddsPair, kRunnerPairCount> makeRunnerPairs() {
    std::array<OddsPair, kRunnerPairCount> pairs{};
    std::size_t s = 0;
    for (int i = 1; i <= kMaxRunners; ++i)
        for (int j = i + 1; j <= kMaxRunners; ++j)
            pairs[s++] = {i, j};
    return pairs;
}
constexpr std::array<OddsPair, kRunnerPairCount> kRunnerPairs = makeRunnerPairs();

// ruv_ods.kd2, the RUV odds file: one record per race. Odds are integers in tenths.
namespace ruvOddsRecord {
constexpr std::size_t kSize = 1504;
constexpr Field kCourse{0, 2};      // the data's course code, as in the race file
constexpr Field kRaceNumber{10, 2}; // where the race file keeps it
constexpr Field kDate{12, 8};       // YYYYMMDD
constexpr Field kRunnerCount{109, 2};
// runner k + 1
constexpr Field win(std::size_t k) {
    return {161 + 5 * k, 5};
}
// kBracketPairs[s]
constexpr Field bracket(std::size_t s) {
    return {251 + 5 * s, 5};
}
// kRunnerPairs[s]
constexpr Field quinella(std::size_t s) {
    return {431 + 7 * s, 7};
}
} // namespace ruvOddsRecord

// The JRDB oz file ("oz" + six characters + ".txt"): one record per race. Odds are
// decimal texts.
namespace jrdbOzRecord {
constexpr std::size_t kSize = 957;
constexpr Field kRaceKey{0, 8}; // the layout of JrdbRaceKey
constexpr Field kRunnerCount{8, 2};
constexpr Field win(std::size_t k) {
    return {10 + 5 * k, 5};
}
constexpr Field place(std::size_t k) {
    return {100 + 5 * k, 5};
}
// Quinella odds of kRunnerPairs[s] for fields of more than 8 runners, otherwise
// bracket quinella odds of kBracketPairs[s].
constexpr Field pair(std::size_t s) {
    return {190 + 5 * s, 5};
}
} // namespace jrdbOzRecord

// The JRDB ow file ("ow" + six characters + ".txt"): one record per race of more than
// 8 runners.
namespace jrdbOwRecord {
constexpr std::size_t kSize = 780;
constexpr Field kRaceKey{0, 8};
// kRunnerPairs[s]
constexpr Field wide(std::size_t s) {
    return {10 + 5 * s, 5};
}
} // namespace jrdbOwRecord
