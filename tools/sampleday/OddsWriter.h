#pragma once

#include "sampleday/DayWriter.h"

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The odds day-files of a SampleDay: the RUV odds archive, the JRDB odds archive and the
// DRNWin RX file. Every race gets odds for its runner count (from its runnerCount text,
// else its number of runners) with the sample values below, unless its SampleRaceOdds
// says otherwise. Pairs are those of the race: brackets 1 to min(n, 8), runners 1 to n;
// quinella and wide odds only for more than 8 runners. Unused field positions stay blank.

// Sample odds in tenths (123 = 12.3). Each family has values of its own, so that odds
// read into the wrong table are seen.
int SampleWinTenths(int runner);                 // 10 * runner + 5
int SamplePlaceTenths(int runner);               // 10 + runner; the RX upper bound + 7
int SampleBracketTenths(int first, int second);  // 200 + 10 * first + second
int SampleQuinellaTenths(int first, int second); // 3000 + 100 * first + second
int SampleWideTenths(int first, int second);     // 1000 + 100 * first + second; RX upper + 5
// The same values as odds.
float SampleOdds(int tenths);

using SamplePair = std::pair<int, int>; // first < second (brackets: first <= second)

struct SampleRaceOdds {
    bool absent = false;     // no record in any odds file, no line in the RX file
    bool wideAbsent = false; // no ow record (JRDB)
    // The runner-count field as text; the race's runner count when not given.
    std::optional<std::string> runnerCount;
    // Field texts that replace the sample value, stored as given (blank-padded or cut to
    // the width of a day-file field). A place or wide text fills both RX bounds.
    std::map<int, std::string> win;
    std::map<int, std::string> place;
    std::map<SamplePair, std::string> bracket;
    std::map<SamplePair, std::string> quinella;
    std::map<SamplePair, std::string> wide;
    // RX times: win and place, bracket quinella, quinella, wide.
    std::array<std::string, 4> rxTimes{"09:50", "09:51", "09:52", "09:53"};
};

// One entry per race of the day, in the day's order; races beyond its end get the
// sample odds.
using SampleDayOdds = std::vector<SampleRaceOdds>;

// RaceKey and JrdbRaceKey of a race, as the race data source forms them.
std::string SampleRaceKey(const SampleRace& race);
std::string SampleJrdbRaceKey(const SampleRace& race);

// The records of ruv_ods.kd2 and of the JRDB oz and ow files, one per race with odds,
// in the day's order (ow records only for races of more than 8 runners).
std::vector<std::string> RuvOddsRecords(const SampleDay& day, const SampleDayOdds& odds);
std::vector<std::string> JrdbOzRecords(const SampleDay& day, const SampleDayOdds& odds);
std::vector<std::string> JrdbOwRecords(const SampleDay& day, const SampleDayOdds& odds);
// The lines of the RX file, its header first: "0," + the first race's date as the
// number YYMMDD; then per race the records 5, 15 (16 for more than 8 runners), 20, 21,
// and 22 and 24 for more than 8 runners.
std::vector<std::string> RxLines(const SampleDay& day, const SampleDayOdds& odds);

std::string JoinRecords(const std::vector<std::string>& records);
// Lines joined, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Write folder / ("j" + dayCode + ".lzh") with ruv_ods.kd2, folder / ("jrdb" + dayCode
// + ".lzh") with "oz" and "ow" + dayCode + ".txt", and folder / ("rx" + YYMMDD of the
// first race + ".txt"); each returns the path written.
std::filesystem::path WriteRuvOddsArchive(const std::filesystem::path& folder,
                                          const std::string& dayCode, const SampleDay& day,
                                          const SampleDayOdds& odds = {});
std::filesystem::path WriteJrdbOddsArchive(const std::filesystem::path& folder,
                                           const std::string& dayCode, const SampleDay& day,
                                           const SampleDayOdds& odds = {});
std::filesystem::path WriteRxFile(const std::filesystem::path& folder, const SampleDay& day,
                                  const SampleDayOdds& odds = {});
