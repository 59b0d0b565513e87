// TRaceRuv: the race data read from the RUV data service's day archive.
#pragma once

#include "race/RaceBase.h"

#include <string_view>
#include <vector>

class ERaceRuvOpenError : public ERaceBaseOpenError {
public:
    using ERaceBaseOpenError::ERaceBaseOpenError;
};
class ERaceRuvRangeError : public ERaceBaseRangeError {
public:
    using ERaceBaseRangeError::ERaceBaseRangeError;
};
class ERaceRuvDataError : public ERaceBaseDataError {
public:
    using ERaceBaseDataError::ERaceBaseDataError;
};

// The bytes of a day's three record files: ruv_den1.kd2, ruv_den2.kd2, ruv_uma.kd2.
struct TRaceFiles {
    std::string race;
    std::string runner;
    std::string horse;
};

// The date YYYYMMDD of a day archive as its race file gives it (the first race's date): the
// day's own date, whatever the archive's name says; 0 when the race file holds no whole
// race or that date is no number. Reads the race file's first record into memory only.
// Throws ERaceRuvOpenError as TRaceRuv does when the archive yields no race file.
int DayArchiveDate(const std::string& archive);

// The day's three record files read from its archive into memory, without the work folder,
// for a TRaceRuv over many days in a row. Throws ERaceRuvOpenError as TRaceRuv does.
TRaceFiles ReadRaceFiles(const std::string& archive);

// The race data source over one day's archive of the RUV data service: the race
// file, the runner file and the horse file, extracted into the work folder and kept
// in memory for the object's life, so that selecting a race costs in proportion to
// its runners. The extracted files are deleted when the object ends.
class TRaceRuv : public TRaceBase {
public:
    // Throws ERaceRuvOpenError "<file>がオープンできません" for the first file the
    // archive does not yield, followed by the archiver's reasons, one per line; the
    // conversion error when a race number is not a number.
    TRaceRuv(const std::string& archive, const std::string& folder);
    // The same over record files already in memory; nothing is extracted or deleted.
    explicit TRaceRuv(TRaceFiles files);
    ~TRaceRuv() override;

    std::string HorseName(int r) const override;
    int BracketNo(int r) const override;
    std::string SexText(int r) const override;
    int Age(int r) const override;
    std::string WeightText(int r) const override;
    std::string AllowanceMark(int r) const override;
    std::string JockeyName(int r) const override;
    bool IsJockeyStarred(int r) const override;
    std::string ServiceMark(int r) const override;
    bool HasBlinkers(int r) const override;
    int TrainingLines(int r, std::vector<std::string>& lines) const override;
    std::uint8_t PastRunStatus(int r, int j) const override;
    int PastRunDate(int r, int j) const override;
    int PastRunCourse(int r, int j) const override;
    bool PastRunOnDirt(int r, int j) const override;
    int PastRunDistance(int r, int j) const override;
    int PastRunTime(int r, int j) const override;
    int PastRunWeight(int r, int j) const override;
    int RaceCount() const override;
    std::string RaceLine(int index) const override;
    void SelectRace(int index) override;
    int RunnerCount() const override;
    bool IsNoBetRace() const override;
    std::string RaceKey() const override;
    std::string JrdbRaceKey() const override;
    std::string DayKey() const override;
    std::string RaceHeading() const override;
    std::string RuvHeaderLine(std::uint8_t style) const override;
    std::string WarsHeaderLine(std::uint8_t style) const override;
    std::string RaceName() const override;
    std::string RaceHeadingLine() const override;
    TRaceFacts RaceFacts() const override;
    std::string RunnerKey(int r) const override;
    int PastRunPosition(int r, int j) const override;

    // The record files that are empty or whose size is not a whole number of records, each
    // naming the file and the bytes left over (CP932), in the order race, runner, horse
    // file. The whole records are used all the same.
    const std::vector<std::string>& FileWarnings() const { return m_fileWarnings; }

private:
    // The current race: views into the file images, which live as long as the object.
    struct Race {
        std::string_view record;
        std::vector<std::string_view> runners;
        std::vector<std::string_view> horses;
    };

    TRaceFiles extract(const std::string& archive) const;
    void deleteExtractedFiles() const;
    void load(TRaceFiles files);
    void buildRaceLines();
    std::string_view raceRecord(int index) const;
    std::size_t firstRunnerRecord(int index) const;
    static std::vector<std::string_view> findRecords(std::string_view image, std::size_t size,
                                                     std::size_t keyOffset, std::size_t start,
                                                     const std::vector<std::string_view>& keys);
    std::string_view runner(int r) const;
    std::string_view pastRun(int r, int j) const;
    std::string mainLine() const;
    std::string racecourse2() const;

    std::string m_raceImage;
    std::string m_runnerImage;
    std::string m_horseImage;
    std::vector<std::string> m_raceLines;
    std::vector<std::string> m_fileWarnings;
    Race m_race;
    bool m_extracted = false; // the files lie in the work folder until the object ends
};
