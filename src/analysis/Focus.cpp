// TFocus: the program's prediction of one race: speed figures, scores, ranks, marks and bets.
#include "analysis/Focus.h"

#include "platform/Cp932.h"
#include "platform/Format.h"

#include <climits>
#include <utility>

namespace {

constexpr std::array<int, TFocus::kBetSlots> kBetStakes{20, 10, 10, 10, 10, 10};
constexpr int kWinStake = 10;
constexpr int kPlaceStake = 20;
constexpr int kFlaggedCells = 4; // top flags go to at least this many cells
constexpr int kTopFlagCells = 3; // only the last three races compete for them
constexpr const char* kLineEnd = "\r\n";

const TRunnerScore& emptyRunner() {
    static const TRunnerScore empty{};
    return empty;
}

const TRunnerSteps& emptySteps() {
    static const TRunnerSteps empty{};
    return empty;
}

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

} // namespace

const std::string& MarkSymbol(int position) {
    static const std::array<std::string, TFocus::kMarkPositions + 1> symbols{
        "", sjis("◎"), sjis("○"), sjis("▲"), sjis("△"), sjis("×"), sjis("×"), "", "", "",
    };
    if (position < 0 || position > TFocus::kMarkPositions)
        return emptyText();
    return symbols[static_cast<std::size_t>(position)];
}

