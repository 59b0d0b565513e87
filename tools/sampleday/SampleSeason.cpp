#include "sampleday/SampleSeason.h"

#include "platform/Format.h"
#include "race/RaceHelpers.h"
#include "race/RaceRecords.h"
#include "sampleday/DayWriter.h"
#include "sampleday/OddsWriter.h"
#include "sampleday/SamplePieces.h"
#include "sampleday/TimeDbWriter.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
namespace chrono = std::chrono;
namespace pb = pastRunBlock;

namespace {

constexpr int kRacesPerVenue = 12;
constexpr int kPreSeasonDays = 12; // run before the first written day, for the horses' records
// Horses in the pool per start of a day: each runs about every two and a half racing days,
// so most runs of one day are seen in the records of a day of the next two weekends.
constexpr double kPoolPerStart = 2.5;
constexpr int kMeanField = 12;
constexpr double kTakeout = 0.2; // the share of each pool the public never gets back
constexpr double kRunSpread = 6; // figure points: how far a run strays from the ability
// The public rates each horse within this many points of its ability, and plays each race
// over this many times in its head to find the chances of its runners.
constexpr double kPublicError = 1;
constexpr int kImaginedRaces = 400;
constexpr double kMeanAbility = 78;
constexpr double kAbilitySpread = 7;
constexpr double kRealShare = kAbilitySpread * kAbilitySpread /
                              (kAbilitySpread * kAbilitySpread + kPublicError * kPublicError);
// a run strays from a rating by the run's own spread and by what the rating cannot tell
const double kImaginedSpread =
    std::sqrt(kRunSpread * kRunSpread + kRealShare * kPublicError * kPublicError);
constexpr double kFigureBase = 80; // the figure of a run in the standard time at 55 kg
constexpr int kBaseWeight = 550;   // tenths of a kilogram
constexpr int kNoTime = -1;

// Three venues a weekend for four weekends, then the next three.
const std::array<std::array<const char*, 3>, 3> kVenueSets{{
    {"05", "00", "03"}, // 中山 京都 小倉
    {"04", "01", "02"}, // 東京 阪神 中京
    {"06", "07", "08"}, // 福島 新潟 札幌
}};
constexpr int kWeekendsPerMeeting = 4;

const std::array<const char*, 12> kRaceNames{"若竹賞", "白梅賞", "紅梅Ｓ",     "寒椿賞",
                                             "春菜賞", "梅花賞", "雪割草特別", "早春Ｓ",
                                             "若駒Ｓ", "立春賞", "福寿草特別", "萌黄賞"};

// The normal distribution, near enough: the sum of four uniform draws.
double noise(Dice& dice, double spread) {
    int sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += dice.between(-100, 100);
    return spread * sum / 115.0;
}

// Runners that did not run, fell or did not finish have no time.
bool hasTime(int result) {
    return result != pb::kScratched && result != pb::kExcluded && result != pb::kFell &&
           result != pb::kNotFinished;
}

std::string timeText(int tenths) {
    if (tenths == kNoTime)
        return "    ";
    return Format("%d%.2d%d", tenths / 600, (tenths / 10) % 60, tenths % 10);
}

struct Horse {
    std::string key;
    std::string name;
    std::string sex;
    int age;
    double ability;                  // the figure it runs on average
    std::vector<SamplePastRun> runs; // the last five, the latest first
    int lastDay = -100;
};

// One runner of a race while the race is drawn.
struct Entry {
    Horse* horse;
    int weight; // tenths of a kilogram
    double performance = 0;
    int result = 0; // the place, or an abnormal-result code
    int time = kNoTime;
};

class Season {
public:
    Season(const fs::path& folder, const SampleSeasonPlan& plan)
        : m_folder(folder), m_plan(plan), m_dice(20010106) {
        const int starts = plan.venues * kRacesPerVenue * kMeanField;
        for (int i = 0; i < static_cast<int>(starts * kPoolPerStart); ++i)
            m_horses.push_back(newHorse(i));
        for (int distance : kSampleDistances)
            m_db.distanceFactors.push_back({DistanceFactorKey(distance), 16000 / distance});
    }

