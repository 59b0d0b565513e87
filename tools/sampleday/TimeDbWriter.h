#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A time database (time.dbx) described in code: its three tables in file order.
// Values are stored as written, little-endian, each truncated to its field's width.

struct SampleDistanceFactor {
    int key;    // distance in metres div 100
    int factor; // figure points per tenth of a second, times ten
};

struct SampleStandardTime {
    int key;  // distance in metres div 10 plus the one-digit course code
    int turf; // tenths of a second; 0 = none
    int dirt;
};

struct SampleTrackVariant {
    std::int32_t key; // YYMMDD times 10 plus the one-digit course code
    int turf;         // 999 = none
    int dirt;
};

struct SampleTimeDb {
    std::vector<SampleDistanceFactor> distanceFactors;
    std::vector<SampleStandardTime> standardTimes;
    std::vector<SampleTrackVariant> trackVariants;
    std::array<std::string, 3> sectionNames{"SEMDIST.DBX", "SEMTIME.DBX", "SEMBABA.DBX"};
    // The record count written in each header; the table's size when not given.
    std::array<std::optional<std::uint16_t>, 3> declaredCounts;
};

// The keys the way the time database forms them.
int DistanceFactorKey(int distance);
int StandardTimeKey(int distance, int course);
std::int32_t TrackVariantKey(int yyyymmdd, int course);

// A section header: an 11-byte name, one unused byte, the record count.
constexpr std::size_t kTimeDbHeaderSize = 14;

std::string TimeDbBytes(const SampleTimeDb& db);

// Writes folder/time.dbx.
void WriteTimeDb(const std::filesystem::path& folder, const SampleTimeDb& db);
