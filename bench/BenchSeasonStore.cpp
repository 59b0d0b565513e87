// The season store over generated seasons of 100, 500 and 2,000 days of 36 races (the first
// N days of one season, linked): building it from nothing against the bare extraction of
// the same archives into files by libarchive, a second run with nothing new, adding one day
// to the 500-day store against that day's bare extraction, and the peak memory of a whole
// ledger run from nothing. BENCH_STORE_DAYS=100,500 runs fewer sizes. Wall and processor
// times are both given: on a shared machine the processor time is the steadier.
#include "ledger/SeasonLedger.h"
#include "ledger/StoreLedger.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"
#include "season/SeasonStore.h"
#include "season/StoreUpdate.h"
#include "session/Settings.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TTimes {
    double wall = 0; // seconds
    double cpu = 0;  // seconds of this process's processor time, user and system
};

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The best of rounds runs of work; prepare runs before each, untimed.
TTimes measure(const std::function<void()>& work, int rounds = 1,
               const std::function<void()>& prepare = {}) {
    TTimes best{1e30, 1e30};
    for (int i = 0; i < rounds; ++i) {
        if (prepare)
            prepare();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        work();
        best.cpu = std::min(best.cpu, cpuSeconds() - cpuStart);
        best.wall = std::min(
            best.wall,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Every member of each archive extracted into files of a scratch folder, removed after
// each archive as the program's work folder is: what extraction is for the program.
void extractBare(const std::vector<fs::path>& archives, const fs::path& scratch) {
    std::vector<char> buffer(1 << 16);
    for (const fs::path& path : archives) {
        archive* a = archive_read_new();
        archive_read_support_format_lha(a);
        if (archive_read_open_filename(a, path.c_str(), 1 << 16) != ARCHIVE_OK)
            std::abort();
        archive_entry* entry = nullptr;
        for (int member = 0; archive_read_next_header(a, &entry) == ARCHIVE_OK; ++member) {
            std::ofstream out(scratch / std::to_string(member), std::ios::binary);
            la_ssize_t n = 0;
            while ((n = archive_read_data(a, buffer.data(), buffer.size())) > 0)
                out.write(buffer.data(), n);
        }
        archive_read_free(a);
        for (const auto& file : fs::directory_iterator(scratch))
            fs::remove(file.path());
    }
}

TSettings settingsOf(const fs::path& season) {
    TSettings settings;
    settings.Folder.Time = (season / "time" / "").string();
    return settings;
}

// Brings the store up to date with the season, without the ledger's tables.
TStoreUpdate update(const fs::path& season, const fs::path& store) {
    const TSettings settings = settingsOf(season);
    TSeasonStore opened(store);
    TStoreUpdater updater(opened, settings, season);
    return updater.Run();
}

// The whole ledger run: the update, then every race read back from the store.
std::size_t ledgerRun(const fs::path& season, const fs::path& store) {
    const TSettings settings = settingsOf(season);
    TSeasonLedger ledger(settings, season, {}, store);
    const TLedger result = ledger.Run();
    if (result.races.empty() || !result.problems.empty())
        std::abort();
    return result.races.size();
}

// The peak resident memory in MiB of this program run with --ledger over season.
double ledgerPeakMiB(const fs::path& season, const fs::path& store) {
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "bench_season_store", "--ledger", season.c_str(), store.c_str(),
              nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

std::vector<int> sizesToRun() {
    const char* chosen = std::getenv("BENCH_STORE_DAYS");
    std::vector<int> sizes;
    std::istringstream list(chosen ? chosen : "100,500,2000");
    for (std::string n; std::getline(list, n, ',');)
        sizes.push_back(std::stoi(n));
    return sizes;
}

// The first days of the season, linked into a folder of their own.
std::vector<fs::path> linkFirstDays(const fs::path& full, const std::vector<fs::path>& archives,
                                    int days, const fs::path& folder) {
    fs::create_directories(folder / "time");
    fs::copy_file(full / "time" / "time.dbx", folder / "time" / "time.dbx");
    std::vector<fs::path> linked;
    for (int d = 0; d < days; ++d) {
        const fs::path& day = archives[static_cast<std::size_t>(d)];
        const std::string odds = "j" + day.filename().string().substr(2);
        fs::create_hard_link(day, folder / day.filename());
        fs::create_hard_link(full / odds, folder / odds);
        linked.push_back(folder / day.filename());
    }
    return linked;
}

void print(const char* what, const TTimes& t, const char* versus = nullptr,
           const TTimes* base = nullptr) {
    std::printf("  %-46s wall %8.3f s  cpu %8.3f s", what, t.wall, t.cpu);
    if (base)
        std::printf("   %.2f x %s (cpu %.2f x)", t.wall / base->wall, versus, t.cpu / base->cpu);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--ledger") {
        ledgerRun(argv[2], argv[3]);
        return 0;
    }
    const std::vector<int> sizes = sizesToRun();
    const int most = *std::max_element(sizes.begin(), sizes.end());
    TWorkFolder work;
    const fs::path full = work.path() / "season";
    std::printf("writing a season of %d days of 36 races...\n", most);
    std::fflush(stdout);
    const std::vector<fs::path> archives = WriteSampleSeason(full, {most, 3});
    // the written season goes to the disk before anything is timed, not during
    sync();
    const fs::path scratch = work.path() / "scratch";
    fs::create_directories(scratch);
    double coldPerDay = 0;
    for (int days : sizes) {
        const fs::path season = work.path() / std::to_string(days);
        const std::vector<fs::path> linked = linkFirstDays(full, archives, days, season);
        const fs::path store = work.path() / (std::to_string(days) + ".sqlite");
        std::printf("%d days:\n", days);
        const TTimes bare = measure([&] { extractBare(linked, scratch); });
        print("bare extraction to files (libarchive)", bare);
        const TTimes cold = measure([&] { update(season, store); });
        print("store built from nothing", cold, "extraction", &bare);
        std::size_t races = 0;
        const TTimes read = measure([&] { races = ledgerRun(season, store); });
        print("then the ledger from it (first time)", read);
        const TTimes again = measure([&] { ledgerRun(season, store); }, 3);
        print("second run, nothing new: whole ledger", again, "the build", &cold);
        const TTimes nothing = measure([&] { update(season, store); }, 3);
        print("second run, nothing new: the update", nothing, "the build", &cold);
        std::printf("  per day: build %.2f ms, extraction %.2f ms; %zu races; store %.1f MiB\n",
                    1000 * cold.wall / days, 1000 * bare.wall / days, races,
                    static_cast<double>(fs::file_size(store)) / (1 << 20));
        if (coldPerDay == 0)
            coldPerDay = cold.wall / days;
        else
            std::printf("  build per day against the first size: %.2f x\n",
                        cold.wall / days / coldPerDay);
        if (days >= 500) {
            // the last day taken out, then added again; the best of seven rounds, since one
            // day takes a few milliseconds and a shared machine's noise is of that order
            const fs::path last = linked.back();
            const fs::path aside = work.path() / "aside.lzh";
            const TTimes addOne = measure([&] { update(season, store); }, 7,
                                          [&] {
                                              fs::rename(last, aside);
                                              update(season, store);
                                              fs::rename(aside, last);
                                          });
            const TTimes bareOne = measure([&] { extractBare({last}, scratch); }, 7);
            print("adding one day", addOne, "its extraction", &bareOne);
        }
        if (days == most)
            std::printf("  peak memory of a whole ledger run from nothing: %.1f MiB\n",
                        ledgerPeakMiB(season, work.path() / "peak.sqlite"));
        std::fflush(stdout);
    }
    return 0;
}
