// make-sample-day: writes the generated sample day into a folder.
//   make-sample-day OUTDIR             the demo day: its archive, odds archives, RX file
//                                      and time database
//   make-sample-day --records OUTDIR   the small test day's three record files, as
//                                      input for a real LZH archiver (--upper: upper-case names)
#include "sampleday/SampleDays.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kUsage = "usage: make-sample-day [--records [--upper]] OUTDIR\n";

bool isOption(const std::string& arg) {
    return arg.size() > 1 && arg.front() == '-';
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool records = std::erase(args, "--records") > 0;
    bool upper = std::erase(args, "--upper") > 0;
    // --help and any option it does not know are no folder to write into
    if (args.size() != 1 || std::any_of(args.begin(), args.end(), isOption)) {
        (args == std::vector<std::string>{"--help"} ? std::cout : std::cerr) << kUsage;
        return 2;
    }
    try {
        fs::path out = args[0];
        fs::create_directories(out);
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
