#include "ledger/SeasonStatistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace {

constexpr double kZ95 = 1.96;
constexpr double kLowerQuantile = 0.025;
constexpr double kUpperQuantile = 0.975;
constexpr double kSignificance = 0.05;

// Draws from [0, n), 1 <= n < 2^32 (races), without bias (Lemire's multiply-and-reject), from
// both halves of each output of std::mt19937_64: std::uniform_int_distribution leaves its
// algorithm to each standard library, so its figures would differ between the check and
// the release build.
class TIndexDraws {
public:
    TIndexDraws(std::uint64_t seed, std::uint32_t n)
        : m_engine(seed), m_n(n), m_threshold((0u - n) % n) {}

    // Counts how often each of the n values is drawn in n draws (one resample); a half left
    // over at the end is not used.
    void Resample(std::vector<std::uint32_t>& counts) {
        std::fill(counts.begin(), counts.end(), 0u);
        std::size_t drawn = 0;
        while (drawn < m_n) {
            const std::uint64_t word = m_engine();
            for (int shift = 0; shift < 64 && drawn < m_n; shift += 32) {
                const std::uint64_t product = (word >> shift & 0xFFFFFFFFu) * m_n;
                if (static_cast<std::uint32_t>(product) >= m_threshold) {
                    ++counts[product >> 32];
                    ++drawn;
                }
            }
        }
    }

private:
    std::mt19937_64 m_engine;
    std::uint64_t m_n;
    std::uint32_t m_threshold; // 2^32 mod n: the low words to reject
};

