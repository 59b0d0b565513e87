#include "sampleday/SampleDays.h"

#include "platform/Format.h"
#include "race/RaceHelpers.h"
#include "sampleday/SamplePieces.h"

#include <array>
#include <cstdint>
#include <set>
#include <utility>

namespace {

const std::array<const char*, 6> kTrainers{"助手", "騎手", "見習", "本人", "助手", "騎手"};
const std::array<const char*, 4> kCourses{"美坂", "栗坂", "美Ｗ", "栗ＣＷ"};
const std::array<const char*, 4> kGoings{"良", "稍", "重", "不"};
const std::array<const char*, 4> kEfforts{"馬也", "強め", "一杯", "仕掛"};
const std::array<const char*, 10> kCentralCourses{"00", "01", "02", "03", "04",
                                                  "05", "06", "07", "08", "09"};

// Finishing time MSSd of a flat race: about 12 seconds a furlong, with some spread.
std::string finishingTime(Dice& dice, int distance, bool turf) {
    int tenths = distance * 6 / 10 - (turf ? 40 : 0) + dice.between(-25, 40);
    return Format("%d%.2d%d", tenths / 600, (tenths / 10) % 60, tenths % 10);
}

SamplePastRun pastRun(Dice& dice, int monthsBack) {
    SamplePastRun run;
    run.course = dice.pick(kCentralCourses);
    int month = 12 - monthsBack;
    run.date = Format("2000%.2d%.2d", month, dice.between(1, 28));
    int distance = dice.pick(kSampleDistances);
    bool turf = dice.below(2) == 0;
    run.surface = turf ? "1" : "0";
    run.distance = Format("%d", distance);
    const int kilograms = dice.between(52, 58);
    const int halfKilogram = dice.below(4) == 0 ? 5 : 0;
    run.weight = Format("%d", kilograms * 10 + halfKilogram);
    run.position = Format("%.2d", dice.between(1, 16));
    run.time = finishingTime(dice, distance, turf);
    int oddity = dice.below(40);
    if (oddity == 0) {
        run.category = "2"; // a local race
    } else if (oddity == 1) {
        run.position = "33"; // did not finish
        run.time = "    ";
    } else if (oddity == 2) {
        run.jump = "1";
    }
    return run;
}

SampleTraining training(Dice& dice, int daysBefore) {
    SampleTraining t;
    t.columnA = dice.pick(kTrainers);
    t.date = Format("200101%.2d", 28 - daysBefore);
    t.columnB = dice.pick(kCourses);
    t.columnC = dice.pick(kGoings);
    t.columnD = "";
    int last = dice.between(115, 135);
    // each lap draws its tenths before its seconds, the order every written sample day has
    const int firstTenths = dice.below(10);
    const int firstSeconds = 50 + dice.below(20);
    const int secondTenths = dice.below(10);
    const int secondSeconds = 37 + dice.below(6);
    t.laps = {Format("%d.%d", firstSeconds, firstTenths),
              Format("%d.%d", secondSeconds, secondTenths),
              Format("%d.%d", last / 10, last % 10),
              "",
              "",
              "",
              ""};
    t.circledDigit = dice.below(3) == 0 ? Format("%d", dice.below(8)) : " ";
    t.columnE = dice.pick(kEfforts);
    return t;
}

SampleRunner runner(Dice& dice, int number, int runners) {
    SampleRunner r;
    r.bracket = Format("%d", SampleBracketOf(number, runners));
    r.horseName = SampleHorseName(dice);
    r.sex = Format("%d", dice.below(5) == 0 ? 2 : dice.below(2));
    r.age = Format("%2d", dice.between(3, 7));
    r.blinkers = dice.below(6) == 0 ? "1" : "0";
    r.weightKilograms = Format("%d", dice.between(52, 58));
    r.weightTenths = dice.below(4) == 0 ? "5" : "0";
    r.jockey = dice.pick(kSampleJockeys);
    r.allowance = dice.below(8) == 0 ? Format("%d", dice.between(1, 3)) : " ";
    r.jockeyStar = dice.below(10) == 0 ? "1" : "0";
    r.serviceMark = number <= 5 && dice.below(2) == 0 ? Format("%d", dice.below(5)) : " ";
    int entries = dice.below(4);
    for (int t = 0; t < entries; ++t)
        r.training[static_cast<std::size_t>(t)] = training(dice, 3 + 7 * t);
    if (entries > 0 && dice.below(3) == 0) {
        r.remarkPosition = Format("%d", entries);
        r.remark = "気配良好、上積み十分";
    }
    int runs = dice.below(8) == 0 ? dice.below(3) : 5;
    for (int j = 0; j < runs; ++j)
        r.pastRuns[static_cast<std::size_t>(j)] = pastRun(dice, j * 2);
    return r;
}

struct Venue {
    const char* course;
    const char* meeting;
    const char* day;
    std::array<const char*, 4> specials; // the names of races 9 to 12
};

const std::array<Venue, 3> kVenues{{
    {"04", "01", "08", {"若竹賞", "テレビ山梨杯", "白富士Ｓ", "東京新聞杯"}},
    {"00", "01", "08", {"紅梅Ｓ", "北山特別", "石清水Ｓ", "京都牝馬特別"}},
    {"03", "01", "02", {"萌黄賞", "門司特別", "関門橋Ｓ", "小倉日経オープン"}},
}};

SampleRace race(Dice& dice, const Venue& venue, int number, int runners) {
    SampleRace race;
    race.course = venue.course;
    race.year = "2001";
    race.meeting = venue.meeting;
    race.day = venue.day;
    race.raceNumber = Format("%.2d", number);
    race.date = "20010128";
    race.surface = dice.below(2) == 0 ? "1" : "0";
    race.distance = Format("%d", dice.pick(kSampleDistances));
    race.postTime = Format("%.2d:%.2d", 9 + (number * 35 + 50) / 60, (number * 35 + 50) % 60);
    if (number <= 2) {
        race.ageCondition = "2";
        race.classCode = number == 1 ? "00003" : "00001";
    } else if (number <= 8) {
        race.ageCondition = number % 2 ? "4" : "2";
        race.classCode = number % 3 ? "05000" : "00003";
        race.condition = number % 2 ? "04" : "  ";
    } else {
        race.name = venue.specials[static_cast<std::size_t>(number - 9)];
        race.ageCondition = "4";
        race.classCode = number == 12 ? "00004" : "10000";
        race.grade = number == 11 ? "2" : " ";
        race.condition = "29";
        race.conditionText = number == 11 ? "(指定)(混)" : "";
    }
    race.noBet = dice.below(12) == 0 ? "1" : "0";
    for (int k = 1; k <= runners; ++k)
        race.runners.push_back(runner(dice, k, runners));
    return race;
}

} // namespace

