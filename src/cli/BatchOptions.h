#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line of ruvpelton-batch.
struct TBatchOptions {
    std::string command;                 // list, summary, race, explain, write, csv or ledger
    std::string archive;                 // ledger: the folder of day archives
    int raceIndex = -1;                  // race, explain: the race index, from 0
    std::optional<std::string> raceName; // race, explain: the race as venue and number, 東京11R
    std::optional<int> runner;           // explain: the runner number, from 1; all when not given
    bool help = false;
    bool version = false;
    bool sjis = false;
    bool text = false;
    bool html = false;
    bool wars = false;
    bool ruv = false;
    bool market = false; // ledger: print the comparison with the market
    std::optional<std::string> timeFolder;
    std::optional<std::string> outFolder;
    std::optional<std::string> rxFolder;
    std::optional<std::string> jrdbFolder;
    std::optional<std::string> iniFile;
    std::optional<int> warsFormat;
    std::optional<int> ruvFormat;
    std::optional<std::string> from; // ledger: YYMMDD
    std::optional<std::string> to;
    std::optional<std::string> storeFile; // ledger: the season store
    std::optional<std::string> rule;      // ledger: "good=0.8,margin=0.05"
    std::optional<std::string> sweep;     // ledger: "min-odds=0:20:1"
    std::optional<std::string> judgeFrom; // ledger: YYMMDD, the later range a rule is judged on
    std::optional<std::string> judgeTo;

    bool anyFileChosen() const { return text || html || wars || ruv; }
};

class EBatchUsage : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Throws EBatchUsage with a message that says what is wrong.
TBatchOptions ParseBatchOptions(const std::vector<std::string>& args);

extern const char* const kBatchUsage;
