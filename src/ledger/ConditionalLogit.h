#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The program's score and the market's odds as win probabilities: a conditional logit over
// the runners of each race. Runner i has the utility
//     u_i = α·log q_i + β·(s_i − race mean) + γ·[no score]
// where s_i is its score (the race mean taken over the runners with a score; a runner
// without one counts as the mean, so γ is its utility beside a runner of the mean score),
// and q_i its market probability. p_i = exp(u_i) / Σ_j exp(u_j).

struct TLogitRunner {
    std::optional<double> score;  // none: the program gave it no score
    double marketProbability = 0; // q from MarketProbabilities; 0: no odds
};

// The runners that ran (not 取消 or 除外) and the one that won. In a dead heat the caller
// passes the lower runner number, as the ledger's First does.
struct TLogitRace {
    std::vector<TLogitRunner> runners;
    std::size_t winner = 0; // index into runners
};

enum class TLogitModel {
    Program, // β and γ: the score alone
    Market,  // α = 1, nothing fitted: q itself
    Blend,   // α, β and γ (Benter 1994); nests both others
};

namespace logitTerm {
constexpr std::size_t kLogMarket = 0; // α
constexpr std::size_t kScore = 1;     // β, per score point
constexpr std::size_t kNoScore = 2;   // γ
constexpr std::size_t kCount = 3;
} // namespace logitTerm

// How well a model's probabilities foretold a set of races.
struct TLogitEvaluation {
    int races = 0;                   // the races the model could price (see FitLogit)
    double logLikelihood = 0;        // Σ_r log p(winner_r)
    double uniformLogLikelihood = 0; // the same with p = 1 / field size

    // −L / races: the mean log-loss per race; 0 without races.
    double LogLoss() const;
    // The mean of log(field size): the log-loss of knowing nothing.
    double UniformLogLoss() const;
    // McFadden's R² against the uniform model: 1 − L / L_uniform; 0 without races.
    double McFaddenR2() const;
};

struct TLogitFit {
    TLogitModel model = TLogitModel::Program;
    // By logitTerm. A term outside the model stays 0 (the market's α is 1). So does a term
    // that the races cannot tell apart from the others: one that never varies within a
    // race (γ when every runner has a score) or follows from the terms before it. Such a
    // term is left out of the fit, not fitted to a singular Hessian.
    std::array<double, logitTerm::kCount> coefficients{};
    std::array<bool, logitTerm::kCount> fitted{};
    bool converged = false;
    int iterations = 0;          // Newton steps taken
    TLogitEvaluation evaluation; // on the races it was fitted on

    // The terms fitted: the degrees of freedom of a likelihood-ratio test against the market.
    int Parameters() const;
};

// The maximum-likelihood fit by Newton's method from θ = 0, the step halved while the
// log-likelihood does not rise; converged when the expected gain of a step (half the Newton
// decrement) falls below 1e-10 of max(1, |L|), not converged when 50 steps, or 40 halvings
// of one step, do not get there (the winners follow the terms without fail). Races with one runner
// or none, or whose winner index is out of range, tell nothing and are left out; so are races in
// which a runner lacks a market probability for the models that use q. evaluation.races counts the
// races used.
TLogitFit FitLogit(std::span<const TLogitRace> races, TLogitModel model);

// The fitted model on other races (the later half of a season), with the same rules for
// which races count.
TLogitEvaluation Evaluate(const TLogitFit& fit, std::span<const TLogitRace> races);

// The win probability of each runner of the race by the fitted model; empty for a race
// the model cannot price.
std::vector<double> WinProbabilities(const TLogitFit& fit, const TLogitRace& race);
