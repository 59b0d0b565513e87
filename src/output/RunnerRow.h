#pragma once

#include "race/RaceHelpers.h"

#include <array>
#include <optional>
#include <string>

class TRaceBase;
class TFocus;
class TOdds;

// One runner of the race card as the text report, the HTML report and the race view show
// it, read once from the race, its prediction and its odds (read for this race, so empty
// or of its field size). Texts are CP932; the layouts pad and place them.
struct TRunnerRow {
    int number = 0; // runner number, from 1
    int bracket = 0;
    bool blinkers = false;
    std::string horseName;
    std::string sex;
    int age = 0;
    std::string weight;        // kilograms, "56.5"
    std::string allowanceMark; // "△", empty when none
    std::string jockey;
    bool jockeyStarred = false;
    std::string winOdds; // "%5.1f", "-" for a scratched runner, "0.0" when the race has no odds
    std::optional<float> winOddsValue; // none when the race has no odds or the runner none
    std::string serviceMark;
    std::string mark;                   // ◎ ○ ▲ △ × ×, empty below the sixth
    std::string rank;                   // the mark position as a number, empty when none
    std::array<std::string, 5> figures; // the figure cells, five races back first
    // the cells' figures as numbers, none where a cell shows why there is no figure
    std::array<std::optional<int>, 5> figureValues;
    // the colours of the runner's bracket; a bracket outside 1 to 8 takes bracket 1's
    const TBracketColor* colors = nullptr;

    // The weight with the allowance mark, "56.5△"; the jockey with "*" when starred.
    std::string WeightText() const { return weight + allowanceMark; }
    std::string JockeyText() const { return jockeyStarred ? jockey + "*" : jockey; }
};

// The row of runner index i (runner number i + 1) of the selected race.
TRunnerRow RunnerRowOf(const TRaceBase& race, const TFocus& focus, const TOdds& odds, int i);
