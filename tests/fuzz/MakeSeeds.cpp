// make-fuzz-seeds FOLDER: writes the seed inputs of every fuzz target, one folder each,
// made from the sample days (small ones: a few races of few runners).
#include "FuzzDay.h"

#include "platform/Cp932.h"
#include "sampleday/SampleDays.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The first race of the small test day alone: 3 runners.
SampleDay oneRace() {
    SampleDay day = SmallTestDay();
    day.races.resize(1);
    return day;
}

std::string records(const SampleDay& day) {
    return JoinParts({RaceFileBytes(day), RunnerFileBytes(day), HorseFileBytes(day)});
}

std::string ruvOdds(const SampleDay& day, const SampleDayOdds& odds = {}) {
    return JoinRecords(RuvOddsRecords(day, odds));
}

void write(const fs::path& folder, const std::string& target, const std::string& name,
           const std::string& bytes) {
    fs::create_directories(folder / target);
    WriteBinaryFile(folder / target / name, bytes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds FOLDER\n";
        return 2;
    }
    const fs::path out = argv[1];
    const SampleDay small = SmallTestDay(); // races of 3 and 9 runners
    const SampleDay one = oneRace();
    SampleDayOdds odds(small.races.size());
    odds[1].win[2] = "*****";
    odds[1].quinella[{1, 2}] = "     ";
    odds[1].wideAbsent = true;

    write(out, "race_records", "one-race", records(one));
    write(out, "race_records", "small-day", records(small));

    write(out, "time_database", "small-day", TimeDbBytes(TimeDbCovering(small)));
    SampleTimeDb variants = TimeDbCovering(one);
    variants.trackVariants.push_back({TrackVariantKey(20010128, 5), 999, -5});
    write(out, "time_database", "variants", TimeDbBytes(variants));

    write(out, "odds_ruv", "small-day", ruvOdds(small, odds));
    write(out, "odds_jrdb", "small-day",
          JoinParts(
              {JoinRecords(JrdbOzRecords(small, odds)), JoinRecords(JrdbOwRecords(small, odds))}));
    write(out, "rx_odds", "small-day", JoinLines(RxLines(small, odds)));

    write(out, "settings", "written",
          "[Pos]\r\nSplit1=183\r\nSplit2=113\r\nBamei=1\r\nFormMain=90,70,730,490,-1,-1,-1,-1,0\r\n"
          "[Folder]\r\nInDenm=/home/u/data/\r\nOutTxt=/home/u/out/\r\nTime=/home/u/time/\r\n"
          "DrnRx=/home/u/rx/\r\n[File]\r\nOutAtRead=0\r\nTextOut=1\r\nHtmlOut=1\r\nWarsOut=0\r\n"
          "WarsFormat=1\r\nRuvOut=0\r\nRuvFormat=1\r\n[Font]\r\nSize=11\r\nSizeOdds=9\r\n"
          "[Other]\r\nRaceClose=0\r\nDrnRx=0\r\n");
    write(out, "settings", "by-hand",
          "; by hand\nfolder=none\n[ folder ]\n InDenm = \" /a b/ \" \n Time='x'\n[FILE]\n"
          "TextOut=0x101\nHtmlOut=$FF\nWarsOut=-1\n[Font]\nSize=\n[Other]\nJrdb=1\n[Folder]\n"
          "Jrdb=" +
              toCp932("/データ/") + "\n");

    std::vector<LzhMember> members = DayMembers(one);
    members.emplace_back("ruv_ods.kd2", ruvOdds(one));
    write(out, "day_archive", "ruv", MakeLzhArchive(members, LzhHeaderLevel::Level2));
    std::vector<LzhMember> jrdb = DayMembers(one);
    jrdb.emplace_back("oz010128.txt", JoinRecords(JrdbOzRecords(one, {})));
    jrdb.emplace_back("ow010128.txt", JoinRecords(JrdbOwRecords(one, {})));
    write(out, "day_archive", "jrdb", MakeLzhArchive(jrdb, LzhHeaderLevel::Level1));

    // the odds hold 6 runners where the card has 3 and 9
    write(out, "day_odds", "small-day",
          "\x06" + JoinParts({RaceFileBytes(small), RunnerFileBytes(small), HorseFileBytes(small),
                              ruvOdds(small)}));
    return 0;
}
