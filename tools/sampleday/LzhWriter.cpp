#include "sampleday/LzhWriter.h"

#include <fstream>
#include <stdexcept>

namespace {

// 2001-01-28 12:00, as a DOS date and time and as a Unix time.
constexpr unsigned kDosTime = (21u << 25) | (1u << 21) | (28u << 16) | (12u << 11);
constexpr unsigned kUnixTime = 980683200u;

void putLittleEndian(std::string& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void setLittleEndian(std::string& out, std::size_t at, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string level0Header(const LzhMember& m) {
    std::string h;
    h += '\0'; // header size, set below
    h += '\0'; // header checksum, set below
    h += "-lh0-";
    putLittleEndian(h, static_cast<unsigned>(m.data.size()), 4);
    putLittleEndian(h, static_cast<unsigned>(m.data.size()), 4);
    putLittleEndian(h, kDosTime, 4);
    h += '\x20'; // attribute: archive
    h += '\0';   // level
    h += static_cast<char>(m.name.size());
    h += m.name;
    putLittleEndian(h, LzhCrc16(m.data), 2);
    h[0] = static_cast<char>(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i)
        sum += static_cast<unsigned char>(h[i]);
    h[1] = static_cast<char>(sum & 0xFF);
    return h;
}

std::string level2Header(const LzhMember& m) {
    std::string h;
    putLittleEndian(h, 0, 2); // total header size, set below
    h += "-lh0-";
    putLittleEndian(h, static_cast<unsigned>(m.data.size()), 4);
    putLittleEndian(h, static_cast<unsigned>(m.data.size()), 4);
    putLittleEndian(h, kUnixTime, 4);
    h += '\x20'; // reserved
    h += '\x02'; // level
    putLittleEndian(h, LzhCrc16(m.data), 2);
    h += 'U'; // operating system
    // extended headers: size (including the next size field), type, data
    putLittleEndian(h, 5, 2); // common header: the header CRC
    h += '\x00';
    std::size_t crcAt = h.size();
    putLittleEndian(h, 0, 2);
    putLittleEndian(h, static_cast<unsigned>(m.name.size() + 3), 2); // file name
    h += '\x01';
    h += m.name;
    putLittleEndian(h, 0, 2); // no further extended header
    if ((h.size() & 0xFF) == 0)
        h += '\0'; // a size whose low byte is 0 would read as the archive's end
    setLittleEndian(h, 0, static_cast<unsigned>(h.size()), 2);
    setLittleEndian(h, crcAt, LzhCrc16(h), 2);
    return h;
}

} // namespace

unsigned short LzhCrc16(const std::string& bytes, unsigned short crc) {
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<unsigned short>((crc >> 1) ^ 0xA001)
                            : static_cast<unsigned short>(crc >> 1);
    }
    return crc;
}

std::string MakeLzhArchive(const std::vector<LzhMember>& members, LzhHeaderLevel level) {
    std::string archive;
    for (const LzhMember& m : members) {
        archive += level == LzhHeaderLevel::Level0 ? level0Header(m) : level2Header(m);
        archive += m.data;
    }
    archive += '\0';
    return archive;
}

void WriteBinaryFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}
