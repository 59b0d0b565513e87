// OddsDrn: the odds of the DRNWin program's RX files.
#pragma once

#include "odds/Odds.h"

#include <string>
#include <string_view>
#include <vector>

// Splits a line of an RX file into its fields. Commas separate fields, and so do blanks
// (and other bytes up to 0x20) outside double quotes; blanks around a comma belong to
// no field. A field in double quotes keeps its commas and blanks, and a doubled quote
// inside it stands for one quote; a quote left open runs to the end of the line. Two
// commas in a row give an empty field; a comma at the end of the line gives none.
std::vector<std::string> splitCommaText(std::string_view line);

// Fills odds from the DRNWin RX file of the race's day: folder (used as given, so it
// ends with its separator) + "rx" + YYMMDD + ".txt", YYMMDD being characters 3 to 8 of
// raceKey (RaceKey of the race data). True when the race's odds and their time texts
// were found; otherwise false with odds cleared.
//
// A header line without a date number (or an empty file) ends the read with the
// conversion error, a file that cannot be read with EInOutError; a record the odds
// tables refuse (a runner below 1, a bracket above 8, quinella or wide odds in a field
// of at most 8 runners) ends it with EOddsError, keeping the odds loaded until then,
// without source text. A record whose numbers are not numbers, or that lacks a field
// its type needs, is passed over.
bool ReadRxOdds(TOdds& odds, const std::string& folder, const std::string& raceKey);

// The same over the RX file's bytes already in memory.
bool ReadRxOddsText(TOdds& odds, std::string_view text, const std::string& raceKey);

// "rx" + YYMMDD + ".txt", YYMMDD being characters 3 to 8 of raceKey.
std::string RxFileName(const std::string& raceKey);
