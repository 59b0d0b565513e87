#include "ledger/ConditionalLogit.h"

#include <algorithm>
#include <cmath>

namespace {

using TTerms = std::array<double, logitTerm::kCount>;
using TMatrix = std::array<TTerms, logitTerm::kCount>;

constexpr int kMaxIterations = 50;
constexpr int kMaxHalvings = 40;
constexpr double kGainTolerance = 1e-10;  // of |L|
constexpr double kPivotTolerance = 1e-10; // of the term's own variance

bool usesMarket(TLogitModel model) {
    return model != TLogitModel::Program;
}

// The terms the model fits, in the order in which they are kept when the races cannot
// tell them apart.
std::vector<std::size_t> modelTerms(TLogitModel model) {
    switch (model) {
    case TLogitModel::Program: return {logitTerm::kScore, logitTerm::kNoScore};
    case TLogitModel::Market: return {};
    case TLogitModel::Blend: return {logitTerm::kLogMarket, logitTerm::kScore, logitTerm::kNoScore};
    }
    return {};
}

TTerms startingPoint(TLogitModel model) {
    TTerms theta{};
    if (model == TLogitModel::Market)
        theta[logitTerm::kLogMarket] = 1;
    return theta;
}

bool priceable(const TLogitRace& race, bool needsMarket) {
    return race.runners.size() >= 2 && race.winner < race.runners.size() &&
           (!needsMarket ||
            std::all_of(race.runners.begin(), race.runners.end(),
                        [](const TLogitRunner& runner) { return runner.marketProbability > 0; }));
}

// The race's runners as rows of terms. The score is taken from the race's mean, so the
// utilities stay near 0 and exp() never overflows.
void appendRows(const TLogitRace& race, std::vector<TTerms>& rows) {
    double sum = 0;
    int scored = 0;
    for (const TLogitRunner& runner : race.runners)
        if (runner.score) {
            sum += *runner.score;
            ++scored;
        }
    const double mean = scored > 0 ? sum / scored : 0;
    for (const TLogitRunner& runner : race.runners) {
        TTerms row{};
        row[logitTerm::kLogMarket] =
            runner.marketProbability > 0 ? std::log(runner.marketProbability) : 0;
        row[logitTerm::kScore] = runner.score ? *runner.score - mean : 0;
        row[logitTerm::kNoScore] = runner.score ? 0 : 1;
        rows.push_back(row);
    }
}

double dot(const TTerms& a, const TTerms& b) {
    double sum = 0;
    for (std::size_t t = 0; t < logitTerm::kCount; ++t)
        sum += a[t] * b[t];
    return sum;
}

// log Σ_j exp(u_j), with the utilities u_j = θ·x_j left in utilities.
double logPartition(std::span<const TTerms> rows, const TTerms& theta,
                    std::vector<double>& utilities) {
    utilities.resize(rows.size());
    double largest = -HUGE_VAL;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        utilities[j] = dot(theta, rows[j]);
        largest = std::max(largest, utilities[j]);
    }
    double sum = 0;
    for (double u : utilities)
        sum += std::exp(u - largest);
    return largest + std::log(sum);
}

// The priceable races, their runners' rows one after another.
struct TDesign {
    std::vector<TTerms> rows;
    std::vector<std::size_t> begin{0}; // race r's rows: [begin[r], begin[r + 1])
    std::vector<std::size_t> winner;   // index into rows

    TDesign(std::span<const TLogitRace> races, bool needsMarket) {
        for (const TLogitRace& race : races)
            if (priceable(race, needsMarket)) {
                winner.push_back(rows.size() + race.winner);
                appendRows(race, rows);
                begin.push_back(rows.size());
            }
    }
    std::size_t Races() const { return winner.size(); }
    std::span<const TTerms> Race(std::size_t r) const {
        return std::span(rows).subspan(begin[r], begin[r + 1] - begin[r]);
    }
};

// The log-likelihood with its gradient and its information matrix (the negative Hessian,
// Σ_r Cov_p(x)) at one θ.
struct TPoint {
    double logLikelihood = 0;
    double uniformLogLikelihood = 0;
    TTerms gradient{};
    TMatrix information{};
};

TPoint evaluateAt(const TDesign& design, const TTerms& theta) {
    TPoint point;
    std::vector<double> utilities;
    for (std::size_t r = 0; r < design.Races(); ++r) {
        const std::span<const TTerms> rows = design.Race(r);
        const double logZ = logPartition(rows, theta, utilities);
        const std::size_t winner = design.winner[r] - design.begin[r];
        point.logLikelihood += utilities[winner] - logZ;
        point.uniformLogLikelihood -= std::log(static_cast<double>(rows.size()));
        // Terms are taken from the race's first runner: the covariance is the same, and a
        // term that never varies within the race adds exactly nothing to it.
        TTerms mean{};
        TMatrix moment{};
        for (std::size_t j = 0; j < rows.size(); ++j) {
            const double p = std::exp(utilities[j] - logZ);
            for (std::size_t a = 0; a < logitTerm::kCount; ++a) {
                const double da = rows[j][a] - rows[0][a];
                mean[a] += p * da;
                for (std::size_t b = 0; b < logitTerm::kCount; ++b)
                    moment[a][b] += p * da * (rows[j][b] - rows[0][b]);
            }
        }
        for (std::size_t a = 0; a < logitTerm::kCount; ++a) {
            point.gradient[a] += rows[winner][a] - rows[0][a] - mean[a];
            for (std::size_t b = 0; b < logitTerm::kCount; ++b)
                point.information[a][b] += moment[a][b] - mean[a] * mean[b];
        }
    }
    return point;
}

