#pragma once

#include "analysis/Focus.h"

#include <array>
#include <string>

class TRaceBase;

// The working of a prediction in words: where each figure cell, each score and the bets
// came from, told from the steps the prediction recorded while it computed them. Texts
// are CP932 lines ended by "\n", laid out for a fixed-pitch font (widths count bytes).
// It copies what it tells when it is made, so it stays whole after the race data source
// or the prediction move on to another race.
class TExplanation {
public:
    // Of no race: every text is empty.
    TExplanation() = default;
    // Of the last Calc of focus, for the race still selected in race. Reads only what
    // never fails: the horse names, weights and marks and, for races that gave no figure,
    // their date and distance.
    TExplanation(const TRaceBase& race, const TFocus& focus);

    int RunnerCount() const { return m_n; }
    // Runner number from 1, cell 0 (the last race) to 4; empty outside the race.
    std::string Figure(int runner, int cell) const;
    // The runner's score, rank and mark.
    std::string Score(int runner) const;
    // The score; for the two best ranked runners followed by the bets, whose choice
    // decided which of them is the favourite.
    std::string ScoreAndBets(int runner) const;
    // How the favourite and the bets were chosen, or why there is no bet.
    std::string Bets() const;
    // The data service's own mark, told apart from the prediction's.
    std::string ServiceMark(int runner) const;
    // The apprentice allowance the weight's mark stands for; empty without a mark.
    std::string Allowance(int runner) const;

private:
    // What the data gave of a race without a figure.
    struct TPastRace {
        int date = 0;
        int distance = 0;
    };
    struct TRunner {
        std::string name;
        std::string weight;        // as the data gives it, "52"
        std::string allowanceMark; // "▲", empty when none
        std::string serviceMark;
        TRunnerScore score;
        TRunnerSteps steps;
        std::array<std::string, TFocus::kCells> cellTexts;
        std::array<TPastRace, TFocus::kCells> pastRaces;
    };

    bool isRunner(int runner) const { return runner >= 1 && runner <= m_n; }
    std::string heading(int runner) const;
    int rankedRunner(int rank) const;
    static std::string shownFigure(const TRunner& r, int cell);
    std::string exchangeReason() const;

    int m_n = 0;
    std::array<TRunner, kMaxRunners> m_runners{};
    TBetSteps m_betSteps;
    std::array<TBetPair, TFocus::kBetSlots> m_bets{};
    int m_betCount = 0;
};