    std::vector<fs::path> write() {
        std::vector<fs::path> archives;
        for (int day = -kPreSeasonDays; day < m_plan.days; ++day) {
            SampleDay card;
            SampleDayOdds odds;
            runDay(day, card, odds);
            if (day < 0)
                continue;
            const std::string code = card.races.front().date.substr(2);
            archives.push_back(m_folder / ("rv" + code + ".lzh"));
            WriteDayArchive(archives.back(), card);
            WriteRuvOddsArchive(m_folder, code, card, odds);
        }
        fs::create_directories(m_folder / "time");
        WriteTimeDb(m_folder / "time", m_db);
        return archives;
    }

private:
    Horse newHorse(int i) {
        Horse h;
        h.key = Format("98%.5d", i);
        h.name = SampleHorseName(m_dice);
        h.sex = Format("%d", m_dice.below(5) == 0 ? 2 : m_dice.below(2));
        h.age = m_dice.between(3, 6);
        h.ability = kMeanAbility + noise(m_dice, kAbilitySpread);
        return h;
    }

    // Saturday 2001-01-06 is day 0 of weekend 0; odd days are Sundays.
    static int weekendOf(int day) { return day >= 0 ? day / 2 : -((1 - day) / 2); }
    static int isSunday(int day) { return ((day % 2) + 2) % 2; }
    static int dateOf(int day) {
        const chrono::sys_days first{chrono::year{2001} / 1 / 6};
        const chrono::year_month_day date{first + chrono::days{7 * weekendOf(day) + isSunday(day)}};
        return static_cast<int>(date.year()) * 10000 +
               static_cast<int>(static_cast<unsigned>(date.month())) * 100 +
               static_cast<int>(static_cast<unsigned>(date.day()));
    }

    void runDay(int day, SampleDay& card, SampleDayOdds& odds) {
        // counted from the first weekend of the pre-season, so that it is never negative
        const int weekend = weekendOf(day) + kPreSeasonDays / 2;
        const auto& venues =
            kVenueSets[static_cast<std::size_t>(weekend / kWeekendsPerMeeting) % kVenueSets.size()];
        std::vector<Horse*> rested = restedHorses(day);
        std::size_t next = 0;
        for (int v = 0; v < m_plan.venues; ++v) {
            for (int number = 1; number <= kRacesPerVenue; ++number) {
                const int runners =
                    std::min<int>(m_dice.between(7, 16), static_cast<int>(rested.size() - next));
                if (runners < 2)
                    continue;
                std::vector<Horse*> field(rested.begin() + static_cast<std::ptrdiff_t>(next),
                                          rested.begin() +
                                              static_cast<std::ptrdiff_t>(next + runners));
                next += static_cast<std::size_t>(runners);
                runRace(day, weekend, venues[static_cast<std::size_t>(v)], number, field, card,
                        odds);
            }
        }
    }

    // The horses that did not run the day before, the longest rested first.
    std::vector<Horse*> restedHorses(int day) {
        std::vector<std::pair<int, Horse*>> ranked;
        for (Horse& h : m_horses)
            if (h.lastDay < day - 1)
                ranked.emplace_back(h.lastDay * 1000 + m_dice.below(1000), &h);
        std::sort(ranked.begin(), ranked.end());
        std::vector<Horse*> horses;
        for (auto& [order, horse] : ranked)
            horses.push_back(horse);
        return horses;
    }

    void runRace(int day, int weekend, const char* course, int number,
                 const std::vector<Horse*>& field, SampleDay& card, SampleDayOdds& odds) {
        const int date = dateOf(day);
        SampleRace race;
        race.course = course;
        race.year = Format("%d", date / 10000);
        race.meeting = Format("%.2d", weekend / kWeekendsPerMeeting % 5 + 1);
        race.day = Format("%.2d", weekend % kWeekendsPerMeeting * 2 + isSunday(day) + 1);
        race.raceNumber = Format("%.2d", number);
        race.date = Format("%d", date);
        race.surface = m_dice.below(2) == 0 ? "1" : "0";
        const int distance = m_dice.pick(kSampleDistances);
        race.distance = Format("%d", distance);
        race.postTime = Format("%.2d:%.2d", 9 + (number * 30 + 55) / 60, (number * 30 + 55) % 60);
        race.ageCondition = number <= 2 ? "2" : "4";
        race.classCode = number <= 2 ? "00003" : number <= 8 ? "05000" : "10000";
        if (number == 11)
            race.name = kRaceNames[static_cast<std::size_t>(weekend + number) % kRaceNames.size()];
        race.noBet = m_dice.below(25) == 0 ? "1" : "0";

        const bool turf = race.surface == "1";
        const int racecourse = CourseToRacecourse[static_cast<std::size_t>(std::stoi(course))] % 10;
        const int standard = standardTime(distance, racecourse, turf);
        const int variant = trackVariant(date, racecourse, turf);
        const int factor = 16000 / distance;

        std::vector<Entry> entries;
        for (Horse* h : field)
            entries.push_back({h, m_dice.between(52, 58) * 10 + (m_dice.below(4) == 0 ? 5 : 0)});
        drawResults(entries);
        for (Entry& e : entries) {
            if (!hasTime(e.result))
                continue;
            // the time whose figure is the run's performance (time.dbx: figure = (standard -
            // time) * factor / 10 + 80 + variant + (weight / 10 - 55) * 2)
            const double weightPoints = (e.weight - kBaseWeight) / 10.0 * 2;
            const double aheadTenths =
                (e.performance - kFigureBase - variant - weightPoints) * 10 / factor;
            e.time = standard - static_cast<int>(std::lround(aheadTenths));
        }
        deadHeat(entries);

        const int n = static_cast<int>(entries.size());
        for (int k = 0; k < n; ++k) {
            const Entry& e = entries[static_cast<std::size_t>(k)];
            race.runners.push_back(runnerOf(*e.horse, k + 1, n, e.weight));
        }
        odds.push_back(oddsOf(entries));
        for (const Entry& e : entries) {
            SamplePastRun run;
            run.course = course;
            run.date = race.date;
            run.surface = race.surface;
            run.distance = race.distance;
            run.weight = Format("%d", e.weight);
            run.position = Format("%.2d", e.result);
            run.time = timeText(e.time);
            e.horse->runs.insert(e.horse->runs.begin(), run);
            if (e.horse->runs.size() > 5)
                e.horse->runs.pop_back();
            e.horse->lastDay = day;
        }
        card.races.push_back(std::move(race));
    }