double quantile(const std::vector<double>& sorted, double p) {
    const double h = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(h);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (h - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

double ratio(long long paid, long long stake) {
    return static_cast<double>(paid) / static_cast<double>(stake);
}

// The money of one strategy where it differs from another's (from nothing for the first),
// race by race, and its totals.
class TMoneyChange {
public:
    TMoneyChange(std::span<const TRaceMoney> races, std::span<const TRaceMoney> before) {
        for (std::size_t i = 0; i < races.size(); ++i) {
            total.stake += races[i].stake;
            total.paid += races[i].paid;
            const TRaceMoney was = i < before.size() ? before[i] : TRaceMoney{};
            if (races[i].stake != was.stake || races[i].paid != was.paid) {
                m_races.push_back(static_cast<std::uint32_t>(i));
                m_change.push_back({races[i].stake - was.stake, races[i].paid - was.paid});
            }
        }
    }

    // The sums of a resample that drew race i counts[i] times, from the other strategy's.
    TRaceMoney Weighted(const std::vector<std::uint32_t>& counts, TRaceMoney sum) const {
        for (std::size_t j = 0; j < m_races.size(); ++j) {
            const long long count = counts[m_races[j]];
            sum.stake += count * m_change[j].stake;
            sum.paid += count * m_change[j].paid;
        }
        return sum;
    }

    TRaceMoney total;

private:
    std::vector<std::uint32_t> m_races;
    std::vector<TRaceMoney> m_change;
};

// Lower edges of the reliability bins; the last bin runs to 100% inclusive.
constexpr std::array<double, 6> kBinLowerEdges = {0.0, 0.05, 0.10, 0.20, 0.30, 0.50};

} // namespace

std::optional<TInterval> WilsonInterval(int k, int n) {
    if (n <= 0)
        return std::nullopt;
    const double z2 = kZ95 * kZ95;
    const double wins = k;
    const double all = n;
    const double centre = (wins + z2 / 2) / (all + z2);
    const double half = kZ95 * std::sqrt(wins * (all - wins) / all + z2 / 4) / (all + z2);
    return TInterval{std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

std::optional<TReturnComparison> CompareReturns(std::span<const TPairedRace> races,
                                                std::uint64_t seed, int resamples) {
    std::vector<TRaceMoney> a, b;
    for (const TPairedRace& race : races) {
        a.push_back({race.stakeA, race.paidA});
        b.push_back({race.stakeB, race.paidB});
    }
    return CompareEachReturn(std::span(&a, 1), b, seed, resamples).front();
}

std::vector<std::optional<TReturnComparison>>
CompareEachReturn(std::span<const std::vector<TRaceMoney>> strategies,
                  std::span<const TRaceMoney> baseline, std::uint64_t seed, int resamples) {
    // The baseline from nothing, then each strategy as it differs from the one before: the
    // values of a sweep differ in few races, so a resample's sums cost little more each.
    const TMoneyChange base(baseline, {});
    std::vector<TMoneyChange> changes;
    for (std::size_t k = 0; k < strategies.size(); ++k)
        changes.emplace_back(
            std::span(strategies[k]).first(std::min(strategies[k].size(), baseline.size())),
            k == 0 ? baseline : std::span<const TRaceMoney>(strategies[k - 1]));

    std::vector<std::optional<TReturnComparison>> comparisons(strategies.size());
    std::vector<std::vector<double>> differences(strategies.size());
    for (std::size_t k = 0; k < strategies.size(); ++k) {
        const TMoneyChange& a = changes[k];
        if (a.total.stake <= 0 || base.total.stake <= 0)
            continue;
        TReturnComparison& c = comparisons[k].emplace();
        c.returnA = ratio(a.total.paid, a.total.stake);
        c.returnB = ratio(base.total.paid, base.total.stake);
        c.difference = c.returnA - c.returnB;
        differences[k].reserve(static_cast<std::size_t>(std::max(resamples, 0)));
    }
    if (baseline.empty() || std::none_of(comparisons.begin(), comparisons.end(),
                                         [](const auto& c) { return c.has_value(); }))
        return comparisons;

    // Sums of whole yen are exact in any order, so identical strategies give equal returns.
    TIndexDraws draws(seed, static_cast<std::uint32_t>(baseline.size()));
    std::vector<std::uint32_t> counts(baseline.size());
    for (int r = 0; r < resamples; ++r) {
        draws.Resample(counts);
        const TRaceMoney b = base.Weighted(counts, {});
        if (b.stake <= 0)
            continue;
        TRaceMoney a = b;
        for (std::size_t k = 0; k < strategies.size(); ++k) {
            a = changes[k].Weighted(counts, a);
            if (comparisons[k] && a.stake > 0)
                differences[k].push_back(ratio(a.paid, a.stake) - ratio(b.paid, b.stake));
        }
    }
    for (std::size_t k = 0; k < strategies.size(); ++k) {
        if (!comparisons[k])
            continue;
        std::vector<double>& d = differences[k];
        if (d.empty()) {
            comparisons[k].reset();
            continue;
        }
        std::sort(d.begin(), d.end());
        comparisons[k]->interval = {quantile(d, kLowerQuantile), quantile(d, kUpperQuantile)};
        comparisons[k]->resamples = static_cast<int>(d.size());
    }
    return comparisons;
}

std::vector<double> MarketProbabilities(std::span<const float> winOdds) {
    std::vector<double> q(winOdds.size(), 0.0);
    double sum = 0;
    for (std::size_t i = 0; i < winOdds.size(); ++i)
        if (winOdds[i] > 0) {
            q[i] = 1.0 / winOdds[i];
            sum += q[i];
        }
    if (sum > 0)
        for (double& p : q)
            p /= sum;
    return q;
}

// From 1 or 2 degrees of freedom upwards by Q(x; k + 2) = Q(x; k) + (x/2)^(k/2) e^(−x/2) /
// Γ(k/2 + 1): closed forms for every whole number of degrees of freedom.
double ChiSquaredSurvival(double x, int degreesOfFreedom) {
    if (x <= 0)
        return 1;
    const double half = x / 2;
    const bool odd = degreesOfFreedom % 2 == 1;
    double survival = odd ? std::erfc(std::sqrt(half)) : std::exp(-half);
    for (int k = odd ? 1 : 2; k + 2 <= degreesOfFreedom; k += 2)
        survival += std::pow(half, k / 2.0) * std::exp(-half) / std::tgamma(k / 2.0 + 1);
    return survival;
}

double ChiSquaredCritical(int degreesOfFreedom) {
    double low = 0;
    double high = 1;
    while (ChiSquaredSurvival(high, degreesOfFreedom) > kSignificance)
        high *= 2;
    for (int i = 0; i < 100; ++i) {
        const double middle = (low + high) / 2;
        (ChiSquaredSurvival(middle, degreesOfFreedom) > kSignificance ? low : high) = middle;
    }
    return (low + high) / 2;
}

TLikelihoodRatio LikelihoodRatio(double logLikelihoodFull, double logLikelihoodNested,
                                 int degreesOfFreedom) {
    TLikelihoodRatio test;
    test.statistic = 2 * (logLikelihoodFull - logLikelihoodNested);
    test.degreesOfFreedom = degreesOfFreedom;
    test.critical = ChiSquaredCritical(degreesOfFreedom);
    test.pValue = ChiSquaredSurvival(test.statistic, degreesOfFreedom);
    return test;
}

std::vector<TReliabilityBin> ReliabilityTable(std::span<const TPrediction> predictions) {
    std::vector<TReliabilityBin> bins(kBinLowerEdges.size());
    for (std::size_t i = 0; i < bins.size(); ++i) {
        bins[i].lower = kBinLowerEdges[i];
        bins[i].upper = i + 1 < bins.size() ? kBinLowerEdges[i + 1] : 1.0;
    }
    for (const TPrediction& prediction : predictions) {
        // the last lower edge not above p: lower edges inclusive, upper edges exclusive
        const auto above = std::upper_bound(kBinLowerEdges.begin() + 1, kBinLowerEdges.end(),
                                            prediction.probability);
        TReliabilityBin& bin = bins[static_cast<std::size_t>(above - kBinLowerEdges.begin() - 1)];
        ++bin.runners;
        bin.meanPredicted += prediction.probability;
        bin.wins += prediction.won ? 1 : 0;
    }
    for (TReliabilityBin& bin : bins)
        if (bin.runners > 0) {
            bin.meanPredicted /= bin.runners;
            bin.winRate = static_cast<double>(bin.wins) / bin.runners;
            bin.winRateInterval = WilsonInterval(bin.wins, bin.runners);
        }
    return bins;
}
