#pragma once

#include "sampleday/DayWriter.h"
#include "sampleday/OddsWriter.h"
#include "sampleday/TimeDbWriter.h"

#include <filesystem>

#include <string>

// Days described once and used by the tests, the benchmarks and the demo.

// Two races of a few runners: the record files packed into the committed archives
// that a real LZH archiver made.
SampleDay SmallTestDay();

// A realistic day: three venues of twelve races each, 5 to 18 runners, horses with
// varied past runs and training entries. Deterministic.
SampleDay DemoDay();

// A day of raceCount races of runners each, for the benchmarks.
SampleDay SyntheticDay(int raceCount, int runners);

// A time database that covers most past runs of day: a few distances, course and
// distance pairs and dates are left out, so that unscored races and days without a
// track variant occur.
SampleTimeDb TimeDbCovering(const SampleDay& day);

// The demo day's odds: sample odds with a few missing, capped and blank fields, and one
// race absent from each source.
SampleDayOdds DemoOdds(const SampleDay& day);

// Writes the whole demo day into folder: the day archive and the RUV odds archive beside
// it, jrdb/ with the JRDB odds archive, rx/ with the RX file and time/ with time.dbx.
// Returns the day archive's path.
std::filesystem::path WriteDemoDay(const std::filesystem::path& folder);

// The demo day's archive name: two letters and the date YYMMDD.
inline const char* kDemoArchiveName = "rv010128.lzh";