    // Places by performance; now and then a runner is scratched, excluded, falls, does not
    // finish or is disqualified (placed behind every finisher).
    void drawResults(std::vector<Entry>& entries) {
        std::vector<Entry*> finishers;
        std::vector<Entry*> disqualified;
        for (Entry& e : entries) {
            e.performance = e.horse->ability + noise(m_dice, kRunSpread);
            const int accident = m_dice.below(400);
            e.result = accident < 2    ? pb::kScratched
                       : accident == 2 ? pb::kExcluded
                       : accident < 5  ? pb::kFell
                       : accident == 5 ? pb::kNotFinished
                                       : 0;
            if (accident == 6)
                disqualified.push_back(&e);
            else if (e.result == 0)
                finishers.push_back(&e);
        }
        std::sort(finishers.begin(), finishers.end(),
                  [](const Entry* a, const Entry* b) { return a->performance > b->performance; });
        for (std::size_t i = 0; i < finishers.size(); ++i)
            finishers[i]->result = static_cast<int>(i) + 1;
        for (Entry* e : disqualified) {
            e->performance = e->horse->ability - 20; // its time stands behind the field
            e->result = pb::kDisqualified;
        }
    }

    // Now and then the first two cannot be told apart: both are placed first, in one time.
    void deadHeat(std::vector<Entry>& entries) {
        if (m_dice.below(60) != 0)
            return;
        Entry* first = nullptr;
        Entry* second = nullptr;
        for (Entry& e : entries) {
            if (e.result == 1)
                first = &e;
            if (e.result == 2)
                second = &e;
        }
        if (first && second) {
            second->result = 1;
            second->time = first->time;
        }
    }

    // Tenths of a second: about 12 seconds a furlong, each course a little apart.
    int standardTime(int distance, int racecourse, bool turf) {
        const int key = StandardTimeKey(distance, racecourse);
        auto found = m_standards.find(key);
        if (found == m_standards.end()) {
            const int onTurf = distance * 6 / 10 - 40 + m_dice.between(-10, 10);
            SampleStandardTime standard{key, onTurf, onTurf + 45 + m_dice.between(-5, 5)};
            m_db.standardTimes.push_back(standard);
            found = m_standards.emplace(key, standard).first;
        }
        return turf ? found->second.turf : found->second.dirt;
    }

    int trackVariant(int date, int racecourse, bool turf) {
        const std::int32_t key = TrackVariantKey(date, racecourse);
        auto found = m_variants.find(key);
        if (found == m_variants.end()) {
            SampleTrackVariant variant{key, m_dice.between(-8, 8), m_dice.between(-8, 8)};
            m_db.trackVariants.push_back(variant);
            found = m_variants.emplace(key, variant).first;
        }
        return turf ? found->second.turf : found->second.dirt;
    }

