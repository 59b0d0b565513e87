#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The figures that judge a season beside the market: rates with their intervals, a
// difference of returns by the paired bootstrap, the market's own probabilities, the
// chi-squared test of a nested model and the reliability table. Pure arithmetic: no input
// or output, and the same figures with every compiler and standard library.

struct TInterval {
    double low = 0;
    double high = 0;
};

// The Wilson 95% interval of the rate k/n (0 <= k <= n); none for n = 0. Unlike the
// normal interval it stays inside [0, 1] and is not empty at k = 0 or k = n.
std::optional<TInterval> WilsonInterval(int k, int n);

// What two strategies staked and got back in one race, in yen.
struct TPairedRace {
    long long stakeA = 0;
    long long paidA = 0;
    long long stakeB = 0;
    long long paidB = 0;
};

constexpr int kBootstrapResamples = 2000;
constexpr std::uint64_t kBootstrapSeed = 20010106;

// The returns R = Σ paid / Σ stake of two strategies over the same races, and the 95%
// interval of R_a − R_b from the races resampled with replacement.
struct TReturnComparison {
    double returnA = 0;
    double returnB = 0;
    double difference = 0; // returnA − returnB
    // From the 2.5th to the 97.5th percentile of the resampled differences, each
    // interpolated linearly between the two nearest order statistics (the default of R
    // and NumPy): with m sorted differences d_0..d_{m−1}, the p-quantile is d_h with
    // h = p·(m − 1). Two identical strategies give exactly [0, 0].
    TInterval interval;
    // The resamples the interval rests on: a resample in which either strategy staked
    // nothing has no return to compare and is left out (rare unless a strategy bets in
    // very few races: with bets in m races, about e^−m of the resamples).
    int resamples = 0;
};

// No comparison when there are no races or either strategy staked nothing in them. The
// draws come from std::mt19937_64 (whose output the C++ standard fixes) through an
// unbiased bounded draw of our own, so the figures repeat everywhere for one seed.
std::optional<TReturnComparison> CompareReturns(std::span<const TPairedRace> races,
                                                std::uint64_t seed = kBootstrapSeed,
                                                int resamples = kBootstrapResamples);

// What one strategy staked and got back in one race, in yen.
struct TRaceMoney {
    long long stake = 0;
    long long paid = 0;
};

// Several strategies, each against the same baseline over the same races: element k is
// what CompareReturns gives for strategies[k] (as A) and baseline (as B). The races are
// resampled once for all of them, so a sweep of many values costs little more than one.
std::vector<std::optional<TReturnComparison>>
CompareEachReturn(std::span<const std::vector<TRaceMoney>> strategies,
                  std::span<const TRaceMoney> baseline, std::uint64_t seed = kBootstrapSeed,
                  int resamples = kBootstrapResamples);

// The market's win probabilities q_i = (1/o_i) / Σ_j (1/o_j) over the runners with win odds
// o > 0; a runner without odds gets 0 (all do when none has odds).
std::vector<double> MarketProbabilities(std::span<const float> winOdds);

// The probability that a chi-squared variable of df >= 1 degrees of freedom exceeds x.
double ChiSquaredSurvival(double x, int degreesOfFreedom);
// The value that a chi-squared variable exceeds with probability 5% (5.99 for 2 degrees of
// freedom, 7.81 for 3).
double ChiSquaredCritical(int degreesOfFreedom);

// The likelihood-ratio test of a model against one it nests: 2(L_full − L_nested) against
// chi-squared with as many degrees of freedom as the full model fits more.
struct TLikelihoodRatio {
    double statistic = 0;
    int degreesOfFreedom = 0;
    double critical = 0; // ChiSquaredCritical
    double pValue = 1;

    bool Significant() const { return statistic > critical; }
};
TLikelihoodRatio LikelihoodRatio(double logLikelihoodFull, double logLikelihoodNested,
                                 int degreesOfFreedom);

// One runner's predicted win probability and whether it won.
struct TPrediction {
    double probability = 0;
    bool won = false;
};

// The runners whose prediction fell in [lower, upper); the last bin also holds 100%.
struct TReliabilityBin {
    double lower = 0;
    double upper = 0;
    int runners = 0;
    double meanPredicted = 0; // 0 for an empty bin
    int wins = 0;
    double winRate = 0;                       // 0 for an empty bin
    std::optional<TInterval> winRateInterval; // Wilson 95%; none for an empty bin
};

// Six bins, always in this order: 0–5, 5–10, 10–20, 20–30, 30–50 and 50–100%.
std::vector<TReliabilityBin> ReliabilityTable(std::span<const TPrediction> predictions);
