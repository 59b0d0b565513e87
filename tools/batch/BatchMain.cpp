// ruvpelton-batch: the program's day work from the command line.
#include "platform/Cp932.h"
#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: ruvpelton-batch COMMAND ARCHIVE [options]\n"
    "\n"
    "commands:\n"
    "  list ARCHIVE      print the day's races, one per line: index, a tab, the race line\n"
    "\n"
    "options:\n"
    "  --sjis            print CP932 bytes instead of UTF-8\n"
    "  --help            show this text\n";

class Printer {
public:
    explicit Printer(bool sjis) : m_sjis(sjis) {}
    void line(const std::string& cp932) const {
        std::cout << (m_sjis ? cp932 : toUtf8Lenient(cp932)) << '\n';
    }

private:
    bool m_sjis;
};

int list(const std::string& archive, const Printer& out) {
    TWorkFolder work;
    TRaceRuv races(archive, work.folderText());
    for (int i = 0; i < races.RaceCount(); ++i)
        out.line(std::to_string(i) + "\t" + races.RaceLine(i));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (std::erase(args, "--help") > 0 || std::erase(args, "-h") > 0) {
        std::cout << kUsage;
        return 0;
    }
    bool sjis = std::erase(args, "--sjis") > 0;
    if (args.size() != 2 || args[0] != "list") {
        std::cerr << kUsage;
        return 2;
    }
    try {
        return list(args[1], Printer(sjis));
    } catch (const std::exception& e) {
        std::cerr << "ruvpelton-batch: " << toUtf8Lenient(e.what()) << "\n";
        return 1;
    }
}