// Cholesky factor of the information matrix restricted to terms; false when a pivot is
// not positive beyond rounding (the terms are not identifiable together).
bool cholesky(const TMatrix& information, const std::vector<std::size_t>& terms, TMatrix& factor) {
    for (std::size_t i = 0; i < terms.size(); ++i)
        for (std::size_t k = 0; k <= i; ++k) {
            double sum = information[terms[i]][terms[k]];
            for (std::size_t m = 0; m < k; ++m)
                sum -= factor[i][m] * factor[k][m];
            if (k < i) {
                factor[i][k] = sum / factor[k][k];
            } else {
                const double variance = information[terms[i]][terms[i]];
                if (!(sum > kPivotTolerance * variance))
                    return false;
                factor[i][i] = std::sqrt(sum);
            }
        }
    return true;
}

// The model's terms that the races tell apart: each in turn, kept when it adds something
// beyond the terms kept before it.
std::vector<std::size_t> identifiable(const TMatrix& information,
                                      const std::vector<std::size_t>& candidates) {
    std::vector<std::size_t> kept;
    TMatrix factor{};
    for (std::size_t term : candidates) {
        kept.push_back(term);
        if (!cholesky(information, kept, factor))
            kept.pop_back();
    }
    return kept;
}

// The Newton step: solves information · step = gradient over terms.
bool newtonStep(const TPoint& point, const std::vector<std::size_t>& terms, TTerms& step) {
    TMatrix factor{};
    if (!cholesky(point.information, terms, factor))
        return false;
    TTerms y{};
    for (std::size_t i = 0; i < terms.size(); ++i) {
        y[i] = point.gradient[terms[i]];
        for (std::size_t m = 0; m < i; ++m)
            y[i] -= factor[i][m] * y[m];
        y[i] /= factor[i][i];
    }
    step = {};
    for (std::size_t i = terms.size(); i-- > 0;) {
        double x = y[i];
        for (std::size_t m = i + 1; m < terms.size(); ++m)
            x -= factor[m][i] * step[terms[m]];
        step[terms[i]] = x / factor[i][i];
    }
    return true;
}

TLogitEvaluation evaluation(const TDesign& design, const TPoint& point) {
    return {static_cast<int>(design.Races()), point.logLikelihood, point.uniformLogLikelihood};
}

} // namespace

double TLogitEvaluation::LogLoss() const {
    return races > 0 ? -logLikelihood / races : 0;
}

double TLogitEvaluation::UniformLogLoss() const {
    return races > 0 ? -uniformLogLikelihood / races : 0;
}

double TLogitEvaluation::McFaddenR2() const {
    return races > 0 ? 1 - logLikelihood / uniformLogLikelihood : 0;
}

int TLogitFit::Parameters() const {
    return static_cast<int>(std::count(fitted.begin(), fitted.end(), true));
}

TLogitFit FitLogit(std::span<const TLogitRace> races, TLogitModel model) {
    const TDesign design(races, usesMarket(model));
    TTerms theta = startingPoint(model);
    TPoint at = evaluateAt(design, theta);
    const std::vector<std::size_t> terms = identifiable(at.information, modelTerms(model));
    TLogitFit fit;
    fit.model = model;
    while (fit.iterations < kMaxIterations) {
        TTerms step{};
        if (!newtonStep(at, terms, step))
            break;
        const double gain = dot(at.gradient, step) / 2;
        if (gain <= kGainTolerance * std::max(1.0, std::abs(at.logLikelihood))) {
            fit.converged = true;
            break;
        }
        bool rose = false;
        for (int halving = 0; halving < kMaxHalvings && !rose; ++halving) {
            TTerms trial = theta;
            for (std::size_t t : terms)
                trial[t] += step[t];
            TPoint next = evaluateAt(design, trial);
            if (next.logLikelihood > at.logLikelihood) {
                theta = trial;
                at = next;
                rose = true;
            }
            for (double& s : step)
                s /= 2;
        }
        if (!rose)
            break;
        ++fit.iterations;
    }
    fit.coefficients = theta;
    for (std::size_t t : terms)
        fit.fitted[t] = true;
    fit.evaluation = evaluation(design, at);
    return fit;
}

TLogitEvaluation Evaluate(const TLogitFit& fit, std::span<const TLogitRace> races) {
    const TDesign design(races, usesMarket(fit.model));
    return evaluation(design, evaluateAt(design, fit.coefficients));
}

std::vector<double> WinProbabilities(const TLogitFit& fit, const TLogitRace& race) {
    if (!priceable(race, usesMarket(fit.model)))
        return {};
    std::vector<TTerms> rows;
    appendRows(race, rows);
    std::vector<double> p;
    const double logZ = logPartition(rows, fit.coefficients, p);
    for (double& u : p)
        u = std::exp(u - logZ);
    return p;
}
