#pragma once

#include <filesystem>
#include <vector>

// A generated season of racing days (Saturdays and Sundays) whose horses persist from day
// to day. Each horse has a hidden ability; a race's finishing order follows its runners'
// abilities with noise, and each run's time agrees with the season's time database, so
// that the figures carry what the horses can do. Later days' horse records hold the
// earlier days' runs, now and then with an abnormal result or a scratched runner; each
// day's RUV odds archive gives shorter odds to the horses the public rates higher.
struct SampleSeasonPlan {
    int days = 8;
    int venues = 3; // a day's venues, of twelve races each (1 to 3)
};

// Writes the season into folder: rv + YYMMDD + .lzh and j + YYMMDD + .lzh for each day,
// from Saturday 2001-01-06 on, and time/time.dbx. Returns the day archives in date order.
// Deterministic.
std::vector<std::filesystem::path> WriteSampleSeason(const std::filesystem::path& folder,
                                                     const SampleSeasonPlan& plan);
