#include "sampleday/TimeDbWriter.h"

#include "sampleday/LzhWriter.h"

namespace {

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putHeader(std::string& out, const std::string& name, std::size_t records,
               const std::optional<std::uint16_t>& declared) {
    std::string header = name;
    header.resize(11, ' ');
    out += header;
    out += '\0';
    putLe(out, declared.value_or(static_cast<std::uint16_t>(records)), 2);
}

} // namespace

int DistanceFactorKey(int distance) {
    return distance / 100;
}

int StandardTimeKey(int distance, int course) {
    return distance / 10 + course;
}

std::int32_t TrackVariantKey(int yyyymmdd, int course) {
    int yymmdd = yyyymmdd % 1000000;
    return yymmdd * 10 + course;
}

std::string TimeDbBytes(const SampleTimeDb& db) {
    std::string out;
    putHeader(out, db.sectionNames[0], db.distanceFactors.size(), db.declaredCounts[0]);
    for (const auto& r : db.distanceFactors) {
        putLe(out, static_cast<std::uint32_t>(r.key), 2);
        putLe(out, static_cast<std::uint32_t>(r.factor), 2);
    }
    putHeader(out, db.sectionNames[1], db.standardTimes.size(), db.declaredCounts[1]);
    for (const auto& r : db.standardTimes) {
        putLe(out, static_cast<std::uint32_t>(r.key), 2);
        putLe(out, static_cast<std::uint32_t>(r.turf), 2);
        putLe(out, static_cast<std::uint32_t>(r.dirt), 2);
    }
    putHeader(out, db.sectionNames[2], db.trackVariants.size(), db.declaredCounts[2]);
    for (const auto& r : db.trackVariants) {
        putLe(out, static_cast<std::uint32_t>(r.key), 4);
        putLe(out, static_cast<std::uint32_t>(r.turf), 2);
        putLe(out, static_cast<std::uint32_t>(r.dirt), 2);
    }
    return out;
}

void WriteTimeDb(const std::filesystem::path& folder, const SampleTimeDb& db) {
    WriteBinaryFile(folder / "time.dbx", TimeDbBytes(db));
}
