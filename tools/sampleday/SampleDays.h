#pragma once

#include "sampleday/DayWriter.h"

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

// The demo day's archive name: two letters and the date YYMMDD.
inline const char* kDemoArchiveName = "rv010128.lzh";
