// TSem: the time database time.dbx and the speed figure of one past run.
#include "analysis/Sem.h"

#include "platform/Cp932.h"
#include "platform/FileImage.h"
#include "platform/Folder.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kFileName = "time.dbx";

// time.dbx: three sections, each a 14-byte header (11-byte name, one unused byte,
// the record count as unsigned 16-bit little-endian) followed by its records.
namespace semHeader {
constexpr std::size_t kSize = 14;
constexpr std::size_t kNameWidth = 11;
constexpr std::size_t kCountOffset = 12;
} // namespace semHeader

constexpr const char* kDistSection = "SEMDIST.DBX";
constexpr const char* kTimeSection = "SEMTIME.DBX";
constexpr const char* kBabaSection = "SEMBABA.DBX";
constexpr std::size_t kDistRecordSize = 4;
constexpr std::size_t kTimeRecordSize = 6;
constexpr std::size_t kBabaRecordSize = 8;

std::uint16_t u16At(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::uint32_t u32At(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(u16At(bytes, offset)) |
           static_cast<std::uint32_t>(u16At(bytes, offset + 2)) << 16;
}

// Each key's position in records: the last of the key, or the first.
template <typename Record, typename Key>
void indexKeys(const std::vector<Record>& records, std::unordered_map<Key, std::size_t>& index,
               bool lastWins) {
    index.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        if (lastWins)
            index.insert_or_assign(records[i].key, i);
        else
            index.emplace(records[i].key, i);
}

// The record of key; nullptr when there is none.
template <typename Record, typename Key>
const Record* recordOf(const std::vector<Record>& records,
                       const std::unordered_map<Key, std::size_t>& index, Key key) {
    const auto found = index.find(key);
    return found == index.end() ? nullptr : &records[found->second];
}

ESemFormatError formatError(const char* section) {
    return ESemFormatError(sjis("該当するデータがありません(") + section + ")");
}

// The largest file that can matter: three headers and three full tables; nothing after
// the third table is read.
constexpr std::uintmax_t kMaxUsedSize =
    3 * semHeader::kSize + 0xFFFFu * (kDistRecordSize + kTimeRecordSize + kBabaRecordSize);

// Reads the sections in order; every count is checked against the bytes the file
// still holds before anything is allocated, so a file that ends inside a table (or
// claims more records than it has) is refused instead of read past its end.
class SectionReader {
public:
    explicit SectionReader(std::string_view bytes) : m_bytes(bytes) {}

    // The section's records as raw bytes, after its header was found and checked.
    std::string section(const char* name, std::size_t recordSize) {
        std::string header = take(semHeader::kSize, name);
        if (header.compare(0, semHeader::kNameWidth, name) != 0)
            throw formatError(name);
        std::size_t count = u16At(header, semHeader::kCountOffset);
        return take(count * recordSize, name);
    }

private:
    std::string take(std::size_t n, const char* section) {
        if (n > m_bytes.size())
            throw formatError(section);
        std::string bytes(m_bytes.substr(0, n));
        m_bytes.remove_prefix(n);
        return bytes;
    }

    std::string_view m_bytes;
};

} // namespace

// an empty folder is the current one
TSem::TSem(const std::string& folder) : m_folder(WithSeparator(folder.empty() ? "./" : folder)) {
    const fs::path file = fs::path(m_folder) / kFileName;
    std::optional<std::string> image = ReadFileImage(file, kMaxUsedSize, TFileRead::Prefix);
    std::error_code ignored;
    if (!image)
        throw ESemOpenError(sjis("time.dbxがオープンできません") + sjis("\n探したフォルダ: ") +
                            toCp932Lenient(fs::absolute(m_folder, ignored).string()));
    try {
        load(*image);
    } catch (const ESemFormatError& error) {
        // the section alone does not tell which file of which folder it was
        throw ESemFormatError(error.what() + sjis("\n読んだファイル: ") +
                              toCp932Lenient(fs::absolute(file, ignored).string()));
    }
}

