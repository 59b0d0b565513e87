// The season statistics over a long season of 18,000 races: the paired bootstrap of two
// strategies' returns (goal: well under 0.3 s) and the three conditional logit fits.
#include "BenchTimer.h"

#include "ledger/ConditionalLogit.h"
#include "ledger/SeasonStatistics.h"

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kRaces = 18000;

std::vector<TPairedRace> season(std::mt19937_64& engine) {
    std::bernoulli_distribution hitA(0.08);
    std::bernoulli_distribution hitB(0.3);
    std::vector<TPairedRace> races(kRaces);
    for (TPairedRace& race : races)
        race = {600, hitA(engine) ? 1200 : 0, 100, hitB(engine) ? 250 : 0};
    return races;
}

// Fields of 8 to 16 with scores ~ N(70, 10), odds from a noisy view of the same score.
std::vector<TLogitRace> fields(std::mt19937_64& engine) {
    std::uniform_int_distribution<int> size(8, 16);
    std::normal_distribution<double> score(70, 10);
    std::normal_distribution<double> noise(0, 1);
    std::vector<TLogitRace> races(kRaces);
    for (TLogitRace& race : races) {
        std::vector<float> odds;
        std::vector<double> strength;
        for (int i = size(engine); i > 0; --i) {
            const double s = score(engine);
            race.runners.push_back({s, 0});
            odds.push_back(static_cast<float>(std::exp(-0.1 * s + noise(engine)) * 2000));
            strength.push_back(std::exp(0.12 * s));
        }
        const std::vector<double> q = MarketProbabilities(odds);
        for (std::size_t i = 0; i < q.size(); ++i)
            race.runners[i].marketProbability = q[i];
        race.winner =
            std::discrete_distribution<std::size_t>(strength.begin(), strength.end())(engine);
    }
    return races;
}

} // namespace

int main() {
    std::mt19937_64 engine(1);
    const std::vector<TPairedRace> bets = season(engine);
    benchmark("bootstrap: 2,000 resamples of 18,000 races", 10, [&] {
        if (!CompareReturns(bets))
            std::abort();
    });
    const std::vector<TLogitRace> races = fields(engine);
    for (const auto& [name, model] :
         {std::pair{"logit fit, program: 18,000 races", TLogitModel::Program},
          std::pair{"logit fit, market: 18,000 races", TLogitModel::Market},
          std::pair{"logit fit, blend: 18,000 races", TLogitModel::Blend}})
        benchmark(name, 10, [&] {
            if (!FitLogit(races, model).converged)
                std::abort();
        });
}
