// TOddsRuv: the odds of the RUV odds archive (ruv_ods.kd2).
#include "odds/OddsRuv.h"

#include "odds/OddsRecords.h"
#include "platform/Cp932.h"
#include "platform/Unlha.h"
#include "race/RaceCode.h"
#include "race/RaceHelpers.h"

namespace {

const std::string kOddsFile = "ruv_ods.kd2";

// Caps of a field that begins with '*': odds too large for the field.
constexpr float kWinCap = 99.9f;
constexpr float kBracketCap = 999.9f;
constexpr float kQuinellaCap = 9999.9f;

// A field of tenths as odds: the cap when it is not a number but begins with '*',
// otherwise -1.
float oddsOfTenths(std::string_view field, float cap) {
    if (std::optional<int> tenths = FieldToIntOrNothing(field))
        return static_cast<float>(*tenths) / 10.0f;
    return !field.empty() && field.front() == '*' ? cap : -1.0f;
}

} // namespace

TOddsRuv::TOddsRuv(const std::string& archive, const std::string& folder) : TOddsFile(folder) {
    std::vector<std::string> images = extractAndLoad(archive, {kOddsFile});
    m_records = TOddsRecords(std::move(images[0]), ruvOddsRecord::kSize);
}

TOddsRuv::TOddsRuv(std::string image) : m_records(std::move(image), ruvOddsRecord::kSize) {}

std::unique_ptr<TOddsRuv> TOddsRuv::InMemory(const std::string& archive) {
    TMemberImages read = ExtractMembersInMemory(archive, {kOddsFile});
    if (!read.images.front())
        throw EOddsFileOpenError(MemberNotOpenedMessage(kOddsFile, read.messages));
    return std::make_unique<TOddsRuv>(std::move(*read.images.front()));
}

bool TOddsRuv::Read(TOdds& odds, const std::string& raceKey, const std::string&) {
    namespace ro = ruvOddsRecord;
    odds.Clear();
    // date, the data's course code, race number
    const std::string key = RaceKeyToDataCode(raceKey);
    if (key.size() != ro::kDate.width + ro::kCourse.width + ro::kRaceNumber.width)
        return false;
    const std::string_view date = std::string_view(key).substr(0, 8);
    const std::string_view course = std::string_view(key).substr(8, 2);
    const std::string_view race = std::string_view(key).substr(10, 2);
    std::optional<std::string_view> record = m_records.find([&](std::string_view r) {
        return bytesOf(r, ro::kDate) == date && bytesOf(r, ro::kCourse) == course &&
               bytesOf(r, ro::kRaceNumber) == race;
    });
    if (!record)
        return false;

    const int n = FieldToInt(bytesOf(*record, ro::kRunnerCount));
    odds.Init(n);
    odds.SetSourceText(sjis("RUV予想"));
    for (int k = 0; k < n; ++k)
        odds.SetOddsA(
            TBetKind::Win, k + 1,
            oddsOfTenths(bytesOf(*record, ro::win(static_cast<std::size_t>(k))), kWinCap));
    for (std::size_t s = 0; s < kBracketPairCount; ++s) {
        const OddsPair p = kBracketPairs[s];
        if (p.second <= n)
            odds.SetOddsB(TBetKind::BracketQuinella, p.first, p.second,
                          oddsOfTenths(bytesOf(*record, ro::bracket(s)), kBracketCap));
    }
    if (odds.HasHorseQuinella()) {
        for (std::size_t s = 0; s < kRunnerPairCount; ++s) {
            const OddsPair p = kRunnerPairs[s];
            if (p.second <= n)
                odds.SetOddsB(TBetKind::Quinella, p.first, p.second,
                              oddsOfTenths(bytesOf(*record, ro::quinella(s)), kQuinellaCap));
        }
    }
    return true;
}
