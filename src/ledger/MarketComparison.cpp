#include "ledger/MarketComparison.h"

#include "ledger/LedgerRace.h"
#include "ledger/StoreLedger.h"

#include <algorithm>
#include <future>

std::vector<TMarketRace> MarketRaces(const TStoredRaces& stored) {
    std::vector<TMarketRace> races;
    races.reserve(stored.races.size());
    for (std::size_t i = 0; i < stored.races.size(); ++i) {
        const TLedgerRace& ledgerRace = stored.races[i];
        TMarketRace& race = races.emplace_back();
        race.date = ledgerRace.date;
        race.topMark = ledgerRace.marked[0];
        race.first = ledgerRace.First();
        race.settled = ledgerRace.Settled();
        race.runners.resize(ledgerRace.results.size());
        for (std::size_t k = 0; k < race.runners.size(); ++k)
            race.runners[k] = {stored.scores[i][k].score, stored.scores[i][k].winOdds,
                               ledgerRace.results[k]};
    }
    return races;
}

void TWinTally::Add(int result, float winOdds) {
    ++races;
    won += result == 1 ? 1 : 0;
    topTwo += result == 1 || result == 2 ? 1 : 0;
    topThree += result >= 1 && result <= 3 ? 1 : 0;
    stake += kTicketYen;
    if (result == 1 && winOdds > 0)
        paid += TicketReturn(winOdds);
}

const std::array<double, 5>& OddsBandEdges() {
    static const std::array<double, 5> edges{1.0, 2.0, 4.0, 7.0, 15.0};
    return edges;
}

namespace {

// A result the comparison can use: the runner ran and its place or fate is known.
bool known(int result) {
    return result != runResult::kUnknown && !runResult::IsRefunded(result);
}

// The runner with the lowest win odds, on a tie the lowest number; 0 when none has odds.
int favouriteOf(const TMarketRace& race) {
    int favourite = 0;
    float lowest = 0;
    for (std::size_t k = 0; k < race.runners.size(); ++k) {
        const float odds = race.runners[k].winOdds;
        if (odds > 0 && (favourite == 0 || odds < lowest)) {
            favourite = static_cast<int>(k) + 1;
            lowest = odds;
        }
    }
    return favourite;
}

const TMarketRunner& runnerOf(const TMarketRace& race, int number) {
    return race.runners[static_cast<std::size_t>(number - 1)];
}

// The pair's tallies and bootstrap; where ◎ is the favourite the two are one strategy, and
// the difference is exactly 0 with no resampling needed.
class TPairBuilder {
public:
    void Add(const TMarketRace& race, int favourite) {
        const TMarketRunner& f = runnerOf(race, favourite);
        const TMarketRunner& m = runnerOf(race, race.topMark);
        const long long paidBefore[2] = {m_pair.topMark.paid, m_pair.favourite.paid};
        m_pair.topMark.Add(m.result, m.winOdds);
        m_pair.favourite.Add(f.result, f.winOdds);
        m_races.push_back({kTicketYen, m_pair.topMark.paid - paidBefore[0], kTicketYen,
                           m_pair.favourite.paid - paidBefore[1]});
        m_identical = m_identical && favourite == race.topMark;
    }

