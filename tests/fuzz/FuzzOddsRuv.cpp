// ruv_ods.kd2: read for the race of each of its records, in file order and backwards,
// and for a race it does not hold.
#include "FuzzDay.h"

#include "odds/Odds.h"
#include "odds/OddsRecords.h"
#include "odds/OddsRuv.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string image(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> keys;
    for (std::size_t at = 0; at < image.size() && keys.size() < 24; at += ruvOddsRecord::kSize)
        keys.push_back(RaceKeyOfRecord(std::string_view(image).substr(at, ruvOddsRecord::kSize)));
    std::vector<std::string> backwards(keys.rbegin(), keys.rend());
    keys.insert(keys.end(), backwards.begin(), backwards.end());
    keys.push_back("200101280501");
    TOddsRuv reader(image);
    TOdds odds;
    for (const std::string& key : keys) {
        try {
            if (reader.Read(odds, key, ""))
                for (int a = 1; a <= odds.Count(); ++a)
                    odds.OddsA(TBetKind::Win, a);
        } catch (const std::exception&) {
            // a runner count that is not a number or out of range: the read's own error
        }
    }
    return 0;
}
