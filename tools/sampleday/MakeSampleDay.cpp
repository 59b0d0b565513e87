// make-sample-day: writes the generated sample day into a folder.
//   make-sample-day OUTDIR             the demo day: its archive, odds archives, RX file
//                                      and time database
//   make-sample-day --records OUTDIR   the small test day's three record files, as
//                                      input for a real LZH archiver (--upper: upper-case names)
//   make-sample-day --season DAYS OUTDIR
//                                      a season of DAYS racing days (Saturdays and Sundays,
//                                      36 races each): the day archives with their RUV odds
//                                      archives, and time/time.dbx
#include "sampleday/SampleDays.h"
#include "sampleday/SampleSeason.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kUsage = "usage: make-sample-day [--records [--upper] | --season DAYS] OUTDIR\n";
constexpr int kMostSeasonDays = 1000;

bool isOption(const std::string& arg) {
    return arg.size() > 1 && arg.front() == '-';
}

// The value of --season, taken out of args; 0 when it is not given.
int seasonDays(std::vector<std::string>& args) {
    auto option = std::find(args.begin(), args.end(), "--season");
    if (option == args.end())
        return 0;
    if (option + 1 == args.end())
        throw std::invalid_argument("--season needs a number of days");
    const std::string value = *(option + 1);
    args.erase(option, option + 2);
    if (value.empty() || value.size() > 4 ||
        value.find_first_not_of("0123456789") != std::string::npos || std::stoi(value) < 1 ||
        std::stoi(value) > kMostSeasonDays)
        throw std::invalid_argument("--season takes 1 to 1000 days, not '" + value + "'");
    return std::stoi(value);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool records = std::erase(args, "--records") > 0;
    bool upper = std::erase(args, "--upper") > 0;
    int days = 0;
    try {
        days = seasonDays(args);
    } catch (const std::exception& e) {
        std::cerr << "make-sample-day: " << e.what() << "\n" << kUsage;
        return 2;
    }
    // --help and any option it does not know are no folder to write into
    if (args.size() != 1 || std::any_of(args.begin(), args.end(), isOption)) {
        (args == std::vector<std::string>{"--help"} ? std::cout : std::cerr) << kUsage;
        return 2;
    }
    try {
        fs::path out = args[0];
        fs::create_directories(out);
        if (days > 0) {
            WriteSampleSeason(out, {days, 3});
            std::cout << out.string() << "\n";
            return 0;
        }
        if (records) {
            for (LzhMember& member : DayMembers(SmallTestDay())) {
                if (upper)
                    std::transform(
                        member.name.begin(), member.name.end(), member.name.begin(),
                        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
                WriteBinaryFile(out / member.name, member.data);
            }
            return 0;
        }
        std::cout << WriteDemoDay(out).string() << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make-sample-day: " << e.what() << "\n";
        return 1;
    }
}
