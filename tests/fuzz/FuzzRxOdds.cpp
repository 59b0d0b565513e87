// An RX file of DRNWin: read for the first races its lines name, on the date of its
// header, and for a race it does not name.
#include "odds/Odds.h"
#include "odds/OddsDrn.h"
#include "platform/Format.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string date = "010128";
    std::set<std::string> races{"0501"};
    std::size_t start = 0;
    for (int line = 0; start < text.size() && races.size() < 4; ++line) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::vector<std::string> fields = splitCommaText(text.substr(start, end - start));
        if (line == 0 && fields.size() > 1)
            date = fields[1].substr(0, 6);
        else if (fields.size() > 2)
            races.insert(fields[1].substr(0, 2) + fields[2].substr(0, 2));
        start = end + 1;
    }
    TOdds odds;
    for (const std::string& race : races) {
        try {
            ReadRxOddsText(odds, text, "20" + date + race);
        } catch (const std::exception&) {
            // a header without a date, a record the odds tables refuse: the read's error
        }
    }
    return 0;
}
