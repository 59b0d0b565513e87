#include "sampleday/DayWriter.h"

#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "race/RaceRecords.h"

#include <algorithm>

void PutField(std::string& record, std::size_t offset, std::size_t width, const std::string& text) {
    std::string bytes = toCp932(text);
    bytes.resize(width, ' ');
    record.replace(offset, width, bytes);
}

namespace {

void put(std::string& record, Field f, const std::string& text) {
    PutField(record, f.offset, f.width, text);
}

std::string raceRecordOf(const SampleRace& race) {
    namespace rr = raceRecord;
    std::string r(rr::kSize, ' ');
    put(r, rr::kCourse, race.course);
    put(r, rr::kYear, race.year);
    put(r, rr::kMeeting, race.meeting);
    put(r, rr::kDay, race.day);
    put(r, rr::kRaceNumber, race.raceNumber);
    put(r, rr::kDate, race.date);
    put(r, rr::kNoBetFlag, race.noBet);
    put(r, rr::kName, race.name);
    put(r, rr::kGrade, race.grade);
    put(r, rr::kConditionText, race.conditionText);
    put(r, rr::kCondition, race.condition);
    put(r, rr::kAgeCondition, race.ageCondition);
    put(r, rr::kClass, race.classCode);
    put(r, rr::kSurface, race.surface);
    put(r, rr::kDistance, race.distance);
    put(r, rr::kPostTime, race.postTime);
    put(r, rr::kRunnerCount, race.runnerCount.value_or(Format("%.2zu", race.runners.size())));
    for (std::size_t k = 0;
         k < std::min(race.runners.size(), static_cast<std::size_t>(kMaxRunners)); ++k)
        put(r, rr::runnerKey(k), race.runners[k].key);
    return r;
}

std::string trainingEntryOf(const SampleTraining& t) {
    namespace te = trainingEntry;
    std::string e(runnerRecord::training(0).width, ' ');
    put(e, te::kColumnA, t.columnA);
    put(e, te::kDate, t.date);
    put(e, te::kColumnB, t.columnB);
    put(e, te::kColumnC, t.columnC);
    put(e, te::kColumnD, t.columnD);
    for (std::size_t i = 0; i < te::kLapColumns; ++i)
        put(e, te::lap(i), t.laps[i]);
    put(e, te::kCircledDigit, t.circledDigit);
    put(e, te::kColumnE, t.columnE);
    put(e, te::kComment, t.comment);
    return e;
}

std::string runnerRecordOf(const SampleRunner& runner) {
    namespace rr = runnerRecord;
    std::string d(rr::kSize, ' ');
    put(d, rr::kBracket, runner.bracket);
    put(d, rr::kKey, runner.key);
    put(d, rr::kHorseName, runner.horseName);
    put(d, rr::kSex, runner.sex);
    put(d, rr::kAge, runner.age);
    put(d, rr::kBlinkers, runner.blinkers);
    put(d, rr::kWeightKilograms, runner.weightKilograms);
    put(d, rr::kWeightTenths, runner.weightTenths);
    put(d, rr::kJockey, runner.jockey);
    put(d, rr::kAllowance, runner.allowance);
    put(d, rr::kJockeyStar, runner.jockeyStar);
    put(d, rr::kServiceMark, runner.serviceMark);
    for (std::size_t t = 0; t < rr::kTrainingEntries; ++t)
        d.replace(rr::training(t).offset, rr::training(t).width,
                  trainingEntryOf(runner.training[t]));
    put(d, rr::kRemarkPosition, runner.remarkPosition);
    put(d, rr::kRemark, runner.remark);
    return d;
}

std::string pastRunBlockOf(const SamplePastRun& run) {
    namespace pb = pastRunBlock;
    std::string p(horseRecord::pastRun(0).width, ' ');
    put(p, pb::kCourse, run.course);
    put(p, pb::kDate, run.date);
    put(p, pb::kCategory, run.category);
    put(p, pb::kJump, run.jump);
    put(p, pb::kSurface, run.surface);
    put(p, pb::kDistance, run.distance);
    put(p, pb::kWeight, run.weight);
    put(p, pb::kPosition, run.position);
    put(p, pb::kTime, run.time);
    return p;
}

std::string horseRecordOf(const SampleRunner& runner) {
    std::string h(horseRecord::kSize, ' ');
    put(h, horseRecord::kKey, runner.key);
    for (std::size_t j = 0; j < horseRecord::kPastRuns; ++j)
        h.replace(horseRecord::pastRun(j).offset, horseRecord::pastRun(j).width,
                  pastRunBlockOf(runner.pastRuns[j]));
    return h;
}

template <typename RecordOf> std::string runnerFile(const SampleDay& day, RecordOf recordOf) {
    std::string bytes;
    for (const SampleRace& race : day.races)
        for (const SampleRunner& runner : race.runners)
            bytes += recordOf(runner);
    return bytes;
}

} // namespace

void AssignRunnerKeys(SampleDay& day) {
    for (std::size_t i = 0; i < day.races.size(); ++i)
        for (std::size_t k = 0; k < day.races[i].runners.size(); ++k)
            if (day.races[i].runners[k].key.empty())
                day.races[i].runners[k].key = Format("K%.4zu%.2zu", i + 1, k + 1);
}

std::string RaceFileBytes(const SampleDay& day) {
    std::string bytes;
    for (const SampleRace& race : day.races)
        bytes += raceRecordOf(race);
    return bytes;
}

std::string RunnerFileBytes(const SampleDay& day) {
    return runnerFile(day, runnerRecordOf);
}

std::string HorseFileBytes(const SampleDay& day) {
    return runnerFile(day, horseRecordOf);
}

std::vector<LzhMember> DayMembers(const SampleDay& day) {
    SampleDay keyed = day;
    AssignRunnerKeys(keyed);
    return {{"ruv_den1.kd2", RaceFileBytes(keyed)},
            {"ruv_den2.kd2", RunnerFileBytes(keyed)},
            {"ruv_uma.kd2", HorseFileBytes(keyed)}};
}

void WriteDayArchive(const std::filesystem::path& archive, const SampleDay& day,
                     LzhHeaderLevel level) {
    WriteBinaryFile(archive, MakeLzhArchive(DayMembers(day), level));
}
