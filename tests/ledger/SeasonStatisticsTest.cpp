#include "ledger/SeasonStatistics.h"

#include "ledger/ConditionalLogit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Uniforms in (0, 1) and normals from std::mt19937_64 by our own arithmetic, so the drawn
// races are the same with every standard library.
class TDraws {
public:
    explicit TDraws(std::uint64_t seed) : m_engine(seed) {}
    double Uniform() { return (static_cast<double>(m_engine() >> 11) + 0.5) * 0x1.0p-53; }
    double Normal(double mean, double sd) {
        const double radius = std::sqrt(-2 * std::log(Uniform()));
        return mean + sd * radius * std::cos(2 * std::numbers::pi * Uniform());
    }
    int Between(int low, int high) { return low + static_cast<int>(Uniform() * (high - low + 1)); }

private:
    std::mt19937_64 m_engine;
};

// The true model the races are drawn from: scores ~ N(70, 10); the market's view is
// 0.1·score plus noise of its own, and q its softmax; the winner comes from
// u = α·log q + β·(score − race mean) + γ·[no score].
struct TTruth {
    std::array<double, logitTerm::kCount> coefficients; // α, β, γ
    double noScoreShare;
};

std::vector<TLogitRace> drawRaces(const TTruth& truth, int count, std::uint64_t seed) {
    TDraws draws(seed);
    std::vector<TLogitRace> races(static_cast<std::size_t>(count));
    for (TLogitRace& race : races) {
        race.runners.resize(static_cast<std::size_t>(draws.Between(8, 16)));
        std::vector<double> market;
        double scoreSum = 0;
        int scored = 0;
        for (TLogitRunner& runner : race.runners) {
            const double score = draws.Normal(70, 10);
            market.push_back(0.1 * score + draws.Normal(0, 1.0));
            if (draws.Uniform() >= truth.noScoreShare) {
                runner.score = score;
                scoreSum += score;
                ++scored;
            }
        }
        double marketTotal = 0;
        for (double m : market)
            marketTotal += std::exp(m);
        // the winner has the highest utility plus Gumbel noise: p ∝ exp(u)
        double best = -HUGE_VAL;
        for (std::size_t i = 0; i < race.runners.size(); ++i) {
            TLogitRunner& runner = race.runners[i];
            runner.marketProbability = std::exp(market[i]) / marketTotal;
            const double u =
                truth.coefficients[0] * std::log(runner.marketProbability) +
                (runner.score ? truth.coefficients[1] * (*runner.score - scoreSum / scored)
                              : truth.coefficients[2]) -
                std::log(-std::log(draws.Uniform()));
            if (u > best) {
                best = u;
                race.winner = i;
            }
        }
    }
    return races;
}

// The blend's truth: the score knows something the market does not.
constexpr TTruth kBlendTruth{{0.8, 0.08, 0}, 0};

// Two strategies staking 100 to 500 yen a race; a hit pays three times the stake.
std::vector<TPairedRace> drawBets(int count, double hitShareA, double hitShareB,
                                  std::uint64_t seed) {
    TDraws draws(seed);
    std::vector<TPairedRace> races(static_cast<std::size_t>(count));
    for (TPairedRace& race : races) {
        race.stakeA = 100LL * draws.Between(1, 5);
        race.paidA = draws.Uniform() < hitShareA ? 3 * race.stakeA : 0;
        race.stakeB = 100LL * draws.Between(1, 5);
        race.paidB = draws.Uniform() < hitShareB ? 3 * race.stakeB : 0;
    }
    return races;
}

} // namespace

TEST(SeasonStatisticsTest, WilsonIntervalsMatchTheHandWorkedValues) {
    struct TCase {
        int k, n;
        double low, high;
    };
    for (const TCase& c : {TCase{0, 10, 0.0, 0.277540}, TCase{10, 10, 0.722460, 1.0},
                           TCase{5, 10, 0.236590, 0.763410}, TCase{33, 100, 0.245630, 0.426948},
                           TCase{1, 1, 0.206543, 1.0}}) {
        const TInterval interval = WilsonInterval(c.k, c.n).value();
        EXPECT_NEAR(interval.low, c.low, 1e-6) << c.k << "/" << c.n;
        EXPECT_NEAR(interval.high, c.high, 1e-6) << c.k << "/" << c.n;
    }
    EXPECT_FALSE(WilsonInterval(0, 0));
}

