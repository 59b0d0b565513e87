#include "session/RaceLookup.h"

#include "platform/Cp932.h"
#include "race/RaceBase.h"

#include <stdexcept>
#include <vector>

namespace {

// A race line begins "VENUE NNR ": the venue up to the first blank, then the number.
struct TVenueRace {
    std::string venue; // CP932
    int number = 0;
};

TVenueRace venueRaceOf(const std::string& line) {
    const std::size_t blank = line.find(' ');
    TVenueRace race{line.substr(0, blank), 0};
    for (std::size_t i = line.find_first_not_of(' ', blank); i < line.size() && isdigit(line[i]);
         ++i)
        race.number = race.number * 10 + (line[i] - '0');
    return race;
}

// "東京 1～12R, 中山 1～12R": each venue with its first and last race number.
std::string dayRaces(const std::vector<TVenueRace>& races) {
    std::string text;
    for (std::size_t i = 0; i < races.size();) {
        std::size_t last = i;
        while (last + 1 < races.size() && races[last + 1].venue == races[i].venue)
            ++last;
        text += (text.empty() ? "" : ", ") + toUtf8Lenient(races[i].venue) + " " +
                std::to_string(races[i].number) +
                (last > i ? "～" + std::to_string(races[last].number) : "") + "R";
        i = last + 1;
    }
    return text;
}

} // namespace

int RaceIndexByName(const TRaceBase& race, const std::string& name) {
    std::string wanted = name;
    if (!wanted.empty() && (wanted.back() == 'R' || wanted.back() == 'r'))
        wanted.pop_back();
    const std::size_t digits = wanted.find_last_not_of("0123456789") + 1;
    const std::string venue = toCp932Lenient(wanted.substr(0, digits));
    const int number = digits < wanted.size() && wanted.size() - digits <= 2
                           ? std::stoi(wanted.substr(digits))
                           : -1;
    std::vector<TVenueRace> races;
    for (int i = 0; i < race.RaceCount(); ++i) {
        races.push_back(venueRaceOf(race.RaceLine(i)));
        if (!venue.empty() && races.back().venue == venue && races.back().number == number)
            return i;
    }
    throw std::runtime_error(
        toCp932Lenient(name + " はこの開催日にありません。開催日のレース: " + dayRaces(races)));
}