int RoundedFigure(float figure) {
    const double rounded = static_cast<double>(figure) + 0.5;
    if (!(rounded > 0))
        return 0;
    if (rounded >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(rounded);
}

TFocus::TFocus(const std::string& timeFolder) : m_sem(timeFolder) {}

TFocus::TFocus(TSem sem, const TRule& rule) : m_sem(std::move(sem)), m_rule(rule) {}

void TFocus::Calc(const TRaceBase& race) {
    reset(race.RunnerCount());
    ReadFigures(race);
    predict(race.IsNoBetRace());
}

void TFocus::Predict(std::span<const std::array<TFigureCell, kCells>> cells, bool noBetRace) {
    reset(static_cast<int>(cells.size()));
    for (int a = 0; a < m_n; ++a) {
        for (int j = 0; j < kCells; ++j) {
            TFigureCell cell = cells[static_cast<std::size_t>(a)][static_cast<std::size_t>(j)];
            if (cell.status >= PastRunStatusText().size())
                cell.status = kRunNone;
            cell.top = false; // the ranking gives the top flags again
            if (cell.status != kRunUsable)
                cell.figure = 0;
            m_runners[a].cells[j] = cell;
        }
    }
    predict(noBetRace);
}

void TFocus::reset(int count) {
    for (auto& runner : m_runners) {
        runner = TRunnerScore{};
        for (auto& cell : runner.cells)
            cell.status = kRunNone;
    }
    m_runnerSteps.fill(TRunnerSteps{});
    m_betSteps = TBetSteps{};
    for (auto& bet : m_bets)
        bet.text.clear();
    m_betCount = 0;
    // The data source keeps to 18 runners; a count outside 0..18 is not trusted
    // with the runner table.
    m_n = count < 0 ? 0 : (count > kMaxRunners ? kMaxRunners : count);
}

void TFocus::predict(bool noBetRace) {
    AverageFigures();
    RankRunners();
    SelectMarksAndBets();
    m_betSteps.noBetRace = noBetRace;
    if (m_betSteps.noBetRace)
        m_betCount = 0;
}

void TFocus::ReadFigures(const TRaceBase& race) {
    for (int a = 0; a < m_n; ++a) {
        for (int j = 0; j < kCells; ++j) {
            TFigureCell& cell = m_runners[a].cells[j];
            std::uint8_t status = race.PastRunStatus(a, j);
            // a code without a label counts as a result that cannot be used
            if (status >= PastRunStatusText().size())
                status = kRunNone;
            cell.status = status;
            if (status != kRunUsable)
                continue;
            const bool dirt = race.PastRunOnDirt(a, j);
            m_sem.Date = race.PastRunDate(a, j);
            m_sem.Course = race.PastRunCourse(a, j);
            m_sem.Dirt = dirt ? 1 : 0;
            m_sem.Distance = race.PastRunDistance(a, j);
            m_sem.Time = race.PastRunTime(a, j);
            m_sem.Weight = race.PastRunWeight(a, j);
            cell.dirt = dirt;
            const bool evaluated = m_sem.CalcFigure();
            m_runnerSteps[a].cells[j] = m_sem.Steps();
            if (evaluated)
                cell.figure = m_sem.Figure();
            else
                cell.status = kRunNotEvaluated;
        }
    }
}

void TFocus::AverageFigures() {
    for (int a = 0; a < m_n; ++a) {
        TRunnerScore& runner = m_runners[a];
        TRunnerSteps& steps = m_runnerSteps[a];
        for (const auto& cell : runner.cells) {
            if (cell.status == kRunUsable) {
                steps.sum += cell.figure;
                ++steps.count;
            }
        }
        steps.threshold =
            steps.count > 0
                ? static_cast<float>(static_cast<double>(steps.sum) / steps.count * m_rule.good)
                : 0.0f;
        int good = 0;
        for (std::size_t j = 0; j < runner.cells.size(); ++j) {
            const TFigureCell& cell = runner.cells[j];
            steps.good[j] = cell.status == kRunUsable && cell.figure > steps.threshold;
            if (steps.good[j]) {
                steps.goodSum += cell.figure;
                ++good;
            }
        }
        runner.goodCount = good;
        if (good > 0)
            runner.score = steps.goodSum / static_cast<float>(good);
    }
}

void TFocus::RankRunners() {
    // Top flags: the best rounded figures of the last three races, level by level,
    // until at least four cells carry one; a tie on the last level flags all of it.
    auto largestBelow = [this](long long limit) {
        int largest = 0;
        for (int a = 0; a < m_n; ++a) {
            for (int j = 0; j < kTopFlagCells; ++j) {
                const TFigureCell& cell = m_runners[a].cells[j];
                if (cell.status != kRunUsable)
                    continue;
                const int rounded = RoundedFigure(cell.figure);
                if (rounded > largest && rounded < limit)
                    largest = rounded;
            }
        }
        return largest;
    };
    int level = largestBelow(LLONG_MAX);
    int flagged = 0;
    while (level > 0 && flagged < kFlaggedCells) {
        for (int a = 0; a < m_n; ++a) {
            for (int j = 0; j < kTopFlagCells; ++j) {
                TFigureCell& cell = m_runners[a].cells[j];
                if (cell.status == kRunUsable && RoundedFigure(cell.figure) == level) {
                    cell.top = true;
                    ++flagged;
                }
            }
        }
        level = largestBelow(level);
    }

    // Ranks by score, best first; among equal scores the higher runner number first.
    float best = 0;
    for (int a = 0; a < m_n; ++a)
        if (m_runners[a].score > best)
            best = m_runners[a].score;
    int position = 1;
    while (best > 0 && position <= kMarkPositions && position <= m_n) {
        float next = 0;
        for (int a = m_n - 1; a >= 0; --a) {
            const float score = m_runners[a].score;
            if (score == best) {
                m_runners[a].rank = position++;
                if (position > kMarkPositions || position > m_n)
                    break;
            } else if (score > next && score < best) {
                next = score;
            }
        }
        best = next;
    }
}

void TFocus::SelectMarksAndBets() {
    TBetSteps& steps = m_betSteps;
    std::array<int, kMarkPositions + 1> order{};
    for (int a = 0; a < m_n; ++a) {
        const TRunnerScore& runner = m_runners[a];
        if (runner.score != 0)
            ++steps.scored;
        const int p = runner.rank;
        if (p == 0)
            continue;
        order[p] = a + 1;
        if (p <= 2) {
            steps.runner[p] = a + 1;
            steps.score[p] = runner.score;
            steps.topFlags[p] = 0;
            for (const auto& cell : runner.cells)
                steps.topFlags[p] += cell.top ? 1 : 0;
            steps.lastFigure[p] = runner.cells[0].figure;
        }
    }
    if (order[2] == 0)
        return;
    steps.twoRanked = true;

    // ◎ goes to the one of the two best with more top figures, else the better last race.
    const auto& t = steps.topFlags;
    const auto& last = steps.lastFigure;
    steps.exchanged = t[1] < t[2] || (t[1] >= t[2] && last[1] < last[2]);
    if (steps.exchanged)
        std::swap(order[1], order[2]);

    const auto& s = steps.score;
    steps.margin =
        static_cast<float>(static_cast<double>(s[1]) - static_cast<double>(s[1]) * m_rule.margin);
    steps.clearLeader = steps.margin >= s[2];
    if (steps.clearLeader) {
        for (int p = 2; p <= 6 && p <= m_n; ++p)
            AddBet(order[1], order[p]);
        AddBet(order[2], order[3]);
    } else {
        static constexpr std::array<std::pair<int, int>, 6> kBoxPairs{
            {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}};
        for (const auto& [p, q] : kBoxPairs)
            if (p <= m_n && q <= m_n)
                AddBet(order[p], order[q]);
    }

    for (int p = 1; p <= kMarkPositions; ++p)
        if (order[p] != 0)
            m_runners[order[p] - 1].markPosition = p;

    steps.tooFewScored = static_cast<double>(steps.scored) / m_n < m_rule.scored;
    if (steps.tooFewScored)
        m_betCount = 0;
}

void TFocus::AddBet(int x, int y) {
    if (x == 0 || y == 0 || m_betCount >= kBetSlots)
        return;
    const int lower = x < y ? x : y;
    const int higher = x < y ? y : x;
    TBetSlot& slot = m_bets[m_betCount];
    slot.text = m_n > kBracketFieldSize ? Format("%2d-%2d", lower, higher)
                                        : Format("   %d%d", lower, higher);
    slot.pair = {lower, higher};
    ++m_betCount;
}

const std::string& TFocus::BetText(int i) const {
    if (i < 0 || i >= kBetSlots)
        return emptyText();
    return m_bets[i].text;
}

TBetPair TFocus::BetPair(int i) const {
    if (i < 0 || i >= kBetSlots)
        return {};
    return m_bets[i].pair;
}

const TRunnerScore& TFocus::RunnerScore(int runner) const {
    return isRunner(runner) ? m_runners[runner - 1] : emptyRunner();
}

const TRunnerSteps& TFocus::RunnerSteps(int runner) const {
    return isRunner(runner) ? m_runnerSteps[runner - 1] : emptySteps();
}

int TFocus::MarkNo(int runner) const {
    return RunnerScore(runner).markPosition;
}

const std::string& TFocus::MarkText(int runner) const {
    return MarkSymbol(MarkNo(runner));
}

std::string TFocus::FigureText(int runner, int cell) const {
    if (!isRunner(runner) || cell < 0 || cell >= kCells)
        return {};
    const TFigureCell& c = m_runners[runner - 1].cells[cell];
    if (c.status != kRunUsable)
        return PastRunStatusText()[c.status];
    std::string text;
    if (c.top)
        text += '+';
    if (c.dirt)
        text += 'D';
    return text + std::to_string(RoundedFigure(c.figure));
}

int TFocus::MarkedRunner(int position) const {
    for (int runner = 1; runner <= m_n; ++runner)
        if (m_runners[runner - 1].markPosition == position)
            return runner;
    return 0;
}

std::string TFocus::BetLines(std::uint8_t style) const {
    if (m_betCount == 0)
        return {};
    const bool old = style == 0;
    const int favourite = MarkedRunner(1);
    std::string lines;
    lines += (old ? "    " + sjis("単") + "    " : sjis("単勝") + "      ") +
             Format("%2d(%3d)", favourite, kWinStake) + kLineEnd;
    lines += (old ? "    " + sjis("複") + "    " : sjis("複勝") + "      ") +
             Format("%2d(%3d)", favourite, kPlaceStake) + kLineEnd;
    const bool byRunner = m_n > kBracketFieldSize;
    if (old)
        lines += "    " + sjis(byRunner ? "馬" : "枠");
    else
        lines += sjis(byRunner ? "馬連複" : "枠連複");
    for (int i = 0; i < m_betCount; ++i)
        lines +=
            Format(" %2d-%2d(%3d)", m_bets[i].pair.lower, m_bets[i].pair.higher, kBetStakes[i]);
    return lines + kLineEnd;
}

std::string TFocus::WarsBetLine() const {
    std::string line = Format("%2d", MarkedRunner(1));
    for (int i = 0; i < kBetSlots; ++i)
        line += i < m_betCount ? " " + m_bets[i].text : "      ";
    return line;
}