TEST(SeasonStatisticsTest, TheBootstrapRepeatsAndTellsADifferenceFromNone) {
    const std::vector<TPairedRace> clear = drawBets(1000, 0.4, 0.2, 1);
    const auto comparison = CompareReturns(clear);
    ASSERT_TRUE(comparison);
    EXPECT_EQ(comparison->resamples, kBootstrapResamples);
    EXPECT_GT(comparison->interval.low, 0);
    // the same figures on every compiler and standard library, run after run
    EXPECT_DOUBLE_EQ(comparison->difference, 0.55277397513541016);
    EXPECT_DOUBLE_EQ(comparison->interval.low, 0.42403419974722473);
    EXPECT_DOUBLE_EQ(comparison->interval.high, 0.67482496723397589);
    EXPECT_NE(CompareReturns(clear, kBootstrapSeed + 1)->interval.low, comparison->interval.low);

    // two identical strategies: exactly no difference
    std::vector<TPairedRace> same = clear;
    for (TPairedRace& race : same)
        race = {race.stakeA, race.paidA, race.stakeA, race.paidA};
    const auto none = CompareReturns(same);
    EXPECT_EQ(none->difference, 0);
    EXPECT_EQ(std::pair(none->interval.low, none->interval.high), std::pair(0.0, 0.0));

    // a strategy that bets in 2 races of 20: resamples without its bets are left out
    std::vector<TPairedRace> rare = drawBets(20, 0.5, 0.5, 2);
    for (std::size_t i = 2; i < rare.size(); ++i)
        rare[i].stakeB = rare[i].paidB = 0;
    const int resamples = CompareReturns(rare)->resamples;
    EXPECT_TRUE(resamples > kBootstrapResamples / 2 && resamples < kBootstrapResamples);
    for (TPairedRace& race : rare)
        race.stakeB = race.paidB = 0;
    EXPECT_FALSE(CompareReturns(rare));
    EXPECT_FALSE(CompareReturns({}));
}

TEST(SeasonStatisticsTest, ASweepsComparisonsEqualEachComparisonMadeAlone) {
    // strategies that differ from the baseline and from each other in some races, one that
    // never bets, and the baseline itself
    const std::vector<TPairedRace> drawn = drawBets(500, 0.4, 0.2, 3);
    std::vector<TRaceMoney> baseline;
    std::vector<std::vector<TRaceMoney>> strategies(4);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        baseline.push_back({drawn[i].stakeB, drawn[i].paidB});
        strategies[0].push_back({drawn[i].stakeA, drawn[i].paidA});
        strategies[1].push_back(i % 3 == 0 ? baseline.back() : strategies[0].back());
        strategies[2].push_back({});
        strategies[3].push_back(baseline.back());
    }
    const auto together = CompareEachReturn(strategies, baseline);
    ASSERT_EQ(together.size(), strategies.size());
    for (std::size_t k = 0; k < strategies.size(); ++k) {
        std::vector<TPairedRace> pairs;
        for (std::size_t i = 0; i < baseline.size(); ++i)
            pairs.push_back({strategies[k][i].stake, strategies[k][i].paid, baseline[i].stake,
                             baseline[i].paid});
        const auto alone = CompareReturns(pairs);
        ASSERT_EQ(together[k].has_value(), alone.has_value()) << k;
        if (!alone)
            continue;
        EXPECT_EQ(together[k]->difference, alone->difference) << k;
        EXPECT_EQ(together[k]->interval.low, alone->interval.low) << k;
        EXPECT_EQ(together[k]->interval.high, alone->interval.high) << k;
        EXPECT_EQ(together[k]->resamples, alone->resamples) << k;
    }
    EXPECT_FALSE(together[2]);
    EXPECT_EQ(together[3]->interval.high, 0);
}

