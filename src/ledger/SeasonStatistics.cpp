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

    // Fills indices with draws; a half left over at the end is not used.
    void Fill(std::vector<std::uint32_t>& indices) {
        std::size_t filled = 0;
        while (filled < indices.size()) {
            const std::uint64_t word = m_engine();
            for (int shift = 0; shift < 64 && filled < indices.size(); shift += 32) {
                const std::uint64_t product = (word >> shift & 0xFFFFFFFFu) * m_n;
                if (static_cast<std::uint32_t>(product) >= m_threshold)
                    indices[filled++] = static_cast<std::uint32_t>(product >> 32);
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

void add(TPairedRace& sum, const TPairedRace& race) {
    sum.stakeA += race.stakeA;
    sum.paidA += race.paidA;
    sum.stakeB += race.stakeB;
    sum.paidB += race.paidB;
}

double ratio(long long paid, long long stake) {
    return static_cast<double>(paid) / static_cast<double>(stake);
}

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
    TPairedRace total;
    for (const TPairedRace& race : races)
        add(total, race);
    if (total.stakeA <= 0 || total.stakeB <= 0)
        return std::nullopt;
    TReturnComparison comparison;
    comparison.returnA = ratio(total.paidA, total.stakeA);
    comparison.returnB = ratio(total.paidB, total.stakeB);
    comparison.difference = comparison.returnA - comparison.returnB;

    // Sums of whole yen are exact in any order, so identical strategies give equal returns.
    TIndexDraws draws(seed, static_cast<std::uint32_t>(races.size()));
    std::vector<std::uint32_t> indices(races.size());
    std::vector<double> differences;
    differences.reserve(static_cast<std::size_t>(std::max(resamples, 0)));
    for (int b = 0; b < resamples; ++b) {
        draws.Fill(indices);
        TPairedRace sum;
        for (std::uint32_t i : indices)
            add(sum, races[i]);
        if (sum.stakeA > 0 && sum.stakeB > 0)
            differences.push_back(ratio(sum.paidA, sum.stakeA) - ratio(sum.paidB, sum.stakeB));
    }
    if (differences.empty())
        return std::nullopt;
    std::sort(differences.begin(), differences.end());
    comparison.interval = {quantile(differences, kLowerQuantile),
                           quantile(differences, kUpperQuantile)};
    comparison.resamples = static_cast<int>(differences.size());
    return comparison;
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
