#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Writes LZH archives with stored (-lh0-) members, for test and sample data.
struct LzhMember {
    std::string name; // as written in the header (CP932 bytes)
    std::string data;
};

enum class LzhHeaderLevel { Level0 = 0, Level2 = 2 };

// The CRC-16 that LZH archives use (reflected polynomial 0xA001, start 0).
unsigned short LzhCrc16(const std::string& bytes, unsigned short crc = 0);

std::string MakeLzhArchive(const std::vector<LzhMember>& members,
                           LzhHeaderLevel level = LzhHeaderLevel::Level2);

// Throws std::runtime_error naming the file when it cannot be written.
void WriteBinaryFile(const std::filesystem::path& file, const std::string& bytes);