    TMarketPair Finish() {
        if (m_identical && !m_races.empty()) {
            const double r = static_cast<double>(m_pair.topMark.paid) /
                             static_cast<double>(m_pair.topMark.stake);
            m_pair.difference = TReturnComparison{r, r, 0, {0, 0}, kBootstrapResamples};
        } else {
            m_pair.difference = CompareReturns(m_races);
        }
        return m_pair;
    }

private:
    TMarketPair m_pair;
    std::vector<TPairedRace> m_races;
    bool m_identical = true;
};

std::size_t bandOf(double odds) {
    const auto& edges = OddsBandEdges();
    const auto above = std::upper_bound(edges.begin(), edges.end(), odds);
    return above == edges.begin() ? 0 : static_cast<std::size_t>(above - edges.begin() - 1);
}

// The race's starters (not scratched or excluded) as the logit takes them; none when the
// winner is not among them.
std::optional<TLogitRace> logitRace(const TMarketRace& race, bool& allOdds) {
    TLogitRace logit;
    std::vector<float> odds;
    std::optional<std::size_t> winner;
    allOdds = true;
    for (std::size_t k = 0; k < race.runners.size(); ++k) {
        const TMarketRunner& runner = race.runners[k];
        if (runResult::IsRefunded(runner.result))
            continue;
        if (static_cast<int>(k) + 1 == race.first)
            winner = logit.runners.size();
        allOdds = allOdds && runner.winOdds > 0;
        logit.runners.push_back({runner.score, 0});
        odds.push_back(runner.winOdds);
    }
    if (!winner)
        return std::nullopt;
    logit.winner = *winner;
    const std::vector<double> q = MarketProbabilities(odds);
    for (std::size_t i = 0; i < q.size(); ++i)
        logit.runners[i].marketProbability = q[i];
    return logit;
}

// Each runner's probability by the model with whether it won.
template <typename Probabilities>
void predict(std::span<const TLogitRace> races, std::vector<TPrediction>& predictions,
             Probabilities probabilities) {
    for (const TLogitRace& race : races) {
        const std::vector<double> p = probabilities(race);
        for (std::size_t i = 0; i < p.size(); ++i)
            predictions.push_back({p[i], i == race.winner});
    }
}

std::vector<double> marketOf(const TLogitRace& race) {
    std::vector<double> q;
    for (const TLogitRunner& runner : race.runners)
        q.push_back(runner.marketProbability);
    return q;
}

TCalibration calibrate(std::span<const TMarketRace> races) {
    TCalibration c;
    std::vector<TLogitRace> fitted;
    for (const TMarketRace& race : races) {
        if (!race.settled)
            continue;
        bool allOdds = false;
        std::optional<TLogitRace> logit = logitRace(race, allOdds);
        if (!allOdds)
            ++c.withoutOdds;
        else if (logit && logit->runners.size() >= 2)
            fitted.push_back(std::move(*logit));
    }
    // the races come in date order: the earlier half first
    c.races = static_cast<int>(fitted.size());
    c.earlier = c.races / 2;
    c.later = c.races - c.earlier;
    const std::span<const TLogitRace> all(fitted);
    std::vector<TPrediction> market;
    if (!c.Enough()) {
        predict(all, market, marketOf);
        c.marketBins = ReliabilityTable(market);
        return c;
    }
    const auto earlier = all.first(static_cast<std::size_t>(c.earlier));
    const auto later = all.subspan(static_cast<std::size_t>(c.earlier));
    const TLogitFit marketFit = FitLogit(earlier, TLogitModel::Market);
    c.program = FitLogit(earlier, TLogitModel::Program);
    c.blend = FitLogit(earlier, TLogitModel::Blend);
    c.blendGain = LikelihoodRatio(c.blend.evaluation.logLikelihood,
                                  marketFit.evaluation.logLikelihood, c.blend.Parameters());
    const TLogitEvaluation marketLater = Evaluate(marketFit, later);
    c.uniformLoss = marketLater.UniformLogLoss();
    c.marketLoss = marketLater.LogLoss();
    c.programLoss = Evaluate(c.program, later).LogLoss();
    c.blendLoss = Evaluate(c.blend, later).LogLoss();
    std::vector<TPrediction> program;
    predict(later, program,
            [&c](const TLogitRace& race) { return WinProbabilities(c.program, race); });
    predict(later, market, marketOf);
    c.programBins = ReliabilityTable(program);
    c.marketBins = ReliabilityTable(market);
    return c;
}

} // namespace

TMarketSection CompareWithMarket(std::span<const TMarketRace> races) {
    TMarketSection section;
    TPairBuilder all;
    TPairBuilder same;
    TPairBuilder other;
    section.bands.resize(OddsBandEdges().size());
    for (std::size_t b = 0; b < section.bands.size(); ++b) {
        section.bands[b].low = OddsBandEdges()[b];
        section.bands[b].high = b + 1 < section.bands.size() ? OddsBandEdges()[b + 1] : 0;
    }
    std::vector<double> impliedSums(section.bands.size(), 0.0);
    for (const TMarketRace& race : races) {
        const int favourite = favouriteOf(race);
        const int top = race.topMark;
        const int field = static_cast<int>(race.runners.size());
        if (!race.settled || favourite == 0 || top < 1 || top > field ||
            !known(runnerOf(race, top).result) || !known(runnerOf(race, favourite).result))
            continue;
        all.Add(race, favourite);
        (favourite == top ? same : other).Add(race, favourite);
        const TMarketRunner& mark = runnerOf(race, top);
        if (mark.winOdds <= 0)
            continue;
        std::vector<float> odds;
        for (const TMarketRunner& runner : race.runners)
            odds.push_back(runResult::IsRefunded(runner.result) ? 0.0f : runner.winOdds);
        TOddsBand& band = section.bands[bandOf(mark.winOdds)];
        ++band.races;
        band.wins += mark.result == 1 ? 1 : 0;
        impliedSums[bandOf(mark.winOdds)] +=
            MarketProbabilities(odds)[static_cast<std::size_t>(top - 1)];
    }
    for (std::size_t b = 0; b < section.bands.size(); ++b)
        if (section.bands[b].races > 0)
            section.bands[b].implied = impliedSums[b] / section.bands[b].races;
    // the two bootstraps and the fits are apart from each other: one of them on a thread of
    // its own, which changes no figure
    std::future<TMarketPair> allPair =
        std::async(std::launch::async, [&all] { return all.Finish(); });
    section.same = same.Finish();
    section.other = other.Finish();
    section.calibration = calibrate(races);
    section.all = allPair.get();
    return section;
}
