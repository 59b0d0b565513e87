#pragma once

#include "sampleday/DayWriter.h"

// A race of the sample day at course (the data's code) with runners numbered from 1, one
// to a bracket up to the eighth and the rest in bracket 8.
SampleRace RaceWith(int runners, const char* raceNumber = "01", const char* course = "04");
