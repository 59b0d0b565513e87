// TFocus: the program's prediction of one race: speed figures, scores, ranks, marks and bets.
#pragma once

#include "analysis/Rule.h"
#include "analysis/Sem.h"
#include "race/RaceBase.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

// One past race of a runner as the prediction sees it.
struct TFigureCell {
    float figure = 0;        // never negative; 0 when there is none
    std::uint8_t status = 0; // a TPastRunStatus; kRunNotEvaluated when time.dbx could not
    bool dirt = false;       // not run on turf
    bool top = false;        // one of the race's top figures of the last three races
};

struct TRunnerScore {
    float score = 0;      // average of the good figures; 0 = no score
    int goodCount = 0;    // figures that entered the score
    int rank = 0;         // 1..9 by score; 0 = not ranked
    int markPosition = 0; // the rank after the exchange of first and second; 0 = no mark
    std::array<TFigureCell, 5> cells{}; // 0 = last race .. 4 = five races back
};

struct TBetPair {
    int lower = 0;
    int higher = 0;
};

// How Calc came to one runner's cells and score.
struct TRunnerSteps {
    std::array<TSemSteps, 5> cells{}; // of the cells the time database was asked about
    float sum = 0;                    // of the evaluated figures, in cell order
    int count = 0;                    // evaluated figures
    float threshold = 0;              // the rule's share of their mean: a good figure lies above it
    std::array<bool, 5> good{};       // the cell's figure is a good one
    float goodSum = 0;                // of the good figures
};

// How Calc chose the favourite and the bets. Index 1 and 2 are the runners ranked first
// and second, before their exchange. When fewer than two were ranked (twoRanked false)
// there are no marks and no bets, and only scored and noBetRace tell anything.
struct TBetSteps {
    bool twoRanked = false;
    std::array<int, 3> runner{};
    std::array<float, 3> score{};
    std::array<int, 3> topFlags{};     // cells with the top flag
    std::array<float, 3> lastFigure{}; // of the last race
    bool exchanged = false;            // the second became the favourite
    float margin = 0;                  // the best score less 2 per cent of it
    bool clearLeader = false;          // margin at or above the second score
    int scored = 0;                    // runners with a score
    bool tooFewScored = false;         // fewer than 3 in 4 runners scored: no bet
    bool noBetRace = false;            // the data marks the race as one without bets
};

// The symbol of a mark position: ◎ ○ ▲ △ × × for 1..6, empty otherwise (CP932).
const std::string& MarkSymbol(int position);

// A figure as shown and as compared for the top flags: the integer part of
// figure + 0.5, formed in double so that 0.49999997 stays 0.
int RoundedFigure(float figure);

// The program's own handicapper: speed figures of each runner's last five races,
// scores, ranks, the marks ◎ ○ ▲ △ × × and up to six quinella bets (bracket
// quinella in fields of at most 8) for the race selected in the race data source.
// Runner numbers are 1-based; accessors answer for the race of the last Calc and
// give 0 or an empty text for an index outside their range.
class TFocus {
public:
    static constexpr int kCells = 5;
    static constexpr int kBetSlots = 6;
    static constexpr int kMarkPositions = 9;
    static constexpr int kBracketFieldSize = 8; // up to this many runners, one per bracket

    // Loads the time database from timeFolder; its exceptions pass through.
    explicit TFocus(const std::string& timeFolder);
    // Over a time database already loaded, under a rule (the defaults unless given).
    explicit TFocus(TSem sem, const TRule& rule = {});

    // Recomputes everything for the race currently selected in race. Exceptions of
    // the race data source pass through.
    void Calc(const TRaceBase& race);
    // The same from cells already read (one array per runner, at most 18 runners): the
    // figures, statuses and dirt flags count; the top flags are given again.
    void Predict(std::span<const std::array<TFigureCell, kCells>> cells, bool noBetRace);

    int BetCount() const { return m_betCount; }
    // Defined below BetCount(); a no-bet decision keeps the texts.
    const std::string& BetText(int i) const;
    TBetPair BetPair(int i) const;
    int MarkNo(int runner) const;
    const std::string& MarkText(int runner) const;
    // The cell text: a status label, or "+" (top), "D" (dirt) and the rounded figure.
    std::string FigureText(int runner, int cell) const;
    // The lowest runner number with that mark position; 0 when there is none.
    int MarkedRunner(int position) const;
    // The bet block of the RUV text file, three lines ended by CR LF, or empty when
    // there is no bet. style 0 = old OVERS layout, other values the new one.
    std::string BetLines(std::uint8_t style) const;
    // The bet summary of the WARS file: the ◎ runner and six slots of six bytes.
    std::string WarsBetLine() const;

    // The runner count of the last Calc.
    int RunnerCount() const { return m_n; }
    const TRunnerScore& RunnerScore(int runner) const;
    const TRunnerSteps& RunnerSteps(int runner) const;
    const TBetSteps& BetSteps() const { return m_betSteps; }
    const TSem& Sem() const { return m_sem; }
    const TRule& Rule() const { return m_rule; }

private:
    struct TBetSlot {
        std::string text;
        TBetPair pair;
    };

    void reset(int runnerCount);
    void predict(bool noBetRace);
    void ReadFigures(const TRaceBase& race);
    void AverageFigures();
    void RankRunners();
    void SelectMarksAndBets();
    void AddBet(int x, int y);

    bool isRunner(int runner) const { return runner >= 1 && runner <= m_n; }

    TSem m_sem;
    TRule m_rule;
    int m_n = 0;
    std::array<TRunnerScore, kMaxRunners> m_runners{};
    std::array<TRunnerSteps, kMaxRunners> m_runnerSteps{};
    TBetSteps m_betSteps;
    std::array<TBetSlot, kBetSlots> m_bets{};
    int m_betCount = 0;
};
