// TOddsJrdb: the odds of a JRDB odds archive (the oz and ow files).
#include "odds/OddsJrdb.h"

#include "odds/OddsRecords.h"
#include "odds/OddsText.h"
#include "platform/Cp932.h"
#include "race/RaceCode.h"

#include <filesystem>

namespace {

// Characters 5 to 10 of the archive's file name ("jrdb" + day code + ".lzh"); fewer
// when the name is shorter.
std::string dayCodeOf(const std::string& archive) {
    const std::string name = std::filesystem::path(archive).filename().string();
    return name.size() > 4 ? name.substr(4, 6) : std::string();
}

int runnerCountOf(std::string_view field) {
    return FieldToIntOrNothing(field).value_or(0);
}

} // namespace

TOddsJrdb::TOddsJrdb(const std::string& archive, const std::string& folder)
    : TOddsFile(folder), m_ozName("oz" + dayCodeOf(archive) + ".txt"),
      m_owName("ow" + dayCodeOf(archive) + ".txt") {
    std::vector<std::string> images = extractAndLoad(archive, {m_ozName, m_owName});
    m_oz = TOddsRecords(std::move(images[0]), jrdbOzRecord::kSize);
    m_ow = TOddsRecords(std::move(images[1]), jrdbOwRecord::kSize);
}

TOddsJrdb::TOddsJrdb(TJrdbOddsFiles files)
    : m_oz(std::move(files.oz), jrdbOzRecord::kSize),
      m_ow(std::move(files.ow), jrdbOwRecord::kSize) {}

bool TOddsJrdb::Read(TOdds& odds, const std::string&, const std::string& jrdbRaceKey) {
    namespace oz = jrdbOzRecord;
    namespace ow = jrdbOwRecord;
    odds.Clear();
    auto isRace = [&jrdbRaceKey](Field keyField) {
        return [&jrdbRaceKey, keyField](std::string_view r) {
            return bytesOf(r, keyField) == jrdbRaceKey;
        };
    };
    std::optional<std::string_view> record = m_oz.find(isRace(oz::kRaceKey));
    if (!record)
        return false;

    const int n = runnerCountOf(bytesOf(*record, oz::kRunnerCount));
    odds.Init(n);
    odds.SetSourceText(sjis("JRDB予想"));
    for (int k = 0; k < n; ++k) {
        const auto runner = static_cast<std::size_t>(k);
        odds.SetOddsA(TBetKind::Win, k + 1, oddsOfText(bytesOf(*record, oz::win(runner))));
        const float place = oddsOfText(bytesOf(*record, oz::place(runner)));
        odds.SetOddsA(TBetKind::PlaceLower, k + 1, place);
        odds.SetOddsA(TBetKind::PlaceUpper, k + 1, place);
    }
    if (odds.HasHorseQuinella()) {
        for (std::size_t s = 0; s < kRunnerPairCount; ++s) {
            const OddsPair p = kRunnerPairs[s];
            if (p.second <= n)
                odds.SetOddsB(TBetKind::Quinella, p.first, p.second,
                              oddsOfText(bytesOf(*record, oz::pair(s))));
        }
        if (std::optional<std::string_view> wide = m_ow.find(isRace(ow::kRaceKey))) {
            for (std::size_t s = 0; s < kRunnerPairCount; ++s) {
                const OddsPair p = kRunnerPairs[s];
                if (p.second > n)
                    continue;
                const float value = oddsOfText(bytesOf(*wide, ow::wide(s)));
                odds.SetOddsB(TBetKind::WideLower, p.first, p.second, value);
                odds.SetOddsB(TBetKind::WideUpper, p.first, p.second, value);
            }
        }
    } else {
        for (std::size_t s = 0; s < kBracketPairCount; ++s) {
            const OddsPair p = kBracketPairs[s];
            if (p.second <= n)
                odds.SetOddsB(TBetKind::BracketQuinella, p.first, p.second,
                              oddsOfText(bytesOf(*record, oz::pair(s))));
        }
    }
    return true;
}
