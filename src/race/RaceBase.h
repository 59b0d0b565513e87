// TRaceBase: the race data of one day as every other part of the program reads it.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Past-run status codes, indexes of PastRunStatusText.
enum TPastRunStatus : std::uint8_t {
    kRunUsable = 0,
    kRunNone = 1,
    kRunLocal = 2,
    kRunAbroad = 3,
    kRunFell = 4,
    kRunNotFinished = 5,
    kRunScratched = 6,
    kRunExcluded = 7,
    kRunJump = 8,
    kRunDisqualified = 9,
    kRunNotEvaluated = 10, // never produced by a race data source; the prediction's own
};

// The most runners a race has.
constexpr int kMaxRunners = 18;

// The labels of the past-run status codes, CP932.
const std::array<std::string, 11>& PastRunStatusText();

// The selected race as the race index names it, each part on its own; texts CP932.
struct TRaceFacts {
    std::string date; // YYYYMMDD
    std::string venue;
    int number = 0;   // the race number of the day at its venue
    std::string name; // its age condition and class when the race has no name
    std::string surface;
    std::string distance; // metres, as stored
    // The codes behind them, as stored (the code tables name them)
    std::string surfaceCode;
    std::string ageConditionCode;
    std::string classCode;
    std::string conditionCode;
    std::string gradeCode; // blank for a race without a grade
};

class ERaceBaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class ERaceBaseOpenError : public ERaceBaseError {
public:
    using ERaceBaseError::ERaceBaseError;
};
class ERaceBaseRangeError : public ERaceBaseError {
public:
    using ERaceBaseError::ERaceBaseError;
};
class ERaceBaseDataError : public ERaceBaseError {
public:
    using ERaceBaseError::ERaceBaseError;
};

// Past runs a horse record holds: index 0 (the last race) to 4 (five races back).
constexpr int kPastRuns = 5;

// The race data of one day, as every other part of the program reads it.
// Race index 0..RaceCount()-1 in file order; runner index r is horse number r + 1;
// past-run index j 0 (last race) .. 4 (five races back). Runner and past-run indexes
// are not checked. Texts are CP932 bytes.
class TRaceBase {
public:
    // folder must not be empty; a trailing separator is appended when missing.
    explicit TRaceBase(const std::string& folder);
    virtual ~TRaceBase() = default;
    TRaceBase(const TRaceBase&) = delete;
    TRaceBase& operator=(const TRaceBase&) = delete;

    // The work folder the data files were extracted to; ends with a separator.
    const std::string& Folder() const { return m_folder; }

    virtual std::string HorseName(int r) const = 0;
    virtual int BracketNo(int r) const = 0;
    virtual std::string SexText(int r) const = 0;
    virtual int Age(int r) const = 0;
    virtual std::string WeightText(int r) const = 0;
    virtual std::string AllowanceMark(int r) const = 0;
    virtual std::string JockeyName(int r) const = 0;
    virtual bool IsJockeyStarred(int r) const = 0;
    virtual std::string ServiceMark(int r) const = 0;
    virtual bool HasBlinkers(int r) const = 0;
    // Clears lines, adds the runner's training lines, returns their number.
    virtual int TrainingLines(int r, std::vector<std::string>& lines) const = 0;
    virtual std::uint8_t PastRunStatus(int r, int j) const = 0;
    virtual int PastRunDate(int r, int j) const = 0;
    virtual int PastRunCourse(int r, int j) const = 0;
    virtual bool PastRunOnDirt(int r, int j) const = 0;
    virtual int PastRunDistance(int r, int j) const = 0;
    virtual int PastRunTime(int r, int j) const = 0;
    virtual int PastRunWeight(int r, int j) const = 0;
    virtual int RaceCount() const = 0;
    virtual std::string RaceLine(int index) const = 0;
    virtual void SelectRace(int index) = 0;
    virtual int RunnerCount() const = 0;
    virtual bool IsNoBetRace() const = 0;
    virtual std::string RaceKey() const = 0;
    virtual std::string JrdbRaceKey() const = 0;
    virtual std::string DayKey() const = 0;
    virtual std::string RaceHeading() const = 0;
    virtual std::string RuvHeaderLine(std::uint8_t style) const = 0;
    virtual std::string WarsHeaderLine(std::uint8_t style) const = 0;
    virtual std::string RaceName() const = 0;
    virtual std::string RaceHeadingLine() const = 0;
    virtual TRaceFacts RaceFacts() const = 0;

    // What the season ledger reads besides: the runner's key (7 bytes), which names the
    // horse in every day's files, and the finishing position of a past run (1 to 18, or
    // the abnormal-result code 31 落馬 to 35 除外; 0 when the field is not a number).
    virtual std::string RunnerKey(int r) const = 0;
    virtual int PastRunPosition(int r, int j) const = 0;

private:
    std::string m_folder;
};
