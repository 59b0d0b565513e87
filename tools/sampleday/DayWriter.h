#pragma once

#include "sampleday/LzhWriter.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A racing day described in code and written as the RUV record files. Texts are
// given in UTF-8 and stored as CP932; every field is blank-padded (or cut) to its
// width. Field names follow the record layouts.

struct SamplePastRun {
    std::string course = "  "; // two blanks: no race
    std::string date = "20010114";
    std::string category = "0";
    std::string jump = "0";
    std::string surface = "1";
    std::string distance = "1600";
    std::string weight = "550";
    std::string position = "03";
    std::string time = "1345";
};

struct SampleTraining {
    std::string columnA;
    std::string date; // blank: a comment entry (or an empty one)
    std::string columnB;
    std::string columnC;
    std::string columnD;
    std::array<std::string, 7> laps;
    std::string circledDigit = " ";
    std::string columnE;
    std::string comment;
};

struct SampleRunner {
    std::string key; // 7 bytes; made from the race and runner number when empty
    std::string bracket = "1";
    std::string horseName = "テストホース";
    std::string sex = "0";
    std::string age = " 4";
    std::string blinkers = "0";
    std::string weightKilograms = "55";
    std::string weightTenths = "0";
    std::string jockey = "騎手";
    std::string allowance = " ";
    std::string jockeyStar = "0";
    std::string serviceMark = " ";
    std::array<SampleTraining, 3> training;
    std::string remarkPosition = " ";
    std::string remark;
    std::array<SamplePastRun, 5> pastRuns;
};

struct SampleRace {
    std::string course = "04"; // 東京
    std::string year = "2001";
    std::string meeting = "01";
    std::string day = "08";
    std::string raceNumber = "01";
    std::string date = "20010128";
    std::string noBet = "0";
    std::string name; // blank: named after its age condition and class
    std::string grade = " ";
    std::string conditionText;
    std::string condition = "  ";
    std::string ageCondition = "3";
    std::string classCode = "00003";
    std::string surface = "1";
    std::string distance = "1600";
    std::string postTime = "10:00";
    std::optional<std::string> runnerCount; // the number of runners when not given
    std::vector<SampleRunner> runners;
};

struct SampleDay {
    std::vector<SampleRace> races;
};

// Gives runners without a key the key "K" + race number + runner number.
void AssignRunnerKeys(SampleDay& day);

std::string RaceFileBytes(const SampleDay& day);
std::string RunnerFileBytes(const SampleDay& day);
std::string HorseFileBytes(const SampleDay& day);

// The day's three record files under their names, in the order ruv_den1.kd2,
// ruv_den2.kd2, ruv_uma.kd2.
std::vector<LzhMember> DayMembers(const SampleDay& day);

// Writes the day as an LZH archive of stored members.
void WriteDayArchive(const std::filesystem::path& archive, const SampleDay& day,
                     LzhHeaderLevel level = LzhHeaderLevel::Level2);

// Stores text (UTF-8, converted to CP932) in record at offset, padded with blanks
// or cut to width.
void PutField(std::string& record, std::size_t offset, std::size_t width, const std::string& text);