TSem TSem::FromBytes(std::string_view bytes) {
    TSem sem;
    sem.load(bytes);
    return sem;
}

void TSem::load(std::string_view bytes) {
    SectionReader reader(bytes);
    std::string dist = reader.section(kDistSection, kDistRecordSize);
    for (std::size_t at = 0; at < dist.size(); at += kDistRecordSize)
        m_distanceFactors.push_back({u16At(dist, at), u16At(dist, at + 2)});
    std::string time = reader.section(kTimeSection, kTimeRecordSize);
    for (std::size_t at = 0; at < time.size(); at += kTimeRecordSize)
        m_standardTimes.push_back({u16At(time, at), u16At(time, at + 2), u16At(time, at + 4)});
    std::string baba = reader.section(kBabaSection, kBabaRecordSize);
    for (std::size_t at = 0; at < baba.size(); at += kBabaRecordSize)
        m_trackVariants.push_back({static_cast<std::int32_t>(u32At(baba, at)),
                                   static_cast<std::int16_t>(u16At(baba, at + 4)),
                                   static_cast<std::int16_t>(u16At(baba, at + 6))});
    indexKeys(m_distanceFactors, m_factorOf, true);
    indexKeys(m_standardTimes, m_standardOf, true);
    indexKeys(m_trackVariants, m_variantOf, false);
}

bool TSem::CalcFigure() {
    m_figure = 0;
    // the steps are the working values, so that what they show is what was computed
    TSemSteps& s = m_steps;
    s = TSemSteps{Date, Course, Dirt, Distance, Time, Weight};

    // YYYYMMDD to YYMMDD; 64-bit so that no input overflows.
    std::int64_t date = std::int64_t{Date} - 19000000;
    if (date >= 1000000)
        date -= 1000000;
    Date = static_cast<std::int32_t>(date);
    s.shortDate = Date;

    s.distanceKey = static_cast<std::uint16_t>(Distance / 100);
    const TSemDistRecord* factor = recordOf(m_distanceFactors, m_factorOf, s.distanceKey);
    s.factorFound = factor != nullptr;
    s.factor = factor != nullptr ? factor->factor : 0;
    if (s.factor == 0) {
        s.failStep = kNoDistanceFactor;
        return false;
    }

    s.timeKey = static_cast<std::uint16_t>(std::int64_t{Distance} / 10 + Course);
    const TSemTimeRecord* standard = recordOf(m_standardTimes, m_standardOf, s.timeKey);
    s.standardFound = standard != nullptr;
    if (standard != nullptr)
        s.standard = Dirt == 0 ? standard->turf : standard->dirt;
    if (s.standard == 0) {
        s.failStep = kNoStandardTime;
        return false;
    }

    s.dayKey = static_cast<std::int32_t>(std::int64_t{Date} * 10 + Course);
    const TSemBabaRecord* variant = recordOf(m_trackVariants, m_variantOf, s.dayKey);
    s.variantFound = variant != nullptr;
    if (variant != nullptr)
        s.variantStored = Dirt == 0 ? variant->turf : variant->dirt;
    else
        s.failStep = kNoTrackVariant;
    s.variant = s.variantStored == kNoVariant ? std::int16_t{0} : s.variantStored;

    // MSSd to tenths of a second: 1234 is 1:23.4, 834 tenths. The sum is formed term by
    // term from the left in double, as one expression would form it.
    s.run = std::int64_t{Time} - 400 * (std::int64_t{Time} / 1000);
    s.speed = static_cast<double>(std::int64_t{s.standard} - s.run) * (s.factor / 10.0);
    s.withBase = s.speed + 80;
    s.withVariant = s.withBase + s.variant;
    s.weightPoints = (Weight / 10.0 - 55) * 2;
    s.unfloored = s.withVariant + s.weightPoints;
    m_figure = static_cast<float>(s.unfloored);
    if (!(m_figure > 0)) // also a negative zero or a NaN
        m_figure = 0;
    return true;
}