TEST(SeasonStatisticsTest, MarketProbabilitiesShareOneOverTheOddsAmongRunnersWithOdds) {
    const std::vector<float> odds = {2.0f, 4.0f, 0.0f, -1.0f, 4.0f};
    EXPECT_EQ(MarketProbabilities(odds), (std::vector<double>{0.5, 0.25, 0, 0, 0.25}));
    EXPECT_EQ(MarketProbabilities(std::vector<float>{0.0f, -1.0f}), (std::vector<double>{0, 0}));
}

TEST(SeasonStatisticsTest, ChiSquaredTailsAndTheLikelihoodRatio) {
    for (const auto& [df, critical] : {std::pair{1, 3.841459}, {2, 5.991465}, {3, 7.814728}}) {
        EXPECT_NEAR(ChiSquaredSurvival(critical, df), 0.05, 1e-6) << df;
        EXPECT_NEAR(ChiSquaredCritical(df), critical, 1e-6) << df;
    }
    EXPECT_NEAR(ChiSquaredSurvival(1.0, 3), 0.801252, 1e-6);
    const TLikelihoodRatio test = LikelihoodRatio(-100, -105, 2);
    EXPECT_DOUBLE_EQ(test.statistic, 10);
    EXPECT_NEAR(test.pValue, std::exp(-5.0), 1e-12);
    EXPECT_TRUE(test.Significant());
    EXPECT_FALSE(LikelihoodRatio(-100, -102, 2).Significant());
}

TEST(SeasonStatisticsTest, ReliabilityBinsTakeTheirLowerEdgeAndTheLastTakes100) {
    const std::vector<TPrediction> predictions = {{0.0, false}, {0.0499, true}, {0.05, false},
                                                  {0.1, true},  {0.2, false},   {0.25, true},
                                                  {0.3, false}, {0.5, true},    {1.0, true}};
    struct TBin {
        double lower, upper;
        int runners, wins;
        double meanPredicted;
    };
    const std::vector<TBin> expected = {{0, 0.05, 2, 1, 0.02495}, {0.05, 0.1, 1, 0, 0.05},
                                        {0.1, 0.2, 1, 1, 0.1},    {0.2, 0.3, 2, 1, 0.225},
                                        {0.3, 0.5, 1, 0, 0.3},    {0.5, 1.0, 2, 2, 0.75}};
    const std::vector<TReliabilityBin> bins = ReliabilityTable(predictions);
    ASSERT_EQ(bins.size(), expected.size());
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const TBin& e = expected[i];
        EXPECT_EQ(std::tuple(bins[i].lower, bins[i].upper, bins[i].runners, bins[i].wins),
                  std::tuple(e.lower, e.upper, e.runners, e.wins));
        EXPECT_NEAR(bins[i].meanPredicted, e.meanPredicted, 1e-12) << i;
        EXPECT_DOUBLE_EQ(bins[i].winRate, static_cast<double>(e.wins) / e.runners) << i;
        EXPECT_EQ(bins[i].winRateInterval->high, WilsonInterval(e.wins, e.runners)->high) << i;
    }
    EXPECT_FALSE(ReliabilityTable({})[0].winRateInterval);
}

TEST(SeasonStatisticsTest, FitsRecoverTheModelTheRacesWereDrawnFrom) {
    struct TCase {
        const char* name;
        TLogitModel model;
        TTruth truth;
        std::array<bool, logitTerm::kCount> fitted;
    };
    // α and β are met within 10% where fitted, γ within 0.25 (its error is larger)
    for (const TCase& c : {
             TCase{"score only", TLogitModel::Program, {{0, 0.15, 0}, 0}, {false, true, false}},
             TCase{"some runners without a score",
                   TLogitModel::Program,
                   {{0, 0.15, -1.0}, 0.2},
                   {false, true, true}},
             TCase{"blend", TLogitModel::Blend, kBlendTruth, {true, true, false}},
         }) {
        const std::vector<TLogitRace> races = drawRaces(c.truth, 5000, 7);
        const TLogitFit fit = FitLogit(races, c.model);
        EXPECT_TRUE(fit.converged) << c.name;
        EXPECT_LE(fit.iterations, 10) << c.name;
        EXPECT_EQ(fit.evaluation.races, 5000) << c.name;
        EXPECT_EQ(fit.fitted, c.fitted) << c.name;
        const std::array<double, logitTerm::kCount>& truth = c.truth.coefficients;
        for (std::size_t t = 0; t < logitTerm::kCount; ++t) {
            if (!c.fitted[t])
                EXPECT_EQ(fit.coefficients[t], 0) << c.name << " term " << t;
            else if (t == logitTerm::kNoScore)
                EXPECT_NEAR(fit.coefficients[t], truth[t], 0.25) << c.name;
            else
                EXPECT_NEAR(fit.coefficients[t], truth[t], 0.1 * truth[t]) << c.name << " " << t;
        }
    }
}

