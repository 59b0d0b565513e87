// ruvpelton-batch: the program's day work from the command line.
#include "BatchOptions.h"

#include "platform/Cp932.h"
#include "platform/WorkFolder.h"
#include "race/RaceRuv.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

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
    TBatchOptions options;
    try {
        options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EBatchUsage& e) {
        std::cerr << "ruvpelton-batch: " << e.what() << "\n\n" << kBatchUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kBatchUsage;
        return 0;
    }
    try {
        return list(options.archive, Printer(options.sjis));
    } catch (const std::exception& e) {
        std::cerr << "ruvpelton-batch: " << toUtf8Lenient(e.what()) << "\n";
        return 1;
    }
}
