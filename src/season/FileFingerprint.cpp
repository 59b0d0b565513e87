#include "season/FileFingerprint.h"

#include "platform/FileImage.h"
#include "platform/Format.h"

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <algorithm>
#include <cstring>

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

TContentHasher::TContentHasher() : m_lanes{kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1}, m_tail{} {}

void TContentHasher::Add(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    m_length += bytes.size();
    auto stripe = [this](const unsigned char* s) {
        for (int lane = 0; lane < 4; ++lane)
            m_lanes[lane] = round(m_lanes[lane], read64(s + 8 * lane));
        m_started = true;
    };
    if (m_tailSize > 0) {
        const std::size_t take = std::min<std::size_t>(32 - m_tailSize, bytes.size());
        std::memcpy(m_tail + m_tailSize, p, take);
        m_tailSize += take;
        p += take;
        if (m_tailSize < 32)
            return;
        stripe(m_tail);
        m_tailSize = 0;
    }
    for (; end - p >= 32; p += 32)
        stripe(p);
    std::memcpy(m_tail, p, static_cast<std::size_t>(end - p));
    m_tailSize = static_cast<std::size_t>(end - p);
}

std::uint64_t TContentHasher::Hash() const {
    std::uint64_t h;
    if (m_started) {
        const std::uint64_t* v = m_lanes;
        h = std::rotl(v[0], 1) + std::rotl(v[1], 7) + std::rotl(v[2], 12) + std::rotl(v[3], 18);
        for (int lane = 0; lane < 4; ++lane)
            h = merge(h, v[lane]);
    } else {
        h = kPrime5;
    }
    h += m_length;
    const unsigned char* p = m_tail;
    const unsigned char* const end = m_tail + m_tailSize;
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

std::uint64_t ContentHash(std::string_view bytes) {
    TContentHasher hasher;
    hasher.Add(bytes);
    return hasher.Hash();
}

TFileFingerprint FileStamp(const char* file) {
    struct stat st {};
    if (stat(file, &st) != 0 || !S_ISREG(st.st_mode))
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
    TContentHasher hasher;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(readable.Descriptor(), buffer, sizeof buffer);
        if (n < 0)
            return {};
        if (n == 0)
            break;
        hasher.Add(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    return {static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            Format("%.16llx", static_cast<unsigned long long>(hasher.Hash()))};
}