TEST(SeasonStatisticsTest, TheBlendBeatsTheMarketWhereTheScoreKnowsMore) {
    const std::vector<TLogitRace> earlier = drawRaces(kBlendTruth, 3000, 11);
    const std::vector<TLogitRace> later = drawRaces(kBlendTruth, 3000, 12);
    const TLogitFit blend = FitLogit(earlier, TLogitModel::Blend);
    const TLogitFit market = FitLogit(earlier, TLogitModel::Market);
    EXPECT_EQ(market.Parameters(), 0);
    EXPECT_EQ(market.coefficients[logitTerm::kLogMarket], 1);
    const TLikelihoodRatio gain = LikelihoodRatio(
        blend.evaluation.logLikelihood, market.evaluation.logLikelihood, blend.Parameters());
    EXPECT_EQ(gain.degreesOfFreedom, 2);
    EXPECT_TRUE(gain.Significant());
    const TLogitEvaluation blendLater = Evaluate(blend, later);
    const TLogitEvaluation marketLater = Evaluate(market, later);
    EXPECT_LT(blendLater.LogLoss(), marketLater.LogLoss());
    EXPECT_LT(marketLater.LogLoss(), marketLater.UniformLogLoss());
    EXPECT_GT(blendLater.McFaddenR2(), marketLater.McFaddenR2());
}

TEST(SeasonStatisticsTest, LogLossIsTheMeanOfMinusLogPOfTheWinnerWorkedByHand) {
    TLogitFit program;
    program.model = TLogitModel::Program;
    program.coefficients = {0, 0.5, -1.0};
    TLogitFit market;
    market.model = TLogitModel::Market;
    market.coefficients = {1, 0, 0};
    const std::vector<TLogitRace> races = {
        // utilities −5, 0, 5 by the scores taken from their mean 70; p(winner) = 1/(e⁻⁵+1+e⁵)
        {{{60, 0.5}, {70, 0.25}, {80, 0.25}}, 1},
        // 0 and γ = −1; p(winner) = e⁻¹/(1+e⁻¹); no odds for the second: no market price
        {{{50, 0.5}, {std::nullopt, 0}}, 1},
        {{{55, 1.0}}, 0},             // one runner: nothing to tell
        {{{55, 0.5}, {60, 0.5}}, 2}}; // no such winner
    struct TCase {
        const TLogitFit& fit;
        int races;
        double logLoss, uniformLogLoss;
    };
    for (const TCase& c : {TCase{program, 2, 3.160011065532672, 0.8958797346140275},
                           TCase{market, 1, std::log(4.0), std::log(3.0)}}) {
        const TLogitEvaluation evaluation = Evaluate(c.fit, races);
        EXPECT_EQ(evaluation.races, c.races);
        EXPECT_NEAR(evaluation.LogLoss(), c.logLoss, 1e-12);
        EXPECT_NEAR(evaluation.UniformLogLoss(), c.uniformLogLoss, 1e-12);
        EXPECT_NEAR(evaluation.McFaddenR2(), 1 - c.logLoss / c.uniformLogLoss, 1e-12);
    }
    const std::vector<double> p = WinProbabilities(program, races[1]);
    EXPECT_NEAR(p.at(0), 0.7310585786300049, 1e-12);
    EXPECT_NEAR(p.at(1), 0.2689414213699951, 1e-12);
    EXPECT_TRUE(WinProbabilities(market, races[1]).empty());
}
