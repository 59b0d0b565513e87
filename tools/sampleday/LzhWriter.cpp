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

std::uint32_t declaredSize(const LzhMember& m) {
    return m.declaredSize.value_or(static_cast<std::uint32_t>(m.data.size()));
}

// The DOS header sum of levels 0 and 1: the bytes after the first two, modulo 256.
void setHeaderSum(std::string& h) {
    h[0] = static_cast<char>(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i)
        sum += static_cast<unsigned char>(h[i]);
    h[1] = static_cast<char>(sum & 0xFF);
}

// The fields levels 0 and 1 share, up to the name's CRC: compressed size, original size,
// DOS time, attribute, level, name.
std::string dosHeaderStart(const LzhMember& m, unsigned compressedSize, char level) {
    std::string h;
    h += '\0'; // header size, set by setHeaderSum
    h += '\0'; // header sum, likewise
    h += m.method;
    putLittleEndian(h, compressedSize, 4);
    putLittleEndian(h, declaredSize(m), 4);
    putLittleEndian(h, kDosTime, 4);
    h += '\x20'; // attribute: archive
    h += level;
    h += static_cast<char>(m.name.size());
    h += m.name;
    putLittleEndian(h, LzhCrc16(m.data), 2);
    return h;
}

std::string level0Header(const LzhMember& m) {
    std::string h = dosHeaderStart(m, static_cast<unsigned>(m.data.size()), '\0');
    if (m.unixMode) { // the extension of LHa for UNIX: 'U', version, time, mode, uid, gid
        h += "U";
        h += '\0';
        putLittleEndian(h, kUnixTime, 4);
        putLittleEndian(h, *m.unixMode, 2);
        putLittleEndian(h, 0, 4);
    }
    setHeaderSum(h);
    return h;
}

// Extended headers of levels 1 and 2: each its size (counting the size field), its type
// and its data; a size of 0 ends them.
void putExtendedHeader(std::string& h, char type, const std::string& data) {
    putLittleEndian(h, static_cast<unsigned>(data.size() + 3), 2);
    h += type;
    h += data;
}

std::string unixModeData(const LzhMember& m) {
    std::string data;
    putLittleEndian(data, *m.unixMode, 2);
    return data;
}

std::string level1Header(const LzhMember& m) {
    std::string extended;
    if (m.unixMode)
        putExtendedHeader(extended, '\x50', unixModeData(m));
    // the compressed size counts the extended headers after the base header
    std::string h =
        dosHeaderStart(m, static_cast<unsigned>(m.data.size() + extended.size()), '\x01');
    h += 'U'; // operating system
    const std::string tail = extended + std::string(2, '\0');
    h += tail.substr(0, 2); // the base header ends with the first extended header's size
    setHeaderSum(h);
    return h + tail.substr(2);
}

std::string level2Header(const LzhMember& m) {
    std::string h;
    putLittleEndian(h, 0, 2); // total header size, set below
    h += m.method;
    putLittleEndian(h, static_cast<unsigned>(m.data.size()), 4);
    putLittleEndian(h, declaredSize(m), 4);
    putLittleEndian(h, kUnixTime, 4);
    h += '\x20'; // reserved
    h += '\x02'; // level
    putLittleEndian(h, LzhCrc16(m.data), 2);
    h += 'U';                                           // operating system
    putExtendedHeader(h, '\x00', std::string(2, '\0')); // the header CRC, set below
    const std::size_t crcAt = h.size() - 2;
    putExtendedHeader(h, '\x01', m.name);
    if (m.unixMode)
        putExtendedHeader(h, '\x50', unixModeData(m));
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
        switch (level) {
        case LzhHeaderLevel::Level0: archive += level0Header(m); break;
        case LzhHeaderLevel::Level1: archive += level1Header(m); break;
        case LzhHeaderLevel::Level2: archive += level2Header(m); break;
        }
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
