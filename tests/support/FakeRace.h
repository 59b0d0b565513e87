#pragma once

// A race data source that reports the past races a test gives it, and the time database
// those tests evaluate them against.

#include "race/RaceBase.h"
#include "sampleday/TimeDbWriter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// A past race as the fake race data source reports it.
struct FakeRun {
    std::uint8_t status = kRunNone;
    int date = 20000101;
    int course = 5;
    bool dirt = false;
    int distance = 2000;
    int time = 0;
    int weight = 550;
};

// The time database of these tests: at 2000 m (course 5) half a point per tenth of a
// second below the standard of 2:10.0 on turf and 2:11.0 on dirt; at 1000 m a tenth of
// a point below 1:30.0; no factor for 3000 m; a variant of +3 on turf on 2001-01-28.
inline SampleTimeDb focusDb() {
    SampleTimeDb db;
    db.distanceFactors = {{DistanceFactorKey(2000), 5}, {DistanceFactorKey(1000), 1}};
    db.standardTimes = {{StandardTimeKey(2000, 5), 1300, 1310},
                        {StandardTimeKey(1000, 5), 900, 900}};
    db.trackVariants = {{TrackVariantKey(20010128, 5), 3, 999}};
    return db;
}

// A usable past race whose figure is f (a multiple of 0.5) on a day without variant.
inline FakeRun fig(double f, bool dirt = false) {
    const int standard = dirt ? 1310 : 1300;
    const int tenths = standard - static_cast<int>(std::lround(2 * (f - 80)));
    FakeRun run;
    run.status = kRunUsable;
    run.dirt = dirt;
    run.time = tenths / 600 * 1000 + tenths % 600;
    return run;
}

// A usable 1000 m race whose figure is 80 + tenths / 10 (factor 1), for values off the
// half-point grid.
inline FakeRun tenthFig(int tenths) {
    FakeRun run;
    run.status = kRunUsable;
    run.distance = 1000;
    run.time = 1300 - tenths; // 1:30.0 is 900 tenths, the standard
    return run;
}

// A usable race that time.dbx cannot evaluate (no factor for 3000 m).
inline FakeRun noFactor() {
    FakeRun run = fig(90);
    run.distance = 3000;
    return run;
}

inline FakeRun status(std::uint8_t code) {
    FakeRun run;
    run.status = code;
    return run;
}

using Runs = std::array<FakeRun, 5>;

inline Runs runs(std::initializer_list<FakeRun> list) {
    Runs r{};
    std::size_t k = 0;
    for (const auto& run : list)
        r[k++] = run;
    return r;
}

// A race as the fake data source reports it.
struct FakeField {
    std::vector<Runs> runners;
    bool noBet = false;
    std::optional<int> count; // the number of runners when not given
};

class FakeRace : public TRaceBase {
public:
    explicit FakeRace(const FakeField& field) : TRaceBase("fake"), m_field(field) {}

    std::uint8_t PastRunStatus(int r, int j) const override { return at(r, j).status; }
    int PastRunDate(int r, int j) const override { return at(r, j).date; }
    int PastRunCourse(int r, int j) const override { return at(r, j).course; }
    bool PastRunOnDirt(int r, int j) const override { return at(r, j).dirt; }
    int PastRunDistance(int r, int j) const override { return at(r, j).distance; }
    int PastRunTime(int r, int j) const override { return at(r, j).time; }
    int PastRunWeight(int r, int j) const override { return at(r, j).weight; }
    int RunnerCount() const override {
        return m_field.count.value_or(static_cast<int>(m_field.runners.size()));
    }
    bool IsNoBetRace() const override { return m_field.noBet; }

    std::string HorseName(int) const override { return {}; }
    int BracketNo(int) const override { return 0; }
    std::string SexText(int) const override { return {}; }
    int Age(int) const override { return 0; }
    std::string WeightText(int) const override { return {}; }
    std::string AllowanceMark(int) const override { return {}; }
    std::string JockeyName(int) const override { return {}; }
    bool IsJockeyStarred(int) const override { return false; }
    std::string ServiceMark(int) const override { return {}; }
    bool HasBlinkers(int) const override { return false; }
    int TrainingLines(int, std::vector<std::string>&) const override { return 0; }
    int RaceCount() const override { return 1; }
    std::string RaceLine(int) const override { return {}; }
    void SelectRace(int) override {}
    std::string RaceKey() const override { return {}; }
    std::string JrdbRaceKey() const override { return {}; }
    std::string DayKey() const override { return {}; }
    std::string RaceHeading() const override { return {}; }
    std::string RuvHeaderLine(std::uint8_t) const override { return {}; }
    std::string WarsHeaderLine(std::uint8_t) const override { return {}; }
    std::string RaceName() const override { return {}; }
    std::string RaceHeadingLine() const override { return {}; }
    TRaceFacts RaceFacts() const override { return {}; }
    std::string RunnerKey(int) const override { return {}; }
    int PastRunPosition(int, int) const override { return 0; }

private:
    const FakeRun& at(int r, int j) const {
        static const FakeRun none{};
        if (r < 0 || r >= static_cast<int>(m_field.runners.size()))
            return none;
        return m_field.runners[r][j];
    }

    const FakeField& m_field;
};

// A field whose runners each ran once, with these figures (0: no usable race).
inline FakeField fieldOf(const std::vector<double>& figures) {
    FakeField race;
    for (double f : figures)
        race.runners.push_back(f > 0 ? runs({fig(f)}) : runs({}));
    return race;
}
