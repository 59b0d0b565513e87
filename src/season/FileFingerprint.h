#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The content hash the store keeps of a file: XXH64 (seed 0) of its bytes, a
// non-cryptographic hash that reads as fast as the disk; it tells a changed file, not a
// forged one.
std::uint64_t ContentHash(std::string_view bytes);

// The same hash over bytes given piece by piece, as a file is read.
class TContentHasher {
public:
    TContentHasher();
    void Add(std::string_view bytes);
    std::uint64_t Hash() const;

private:
    std::uint64_t m_lanes[4];
    bool m_started = false; // at least one stripe of 32 bytes went into the lanes
    std::uint64_t m_length = 0;
    unsigned char m_tail[32];
    std::size_t m_tailSize = 0;
};

// What the store remembers of a file to tell whether it changed: its size, its
// modification time and the hash of its content. A missing file has size -1.
struct TFileFingerprint {
    std::int64_t size = -1; // bytes
    std::int64_t mtime = 0; // nanoseconds since 1970-01-01 UTC
    std::string hash;       // 16 hex digits; empty until hashed

    bool Exists() const { return size >= 0; }
    // Same size and time: taken as unchanged without reading it.
    bool SameStamp(const TFileFingerprint& other) const {
        return size == other.size && mtime == other.mtime;
    }
};

// Size and time of file, without its hash; size -1 when it is no regular file.
TFileFingerprint FileStamp(const char* file);
// The same with the hash of its content; size -1 too when it cannot be read.
TFileFingerprint HashedFingerprint(const std::filesystem::path& file);
