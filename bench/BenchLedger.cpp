// The season ledger against the bare extraction of the same day archives by libarchive,
// over a generated season of 100 days of 36 races, and the ledger over 200 days to show
// that it grows in proportion to the days. Wall and processor times are both given: on a
// shared machine the processor time is the steadier of the two. The peak memory of each
// ledger run is measured in a process of its own (this program started with --ledger).
#include "session/Settings.h"
#include "ledger/SeasonLedger.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kDays = 100;
constexpr int kRounds = 3;

// The ledger from nothing: its store, beside the season, is built anew each time.
TLedger runLedger(const fs::path& season) {
    TSettings settings;
    settings.Folder.Time = (season / "time" / "").string();
    const fs::path store = season.string() + ".sqlite";
    for (const char* part : {"", "-wal", "-shm"})
        fs::remove(store.string() + part);
    TLedger ledger = TSeasonLedger(settings, season, {}, store).Run();
    if (ledger.races.empty() || !ledger.problems.empty())
        std::abort();
    return ledger;
}

// Extracts every member of each archive with libarchive and nothing more: into files of a
// scratch folder (removed after each archive, as the ledger's work folder is), which is
// what extraction is for the program, or only into memory.
void extractBare(const std::vector<fs::path>& archives, const fs::path* scratch) {
    std::vector<char> buffer(1 << 16);
    for (const fs::path& path : archives) {
        archive* a = archive_read_new();
        archive_read_support_format_lha(a);
        if (archive_read_open_filename(a, path.c_str(), 1 << 16) != ARCHIVE_OK)
            std::abort();
        archive_entry* entry = nullptr;
        for (int member = 0; archive_read_next_header(a, &entry) == ARCHIVE_OK; ++member) {
            std::ofstream out;
            if (scratch)
                out.open(*scratch / std::to_string(member), std::ios::binary);
            la_ssize_t n = 0;
            while ((n = archive_read_data(a, buffer.data(), buffer.size())) > 0)
                if (scratch)
                    out.write(buffer.data(), n);
        }
        archive_read_free(a);
        if (scratch)
            for (const auto& file : fs::directory_iterator(*scratch))
                fs::remove(file.path());
    }
}

struct TTimes {
    double wall = 1e30; // seconds, the best of the rounds
    double cpu = 1e30;  // seconds of this process's processor time, user and system
};

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

TTimes measure(const std::function<void()>& work) {
    TTimes best;
    for (int i = 0; i < kRounds; ++i) {
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

void report(const char* what, const TTimes& t, const TTimes& base, const char* baseName) {
    std::printf("%-40s wall %7.3f s (%.2f x %s)   cpu %7.3f s (%.2f x)\n", what, t.wall,
                t.wall / base.wall, baseName, t.cpu, t.cpu / base.cpu);
}

// The peak resident memory in MiB of this program run with --ledger over season.
double ledgerPeakMiB(const fs::path& season) {
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "bench_ledger", "--ledger", season.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

std::uintmax_t bytesOf(const std::vector<fs::path>& files) {
    std::uintmax_t total = 0;
    for (const fs::path& f : files)
        total += fs::file_size(f);
    return total;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--ledger") {
        runLedger(argv[2]);
        return 0;
    }
    TWorkFolder work;
    const fs::path full = work.path() / "200";
    const fs::path half = work.path() / "100";
    std::printf("writing a season of %d days of 36 races...\n", 2 * kDays);
    const std::vector<fs::path> archives = WriteSampleSeason(full, {2 * kDays, 3});
    // the first 100 days of the same season, linked rather than written again
    fs::create_directories(half / "time");
    fs::copy_file(full / "time" / "time.dbx", half / "time" / "time.dbx");
    std::vector<fs::path> firstArchives;
    for (int d = 0; d < kDays; ++d) {
        const fs::path& day = archives[static_cast<std::size_t>(d)];
        const std::string odds = "j" + day.filename().string().substr(2);
        fs::create_hard_link(day, half / day.filename());
        fs::create_hard_link(full / odds, half / odds);
        firstArchives.push_back(half / day.filename());
    }

    const TLedger ledger = runLedger(half);
    std::size_t runners = 0;
    for (const TLedgerRace& race : ledger.races)
        runners += static_cast<std::size_t>(race.runners);
    std::printf("%d days, %zu races, %zu runners, day archives %.0f MiB\n", ledger.days,
                ledger.races.size(), runners,
                static_cast<double>(bytesOf(firstArchives)) / (1 << 20));

    const fs::path scratch = work.path() / "scratch";
    fs::create_directories(scratch);
    const TTimes toFiles = measure([&] { extractBare(firstArchives, &scratch); });
    const TTimes toMemory = measure([&] { extractBare(firstArchives, nullptr); });
    const TTimes hundred = measure([&] { runLedger(half); });
    const TTimes twoHundred = measure([&] { runLedger(full); });
    report("bare extraction to files (libarchive)", toFiles, toFiles, "itself");
    report("bare extraction into memory", toMemory, toFiles, "to files");
    report("ledger over 100 days", hundred, toFiles, "extraction");
    report("ledger over 200 days", twoHundred, hundred, "100 days");
    std::printf("peak memory of the ledger: %d days %.1f MiB, %d days %.1f MiB\n", kDays,
                ledgerPeakMiB(half), 2 * kDays, ledgerPeakMiB(full));
    return 0;
}
