#include "analysis/Explanation.h"

#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "race/RaceCode.h"
#include "race/RaceHelpers.h"

#include <iterator>
#include <utility>
#include <vector>

namespace {

const char* const kCellNames[TFocus::kCells] = {"前走", "2走前", "3走前", "4走前", "5走前"};

// What a status label means, by status code.
const char* const kStatusMeanings[] = {
    "",
    "過去の走がないか、使えない結果",
    "地方競馬の競走",
    "海外の競走",
    "騎手が落馬",
    "競走を中止",
    "出走を取り消した",
    "競走から除外された",
    "障害競走",
    "失格",
};
static_assert(std::size(kStatusMeanings) == kRunNotEvaluated);

// The apprentice allowance marks, by the kilograms they take off: 1, 2 and 3.
const char* const kAllowanceMarks[] = {"☆", "△", "▲"};

// A figure or score with the given decimals: one, unless more must tell compared values
// apart.
std::string valueText(float value, int decimals = 1) {
    return Format("%.*f", decimals, static_cast<double>(value));
}

// The fewest decimals (one at least) at which value prints unlike every unequal other.
int decimalsApart(float value, const std::vector<float>& others) {
    constexpr int kMostDecimals = 9; // enough for any 32-bit value below a million
    int decimals = 1;
    for (const float other : others)
        while (decimals < kMostDecimals && other != value &&
               valueText(value, decimals) == valueText(other, decimals))
            ++decimals;
    return decimals;
}

// Two values that were compared, with the fewest decimals that tell them apart, so that
// unequal values never print alike.
std::pair<std::string, std::string> comparedTexts(float a, float b) {
    const int decimals = decimalsApart(a, {b});
    return {valueText(a, decimals), valueText(b, decimals)};
}

std::string tenthsText(double value) {
    return Format("%.1f", value);
}

// The relation of two compared values.
template <typename T> const char* relation(T a, T b) {
    return a < b ? "<" : (a > b ? ">" : "=");
}

// "a < b" of two 32-bit values that were compared.
std::string comparison(float a, float b) {
    const auto [x, y] = comparedTexts(a, b);
    return x + " " + relation(a, b) + " " + y;
}

std::string dateText(int yyyymmdd) {
    return Format("%04d/%02d/%02d", yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

// Tenths of a second as m:ss.s.
std::string tenthsTimeText(long long tenths) {
    return Format("%lld:%02lld.%lld", tenths / 600, tenths % 600 / 10, tenths % 10);
}

// A finishing time as the data writes it, MSSd: 1234 is 1:23.4.
std::string dataTimeText(int mssd) {
    return Format("%d:%02d.%d", mssd / 1000, mssd / 10 % 100, mssd % 10);
}

std::string weightText(int tenths) {
    return Format("%d.%dkg", tenths / 10, tenths % 10);
}

const std::string& surfaceText(bool dirt) {
    return sjis(dirt ? "ダート" : "芝");
}

// The venue of a one-digit course code (the racecourse number modulo 10).
std::string venueText(int course) {
    if (course < 0 || course > 9)
        return Format(sjis("場%d").c_str(), course);
    const int code = RacecourseToCourse[static_cast<std::size_t>(course)];
    return LookupCode(Format("%.2d", code), VenueTable());
}

std::string trimmedRight(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    return text;
}

std::string line(const std::string& text) {
    return text + "\n";
}

// One step of the figure's sum and the running total after it.
std::string sumLine(const std::string& step, double total) {
    return line(step + sjis(" → ") + tenthsText(total));
}

} // namespace

TExplanation::TExplanation(const TRaceBase& race, const TFocus& focus)
    : m_n(focus.RunnerCount()), m_betSteps(focus.BetSteps()), m_betCount(focus.BetCount()) {
    for (int a = 0; a < m_n; ++a) {
        TRunner& r = m_runners[static_cast<std::size_t>(a)];
        const int runner = a + 1;
        r.name = trimmedRight(race.HorseName(a));
        r.weight = race.WeightText(a);
        r.allowanceMark = race.AllowanceMark(a);
        r.serviceMark = race.ServiceMark(a);
        r.score = focus.RunnerScore(runner);
        r.steps = focus.RunnerSteps(runner);
        for (int j = 0; j < TFocus::kCells; ++j) {
            const auto cell = static_cast<std::size_t>(j);
            r.cellTexts[cell] = focus.FigureText(runner, j);
            const std::uint8_t status = r.score.cells[cell].status;
            if (status != kRunUsable && status != kRunNone && status != kRunNotEvaluated)
                r.pastRaces[cell] = {race.PastRunDate(a, j), race.PastRunDistance(a, j)};
        }
    }
    for (int i = 0; i < m_betCount; ++i)
        m_bets[static_cast<std::size_t>(i)] = focus.BetPair(i);
}

std::string TExplanation::heading(int runner) const {
    const std::string& name = m_runners[static_cast<std::size_t>(runner - 1)].name;
    return Format(sjis("%d番").c_str(), runner) + (name.empty() ? "" : " " + name);
}

int TExplanation::rankedRunner(int rank) const {
    for (int a = 0; rank > 0 && a < m_n; ++a)
        if (m_runners[static_cast<std::size_t>(a)].score.rank == rank)
            return a + 1;
    return 0;
}

std::string TExplanation::Figure(int runner, int cell) const {
    if (!isRunner(runner) || cell < 0 || cell >= TFocus::kCells)
        return {};
    const TRunner& r = m_runners[static_cast<std::size_t>(runner - 1)];
    const auto at = static_cast<std::size_t>(cell);
    const TFigureCell& c = r.score.cells[at];
    std::string text =
        line(heading(runner) + "  " + sjis(kCellNames[cell]) + " " + r.cellTexts[at]);

    if (c.status != kRunUsable && c.status != kRunNotEvaluated) {
        const TPastRace& past = r.pastRaces[at];
        std::string race;
        if (past.date != 0)
            race += dateText(past.date) + " ";
        if (past.distance != 0)
            race += Format("%dm  ", past.distance);
        return text +
               line(race + PastRunStatusText()[c.status] + ": " + sjis(kStatusMeanings[c.status])) +
               line(sjis("指数なし: 評価点に入らない"));
    }

    const TSemSteps& st = r.steps.cells[at];
    text += line(dateText(st.date) + " " + venueText(st.course) + " " + surfaceText(st.dirt) +
                 Format(sjis(" %dm  走破 %s  斤量 %s").c_str(), st.distance,
                        dataTimeText(st.time).c_str(), weightText(st.weight).c_str()));
    const std::string noFigure = line(sjis("指数を出せない: 表示 XXX、評価点に入らない"));

    const std::string distanceKey =
        Format(sjis("キー %d (%d ÷ 100)").c_str(), st.distanceKey, st.distance);
    if (!st.factorFound)
        return text +
               line(sjis("距離係数   タイムデータに") + distanceKey + sjis(" の距離係数がない")) +
               noFigure;
    if (st.factor == 0)
        return text + line(sjis("距離係数   ") + distanceKey + sjis(" の距離係数が 0")) + noFigure;
    text += line(Format(sjis("距離係数   f = %-9d ").c_str(), st.factor) + distanceKey);

    const std::string timeKey =
        Format(sjis("キー %d (%d ÷ 10 + 場 %d)").c_str(), st.timeKey, st.distance, st.course);
    if (!st.standardFound)
        return text +
               line(sjis("基準タイム タイムデータに") + timeKey + sjis(" の基準タイムがない")) +
               noFigure;
    if (st.standard == 0)
        return text +
               line(sjis("基準タイム ") + timeKey + " " + surfaceText(st.dirt) +
                    sjis(" の基準タイムが 0")) +
               noFigure;
    text += line(Format(sjis("基準タイム s = %-9s ").c_str(), tenthsTimeText(st.standard).c_str()) +
                 timeKey + " " + surfaceText(st.dirt));

    const std::string dayKey =
        Format(sjis("キー %07d (%06d × 10 + 場 %d)").c_str(), st.dayKey, st.shortDate, st.course);
    if (!st.variantFound)
        text += line(sjis("馬場差     v = 0         タイムデータに") + dayKey +
                     sjis(" の馬場差がない"));
    else if (st.variantStored == TSem::kNoVariant)
        text += line(sjis("馬場差     v = 0         ") + dayKey + " " + surfaceText(st.dirt) +
                     sjis(" 999 (馬場差なし)"));
    else
        text += line(Format(sjis("馬場差     v = %-+9d ").c_str(), st.variant) + dayKey + " " +
                     surfaceText(st.dirt));
    text += line(Format(sjis("走破タイム t = %s = %lld (0.1秒)").c_str(),
                        dataTimeText(st.time).c_str(), static_cast<long long>(st.run)));

    text += line(Format(sjis("(s - t) × f ÷ 10 = (%d - %lld) × %d ÷ 10 = %s").c_str(), st.standard,
                        static_cast<long long>(st.run), st.factor, tenthsText(st.speed).c_str()));
    text += sumLine("+ 80", st.withBase);
    text += sumLine(Format("+ v (%+d)", st.variant), st.withVariant);
    text += sumLine(Format(sjis("+ (斤量 ÷ 10 - 55) × 2 = (%d ÷ 10 - 55) × 2 = %+.1f").c_str(),
                           st.weight, st.weightPoints),
                    st.unfloored);
    if (c.figure == 0 && st.unfloored < 0)
        text += line(
            Format(sjis("指数 %s は 0 未満なので 0.0").c_str(), tenthsText(st.unfloored).c_str()));
    else
        text += line(sjis("指数 ") + valueText(c.figure));
    std::string shown = Format(sjis("表示 %s: 四捨五入して %d").c_str(), r.cellTexts[at].c_str(),
                               RoundedFigure(c.figure));
    if (c.dirt)
        shown += sjis("、D はダート");
    if (c.top)
        shown += sjis("、+ はこのレースの直近3走で上位の指数");
    return text + line(shown);
}

// A figure cell as the grid shows it, then the figure it stands for.
std::string TExplanation::shownFigure(const TRunner& r, int cell) {
    const auto at = static_cast<std::size_t>(cell);
    if (r.score.cells[at].status != kRunUsable)
        return r.cellTexts[at] + sjis(" (指数なし)");
    return r.cellTexts[at] + " (" + valueText(r.score.cells[at].figure) + ")";
}

// The comparison that decided whether first and second were exchanged.
std::string TExplanation::exchangeReason() const {
    const TBetSteps& b = m_betSteps;
    std::string reason = Format(sjis("上位指数 %d %s %d").c_str(), b.topFlags[1],
                                relation(b.topFlags[1], b.topFlags[2]), b.topFlags[2]);
    if (b.topFlags[1] >= b.topFlags[2])
        reason += sjis("、前走 ") + comparison(b.lastFigure[1], b.lastFigure[2]);
    return reason;
}

std::string TExplanation::Score(int runner) const {
    if (!isRunner(runner))
        return {};
    const TRunner& r = m_runners[static_cast<std::size_t>(runner - 1)];
    const TRunnerScore& score = r.score;
    const TRunnerSteps& steps = r.steps;
    const std::string& mark = MarkSymbol(score.markPosition);
    std::string text =
        line(heading(runner) + sjis("  評価点 ") + valueText(score.score) + sjis("  順位 ") +
             (score.rank > 0 ? std::to_string(score.rank) : sjis("なし")) + sjis("  印 ") +
             (mark.empty() ? sjis("なし") : mark));

    if (steps.count == 0) {
        text += line(sjis("指数のある走がない: 評価点 0.0、順位なし"));
    } else {
        std::string figures;
        std::string good;
        std::vector<float> values;
        for (std::size_t j = 0; j < score.cells.size(); ++j) {
            if (score.cells[j].status != kRunUsable)
                continue;
            values.push_back(score.cells[j].figure);
            figures += (figures.empty() ? " " : sjis("、")) + sjis(kCellNames[j]) + " " +
                       shownFigure(r, static_cast<int>(j));
            if (steps.good[j])
                good += (good.empty() ? "" : " + ") + valueText(score.cells[j].figure);
        }
        text += line(Format(sjis("指数のある走 %d:").c_str(), steps.count) + figures);
        // as many decimals as tell the line from every figure it is compared with
        text += line(sjis("平均の 0.87: ") + valueText(steps.sum) +
                     Format(sjis(" ÷ %d × 0.87 = ").c_str(), steps.count) +
                     valueText(steps.threshold, decimalsApart(steps.threshold, values)));
        if (score.goodCount == 0)
            text += line(sjis("これを超える指数がない: 評価点 0.0、順位なし"));
        else
            text += line(Format(sjis("これを超える指数 %d: 評価点 = (").c_str(), score.goodCount) +
                         good + Format(sjis(") ÷ %d = ").c_str(), score.goodCount) +
                         valueText(score.score));
    }

    if (score.rank > 0) {
        std::string neighbours;
        for (int rank : {score.rank - 1, score.rank + 1}) {
            if (const int other = rankedRunner(rank)) {
                neighbours += neighbours.empty() ? sjis(": ") : " / ";
                const float otherScore = m_runners[static_cast<std::size_t>(other - 1)].score.score;
                neighbours += Format(sjis("%d位 %d番 ").c_str(), rank, other) +
                              comparedTexts(score.score, otherScore).second;
            }
        }
        text += line(
            Format(sjis("順位 %d (評価点の高い順、同点は馬番の大きい方が上)").c_str(), score.rank) +
            neighbours);
    } else if (score.score > 0) {
        text += line(sjis("順位なし: 順位は 9位まで"));
    }

    if (score.markPosition == 0) {
        if (score.rank > 0)
            text += line(sjis("印なし: 評価点のある馬が2頭未満"));
    } else if (mark.empty()) {
        text += line(Format(sjis("印の順 %d: 7位から下は記号なし").c_str(), score.markPosition));
    } else if (score.markPosition != score.rank) {
        text += line(Format(sjis("印 %s (印の順 %d): 順位 %d だが、1位と2位を入れ替えた").c_str(),
                            mark.c_str(), score.markPosition, score.rank));
        text += line(sjis("入れ替えの理由: ") + exchangeReason());
        text += line(sjis("(1位の上位指数が2位より少ないか、少なくなくても前走の指数が2位より低いと"
                          "入れ替える)"));
    } else {
        text += line(sjis("印 ") + mark + sjis(": 順位のまま"));
    }

    std::string pairs;
    for (int i = 0; i < m_betCount; ++i) {
        const TBetPair& pair = m_bets[static_cast<std::size_t>(i)];
        if (pair.lower == runner || pair.higher == runner)
            pairs += Format(" %d-%d", pair.lower, pair.higher);
    }
    if (!pairs.empty())
        text += line(sjis("買い目の組:") + pairs);
    return text;
}

std::string TExplanation::ScoreAndBets(int runner) const {
    const int rank =
        isRunner(runner) ? m_runners[static_cast<std::size_t>(runner - 1)].score.rank : 0;
    if (m_betSteps.twoRanked && (rank == 1 || rank == 2))
        return Score(runner) + "\n" + Bets();
    return Score(runner);
}

std::string TExplanation::Bets() const {
    if (m_n == 0)
        return {};
    const TBetSteps& b = m_betSteps;
    std::string text = line(sjis("買い目の決め方"));
    if (!b.twoRanked) {
        text += line(sjis("評価点のある馬が2頭未満: 印なし、見送り"));
    } else {
        for (int p = 1; p <= 2; ++p) {
            const TRunner& ranked = m_runners[static_cast<std::size_t>(b.runner[p] - 1)];
            text += line(Format(sjis("%d位 %d番  評価点 ").c_str(), p, b.runner[p]) +
                         valueText(b.score[p]) +
                         Format(sjis("  上位指数 %d  前走 ").c_str(), b.topFlags[p]) +
                         (ranked.score.cells[0].status == kRunUsable
                              ? shownFigure(ranked, 0)
                              : ranked.cellTexts[0] + sjis(" (指数なし、0.0 として比べる)")));
        }
        const int favourite = b.runner[b.exchanged ? 2 : 1];
        const int second = b.runner[b.exchanged ? 1 : 2];
        text += line(sjis(b.exchanged ? "入れ替え: " : "入れ替えなし: ") + exchangeReason() +
                     Format(sjis(" → ◎ %d番  ○ %d番").c_str(), favourite, second));
        text +=
            line(sjis("1位の評価点の 98% と2位: ") + valueText(b.score[1]) + " - " +
                 valueText(b.score[1]) + sjis(" × 0.02 = ") + comparison(b.margin, b.score[2]) +
                 sjis(b.clearLeader ? " → 抜けた1頭: ◎-○▲△×× と ○-▲" : " → 接戦: ◎○▲△ のボックス"));
        text += line(Format(sjis("評価点のある馬 %d/%d 頭: ").c_str(), b.scored, m_n) +
                     sjis(b.tooFewScored ? "3/4 未満なので見送り (印はそのまま)" : "3/4 以上"));
    }
    if (b.noBetRace)
        text += line(sjis("データが見送りとするレース: 見送り (印はそのまま)"));
    std::string bets = sjis(m_n > TFocus::kBracketFieldSize ? "馬番連勝" : "枠番連勝");
    for (int i = 0; i < m_betCount; ++i) {
        const TBetPair& pair = m_bets[static_cast<std::size_t>(i)];
        bets += Format(" %d-%d", pair.lower, pair.higher);
    }
    return text + line(sjis("買い目 ") + (m_betCount > 0 ? bets : sjis("見送り")));
}

std::string TExplanation::ServiceMark(int runner) const {
    if (!isRunner(runner))
        return {};
    const std::string& mark = m_runners[static_cast<std::size_t>(runner - 1)].serviceMark;
    return line(heading(runner) + sjis("  Ｑ ") + (mark.empty() ? sjis("なし") : mark)) +
           line(sjis(mark.empty() ? "Ｑ: RUV のデータに、この馬の予想印はない"
                                  : "Ｑ: RUV のデータに付いてくる予想印") +
                sjis(" (この予想の印は Ｐ の欄)"));
}

std::string TExplanation::Allowance(int runner) const {
    if (!isRunner(runner))
        return {};
    const TRunner& r = m_runners[static_cast<std::size_t>(runner - 1)];
    if (r.allowanceMark.empty())
        return {};
    std::string meaning = sjis(": 見習騎手の減量");
    for (std::size_t i = 0; i < std::size(kAllowanceMarks); ++i)
        if (r.allowanceMark == sjis(kAllowanceMarks[i]))
            meaning += Format(" %zukg", i + 1);
    return line(heading(runner) + sjis("  斤量 ") + r.weight + r.allowanceMark) +
           line(r.allowanceMark + meaning + sjis(" (☆ 1kg、△ 2kg、▲ 3kg)、斤量は減量した後の重さ"));
}
