#include "season/FileFingerprint.h"

#include "platform/FileImage.h"
#include "platform/Format.h"

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

std::uint64_t read64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v); // little-endian machines only, as the build targets
    return v;
}

std::uint32_t read32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint64_t round(std::uint64_t acc, std::uint64_t input) {
    return std::rotl(acc + input * kPrime2, 31) * kPrime1;
}

std::uint64_t merge(std::uint64_t acc, std::uint64_t lane) {
    return (acc ^ round(0, lane)) * kPrime1 + kPrime4;
}

} // namespace

std::uint64_t ContentHash(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    std::uint64_t h;
    if (bytes.size() >= 32) {
        std::uint64_t v[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
        for (; end - p >= 32; p += 32)
            for (int lane = 0; lane < 4; ++lane)
                v[lane] = round(v[lane], read64(p + 8 * lane));
        h = std::rotl(v[0], 1) + std::rotl(v[1], 7) + std::rotl(v[2], 12) + std::rotl(v[3], 18);
        for (std::uint64_t lane : v)
            h = merge(h, lane);
    } else {
        h = kPrime5;
    }
    h += bytes.size();
    for (; end - p >= 8; p += 8)
        h = std::rotl(h ^ round(0, read64(p)), 27) * kPrime1 + kPrime4;
    if (end - p >= 4) {
        h = std::rotl(h ^ (read32(p) * kPrime1), 23) * kPrime2 + kPrime3;
        p += 4;
    }
    for (; p < end; ++p)
        h = std::rotl(h ^ (*p * kPrime5), 11) * kPrime1;
    h = (h ^ (h >> 33)) * kPrime2;
    h = (h ^ (h >> 29)) * kPrime3;
    return h ^ (h >> 32);
}

TFileFingerprint FileStamp(const std::filesystem::path& file) {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            {}};
}

TFileFingerprint HashedFingerprint(const std::filesystem::path& file) {
    const TReadableFile readable(file);
    if (readable.Descriptor() < 0)
        return {};
    struct stat st {};
    fstat(readable.Descriptor(), &st);
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(readable.Descriptor(), bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            return {};
        got += static_cast<std::size_t>(n);
    }
    return {static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            Format("%.16llx", static_cast<unsigned long long>(ContentHash(bytes)))};
}
