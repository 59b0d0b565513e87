#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TFocus;
class TOddsFile;
class TRaceBase;

// What the fuzz targets share: how an input is cut into the files it stands for, and
// what a user does with a day once it is open.

// The text that separates the files of one input ("#part#" on a line of its own); the
// dictionaries hold it, so the fuzzer keeps the parts apart.
inline constexpr std::string_view kPartSeparator = "\n#part#\n";

// The input cut at its separators into exactly count parts: missing parts are empty, and
// the last part keeps any further separators.
std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t count);
// The parts joined as SplitParts cuts them, for the seeds.
std::string JoinParts(const std::vector<std::string>& parts);

// The prediction over a fixed time database that covers the sample days, made once.
TFocus& FuzzFocus();

// The races of an input that are walked: a venue's day. Every race is walked alike, so
// more would only slow the fuzzer down.
inline constexpr int kMaxFuzzRaces = 12;

// Lists the day, then for each race (at most kMaxFuzzRaces): selects it, reads its odds
// from reader (when given), predicts, and formats everything the window and the day
// files show of it, the explanations of its figures included. Errors of the data are
// the program's errors and end only that race.
void WalkDay(TRaceBase& race, TOddsFile* reader);

// RaceKey of the record of a file laid out as the race file: date, racecourse number,
// race number; the course code is converted as the race data converts it.
std::string RaceKeyOfRecord(std::string_view record);
