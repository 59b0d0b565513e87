#include "support/SampleRaces.h"

#include <string>

SampleRace RaceWith(int runners, const char* raceNumber, const char* course) {
    SampleRace race;
    race.raceNumber = raceNumber;
    race.course = course;
    for (int k = 0; k < runners; ++k) {
        SampleRunner r;
        r.bracket = std::to_string(k < 8 ? k + 1 : 8);
        race.runners.push_back(r);
    }
    return race;
}
