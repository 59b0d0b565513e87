#pragma once

#include <string>

class TRaceBase;

// The index of the race a user names by venue and number as the race list shows them,
// "東京11" or "東京11R" (UTF-8). Throws std::runtime_error naming the day's venues and
// their race numbers when the day holds no such race.
int RaceIndexByName(const TRaceBase& race, const std::string& name);