// Its record files are packed into committed archives: a change to the generator
// above means making them again with scripts/make-lzh-fixtures.sh.
SampleDay SmallTestDay() {
    SampleDay day;
    Dice dice(7);
    day.races.push_back(race(dice, kVenues[0], 1, 3));
    day.races.push_back(race(dice, kVenues[0], 11, 9));
    AssignRunnerKeys(day);
    return day;
}

SampleDay DemoDay() {
    SampleDay day;
    Dice dice(2001);
    const std::array<int, 12> fields{10, 14, 16, 12, 8, 16, 13, 5, 11, 15, 18, 7};
    for (const Venue& venue : kVenues)
        for (int number = 1; number <= 12; ++number)
            day.races.push_back(
                race(dice, venue, number,
                     fields[static_cast<std::size_t>((number + dice.below(3)) % 12)]));
    AssignRunnerKeys(day);
    return day;
}

SampleDay SyntheticDay(int raceCount, int runners) {
    SampleDay day;
    Dice dice(99);
    for (int i = 0; i < raceCount; ++i)
        day.races.push_back(
            race(dice, kVenues[static_cast<std::size_t>(i / 12 % 3)], i % 12 + 1, runners));
    AssignRunnerKeys(day);
    return day;
}

namespace {

// Tenths of a second of the time model above, without its spread.
int standardTenths(int distance, bool turf) {
    return distance * 6 / 10 - (turf ? 40 : 0) + 5;
}

} // namespace

SampleTimeDb TimeDbCovering(const SampleDay& day) {
    SampleTimeDb db;
    for (int distance : kSampleDistances) {
        if (distance == 2200)
            continue; // no factor: these runs cannot be scored
        db.distanceFactors.push_back({DistanceFactorKey(distance), 16000 / distance});
    }
    std::set<std::pair<int, int>> times;
    std::set<std::int32_t> variants;
    Dice dice(4711);
    for (const SampleRace& race : day.races) {
        for (const SampleRunner& runner : race.runners) {
            for (const SamplePastRun& run : runner.pastRuns) {
                if (run.course == "  ")
                    continue;
                int code = std::stoi(run.course);
                int course = CourseToRacecourse[static_cast<std::size_t>(code)] % 10;
                int distance = std::stoi(run.distance);
                if (!(distance == 1000 && course == 8) && times.insert({distance, course}).second)
                    db.standardTimes.push_back({StandardTimeKey(distance, course),
                                                standardTenths(distance, true),
                                                standardTenths(distance, false)});
                std::int32_t key = TrackVariantKey(std::stoi(run.date), course);
                if (std::stoi(run.date) % 7 != 0 && variants.insert(key).second)
                    db.trackVariants.push_back({key, dice.between(-8, 8),
                                                dice.below(10) == 0 ? 999 : dice.between(-8, 8)});
            }
        }
    }
    return db;
}

SampleDayOdds DemoOdds(const SampleDay& day) {
    SampleDayOdds odds(day.races.size());
    if (odds.size() > 20) {
        odds[3].absent = true;            // no odds in any source
        odds[5].win[2] = "*****";         // capped
        odds[5].win[4] = "     ";         // a scratched runner
        odds[7].bracket[{1, 2}] = "    "; // a bracket pair without odds
        odds[14].wideAbsent = true;
    }
    return odds;
}

std::filesystem::path WriteDemoDay(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    SampleDay day = DemoDay();
    fs::path archive = folder / kDemoArchiveName;
    for (const char* sub : {"jrdb", "rx", "time"})
        fs::create_directories(folder / sub);
    WriteDayArchive(archive, day);
    SampleDayOdds odds = DemoOdds(day);
    std::string dayCode = DayCodeOf(archive.filename().string());
    WriteRuvOddsArchive(folder, dayCode, day, odds);
    odds[3].absent = false;
    odds[9].absent = true; // the JRDB and RX sources miss another race
    WriteJrdbOddsArchive(folder / "jrdb", dayCode, day, odds);
    WriteRxFile(folder / "rx", day, odds);
    WriteTimeDb(folder / "time", TimeDbCovering(day));
    return archive;
}
