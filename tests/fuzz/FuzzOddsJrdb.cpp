// The JRDB oz and ow files, parted by kPartSeparator: read for the race of each oz
// record, in file order and backwards, and for a race they do not hold.
#include "FuzzDay.h"

#include "odds/Odds.h"
#include "odds/OddsJrdb.h"
#include "odds/OddsRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> files = SplitParts(data, size, 2);
    std::vector<std::string> keys;
    for (std::size_t at = 0; at < files[0].size() && keys.size() < 24; at += jrdbOzRecord::kSize)
        keys.push_back(files[0].substr(at, jrdbOzRecord::kRaceKey.width));
    std::vector<std::string> backwards(keys.rbegin(), keys.rend());
    keys.insert(keys.end(), backwards.begin(), backwards.end());
    keys.push_back("05011a01");
    TOddsJrdb reader(TJrdbOddsFiles{std::move(files[0]), std::move(files[1])});
    TOdds odds;
    for (const std::string& key : keys) {
        try {
            if (reader.Read(odds, "", key))
                for (int a = 1; a <= odds.Count(); ++a)
                    odds.OddsA(TBetKind::PlaceLower, a);
        } catch (const std::exception&) {
            // a runner count out of range: the read's own error
        }
    }
    return 0;
}
