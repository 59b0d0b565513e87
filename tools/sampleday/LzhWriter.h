#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Writes LZH archives with stored (-lh0-) members, for test and sample data; the fields
// after data let a test write the headers a hostile archive would hold.
struct LzhMember {
    LzhMember(std::string name, std::string data) : name(std::move(name)), data(std::move(data)) {}

    std::string name; // as written in the header (CP932 bytes)
    std::string data;
    std::string method = "-lh0-";              // "-lhd-": a folder, or a link with unixMode
    std::optional<std::uint32_t> declaredSize; // the original size written; data's size
    std::optional<std::uint16_t> unixMode;     // a UNIX mode (0120777: a symbolic link)
};

enum class LzhHeaderLevel { Level0 = 0, Level1 = 1, Level2 = 2 };

// The CRC-16 that LZH archives use (reflected polynomial 0xA001, start 0).
unsigned short LzhCrc16(const std::string& bytes, unsigned short crc = 0);

std::string MakeLzhArchive(const std::vector<LzhMember>& members,
                           LzhHeaderLevel level = LzhHeaderLevel::Level2);

// Throws std::runtime_error naming the file when it cannot be written.
void WriteBinaryFile(const std::filesystem::path& file, const std::string& bytes);