    SampleRunner runnerOf(const Horse& h, int number, int runners, int weight) {
        SampleRunner r;
        r.key = h.key;
        r.bracket = Format("%d", SampleBracketOf(number, runners));
        r.horseName = h.name;
        r.sex = h.sex;
        r.age = Format("%2d", h.age);
        r.weightKilograms = Format("%d", weight / 10);
        r.weightTenths = Format("%d", weight % 10);
        r.jockey = m_dice.pick(kSampleJockeys);
        for (std::size_t j = 0; j < h.runs.size(); ++j)
            r.pastRuns[j] = h.runs[j];
        return r;
    }

    // The public's odds: it rates each horse near its ability and plays the race over in
    // its head; the chances of its imagined finishes give the odds. A scratched or excluded
    // runner has none.
    SampleRaceOdds oddsOf(const std::vector<Entry>& entries) {
        const int n = static_cast<int>(entries.size());
        std::vector<double> rating(entries.size(), 0);
        std::vector<std::size_t> running;
        for (std::size_t k = 0; k < entries.size(); ++k) {
            if (entries[k].result == pb::kScratched || entries[k].result == pb::kExcluded)
                continue;
            // what the public can tell of the ability from a rating that strays: the rating
            // drawn towards the mean ability by the share of the spread that is real
            const double seen = entries[k].horse->ability + noise(m_dice, kPublicError);
            rating[k] = kMeanAbility + (seen - kMeanAbility) * kRealShare;
            running.push_back(k);
        }
        std::vector<double> wins(entries.size(), 0);
        // pairs[a][b], a < b (0-based): imagined finishes with a and b first and second
        std::vector<std::vector<double>> pairs(entries.size(),
                                               std::vector<double>(entries.size(), 0));
        for (int round = 0; round < kImaginedRaces && running.size() >= 2; ++round) {
            std::vector<std::pair<double, std::size_t>> finish;
            for (std::size_t k : running)
                finish.emplace_back(rating[k] + noise(m_dice, kImaginedSpread), k);
            std::partial_sort(finish.begin(), finish.begin() + 2, finish.end(), std::greater<>());
            wins[finish[0].second] += 1;
            pairs[std::min(finish[0].second, finish[1].second)]
                 [std::max(finish[0].second, finish[1].second)] += 1;
        }
        // odds in tenths from a count of imagined finishes; none for a runner that is out.
        // A count of 0 still leaves a chance of half a finish, so odds stay finite.
        auto text = [](double count, int width, int most) {
            if (count < 0)
                return std::string(static_cast<std::size_t>(width), ' ');
            const double chance = std::max(count, 0.5) / kImaginedRaces;
            const double tenths =
                std::clamp((1 - kTakeout) / chance * 10, 10.0, static_cast<double>(most));
            return Format("%.*d", width, static_cast<int>(tenths));
        };
        auto isOut = [&entries](int a) {
            const int result = entries[static_cast<std::size_t>(a - 1)].result;
            return result == pb::kScratched || result == pb::kExcluded;
        };
        auto pair = [&](int a, int b) { // 1-based, a < b; -1 when one of them is out
            return isOut(a) || isOut(b)
                       ? -1.0
                       : pairs[static_cast<std::size_t>(a - 1)][static_cast<std::size_t>(b - 1)];
        };
        SampleRaceOdds o;
        for (int a = 1; a <= n; ++a)
            o.win[a] = text(isOut(a) ? -1 : wins[static_cast<std::size_t>(a - 1)], 5, 99999);
        const int brackets = std::min(n, 8);
        for (int x = 1; x <= brackets; ++x) {
            for (int y = x; y <= brackets; ++y) {
                double count = -1;
                for (int a = 1; a <= n; ++a)
                    for (int b = a + 1; b <= n; ++b) {
                        const int ba = SampleBracketOf(a, n);
                        const int bb = SampleBracketOf(b, n);
                        if (((ba == x && bb == y) || (ba == y && bb == x)) && pair(a, b) >= 0)
                            count = std::max(count, 0.0) + pair(a, b);
                    }
                o.bracket[{x, y}] = text(count, 5, 99999);
            }
        }
        if (n > 8)
            for (int a = 1; a <= n; ++a)
                for (int b = a + 1; b <= n; ++b)
                    o.quinella[{a, b}] = text(pair(a, b), 7, 9999999);
        return o;
    }

    fs::path m_folder;
    SampleSeasonPlan m_plan;
    Dice m_dice;
    std::vector<Horse> m_horses;
    SampleTimeDb m_db;
    std::map<int, SampleStandardTime> m_standards;
    std::map<std::int32_t, SampleTrackVariant> m_variants;
};

} // namespace

std::vector<fs::path> WriteSampleSeason(const fs::path& folder, const SampleSeasonPlan& plan) {
    fs::create_directories(folder);
    return Season(folder, plan).write();
}
