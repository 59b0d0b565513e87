#pragma once

#include "race/RaceHelpers.h"

#include <array>
#include <string>

class TRaceBase;
class TFocus;
class TOdds;

// Whether the odds container holds odds for this race: odds of another number of runners
// (a late scratching, a stale odds file) are no odds for it.
bool OddsFitRace(const TOdds& odds, const TRaceBase& race);

// One runner of the race card as the text report, the HTML report and the race view show
// it, read once from the race, its prediction and its odds. Texts are CP932; the layouts
// pad and place them.
struct TRunnerRow {
    int number = 0; // runner number, from 1
    int bracket = 0;
    bool blinkers = false;
    std::string horseName;
    std::string sex;
    int age = 0;
    std::string weight;  // kilograms with the allowance mark, "56.5△"
    std::string jockey;  // with "*" when the jockey is starred
    std::string winOdds; // "%5.1f", "-" for a scratched runner, "0.0" when the race has no odds
    std::string serviceMark;
    std::string mark;                   // ◎ ○ ▲ △ × ×, empty below the sixth
    std::string rank;                   // the mark position as a number, empty when none
    std::array<std::string, 5> figures; // the figure cells, five races back first
    // the colours of the runner's bracket; a bracket outside 1 to 8 takes bracket 1's
    const TBracketColor* colors = nullptr;
};

// The row of runner index i (runner number i + 1) of the selected race.
TRunnerRow RunnerRowOf(const TRaceBase& race, const TFocus& focus, const TOdds& odds, int i);
