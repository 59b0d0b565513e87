#pragma once

#include "ledger/ConditionalLogit.h"
#include "ledger/SeasonStatistics.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

struct TStoredRaces;

// One runner as the comparison with the market reads it from the store.
struct TMarketRunner {
    std::optional<double> score; // none: the program gave it no score
    float winOdds = 0;           // of the snapshot; 0: none
    int result = 0;              // runResult code
};

// One race of the day's prediction with its runners' results.
struct TMarketRace {
    int date = 0;                       // YYYYMMDD
    int topMark = 0;                    // the runner holding ◎; 0: none
    int first = 0;                      // the winner, the lower number in a dead heat; 0: unknown
    bool settled = false;               // first and second known, as the ledger counts it
    std::vector<TMarketRunner> runners; // by runner number − 1
};

// Every race of the store, in the order of the days and of each day's races, with the marks
// and scores of the day's prediction (not of a replay under another rule), as the ledger
// read them.
std::vector<TMarketRace> MarketRaces(const TStoredRaces& stored);

// One strategy's win bets of 100 yen a race over the compared races.
struct TWinTally {
    int races = 0;
    int won = 0;
    int topTwo = 0;
    int topThree = 0;
    long long stake = 0; // yen
    long long paid = 0;  // yen: odds × 100, rounded, when it won

    void Add(int result, float winOdds);
};

// ◎ and the favourite over the same races, and the paired bootstrap interval of the
// difference of their win returns (◎ minus the favourite); none without races.
struct TMarketPair {
    TWinTally favourite;
    TWinTally topMark;
    std::optional<TReturnComparison> difference;
};

// ◎'s races in one band of its win odds: its wins beside the win rate the odds imply (the
// mean of its market probability).
struct TOddsBand {
    double low = 0;  // odds, inclusive
    double high = 0; // odds, exclusive; 0: open
    int races = 0;
    int wins = 0;
    double implied = 0; // 0 without races
};

// The program's score and the market as win probabilities, fitted on the earlier half of
// the settled races whose starters all have win odds and judged on the later half.
struct TCalibration {
    static constexpr int kMinimumHalf = 100; // races each half needs for fitted numbers
    int races = 0;                           // settled races whose starters all have odds
    int withoutOdds = 0;                     // settled races left out: a starter without odds
    int earlier = 0;
    int later = 0;
    bool Enough() const { return earlier >= kMinimumHalf && later >= kMinimumHalf; }
    // Only when Enough():
    TLogitFit program;
    TLogitFit blend;
    TLikelihoodRatio blendGain; // the blend against the market, on the earlier half
    double uniformLoss = 0;     // the mean log-loss per race on the later half
    double marketLoss = 0;
    double programLoss = 0;
    double blendLoss = 0;
    // On the later half when Enough() (the program's from its fit on the earlier half);
    // otherwise the market's over every race and none for the program.
    std::vector<TReliabilityBin> programBins;
    std::vector<TReliabilityBin> marketBins;
};

struct TMarketSection {
    TMarketPair all;
    TMarketPair same;  // races where ◎ is the favourite
    TMarketPair other; // races where it is not
    std::vector<TOddsBand> bands;
    TCalibration calibration;
};

// A race is compared when it is settled, a runner has win odds, it has a ◎, and the results
// of ◎ and of the favourite (the lowest win odds; on a tie the lowest runner number) are
// known and neither was scratched or excluded.
TMarketSection CompareWithMarket(std::span<const TMarketRace> races);

// The bands of ◎'s win odds, as the ledger's breakdowns have them: under 2.0, 2.0 to 3.9,
// 4.0 to 6.9, 7.0 to 14.9, and 15.0 upwards.
const std::array<double, 5>& OddsBandEdges();
