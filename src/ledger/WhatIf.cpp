#include "ledger/WhatIf.h"

#include "ledger/SeasonReplay.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "season/SeasonFolder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kWidth = 720;
constexpr double kHeight = 310;
constexpr double kLeft = 80;
constexpr double kRight = 700;
constexpr double kTop = 40;
constexpr double kBottom = 250;

constexpr TRgb kInk = 0x333333;
constexpr TRgb kGridColor = 0xDDDDDD;
constexpr TRgb kBandColor = 0xF5D5D0;
constexpr TRgb kChosenColor = 0xC0392B;
constexpr TRgb kJudgedColor = 0x1F6FB2;
constexpr TRgb kDefaultColor = 0x7F8C8D;

double rate(const TBetTally& t) {
    return t.stake > 0 ? 100.0 * static_cast<double>(t.paid) / static_cast<double>(t.stake) : 0;
}

std::vector<TSweepRow> rows(const std::vector<double>& values,
                            std::vector<TRuleComparison> comparisons) {
    std::vector<TSweepRow> out;
    for (std::size_t i = 0; i < comparisons.size(); ++i)
        out.push_back({values[i], std::move(comparisons[i])});
    return out;
}

std::string rangeText(const TLedgerRange& range) {
    return (range.from ? DateText(range.from) : sjis("最初")) + sjis("～") +
           (range.to ? DateText(range.to) : sjis("最後"));
}

// A scale of values onto a span of pixels, with room at both ends.
struct TAxis {
    double low = 0;
    double high = 1;
    double from = 0;
    double to = 1;

    double operator()(double value) const {
        return high > low ? from + (to - from) * (value - low) / (high - low) : (from + to) / 2;
    }
};

} // namespace

void CheckJudgeRange(const TLedgerRange& chosen, const TLedgerRange& judge) {
    if (chosen.to == 0 || judge.from <= chosen.to || (judge.to != 0 && judge.from > judge.to))
        throw ERuleError(sjis("判定の期間は条件を選ぶ期間の終わりより後に始まり、始めが終わり以前"
                              "の期間にしてください"));
}

TWhatIfAnswer AnswerWhatIf(const TSeasonReplay& replay, const TWhatIf& question) {
    TWhatIfAnswer answer;
    const std::vector<TLedgerRace> defaults = replay.Races(TRule{}, question.chosen);
    if (question.rule != TRule{})
        answer.rule = CompareRule(replay.Races(question.rule, question.chosen), defaults);
    auto sweepOn = [&](const TLedgerRange& range, const std::vector<TLedgerRace>& base) {
        return rows(question.sweep->values,
                    CompareRules(replay.Replays(question.sweep->rules, range), base));
    };
    if (question.sweep)
        answer.sweep = sweepOn(question.chosen, defaults);
    if (question.judge) {
        const std::vector<TLedgerRace> judgedDefaults = replay.Races(TRule{}, *question.judge);
        answer.judgeHasRaces = !judgedDefaults.empty();
        if (question.sweep)
            answer.judgedSweep = sweepOn(*question.judge, judgedDefaults);
        else
            answer.judgedRule =
                CompareRule(replay.Races(question.rule, *question.judge), judgedDefaults);
    }
    return answer;
}

std::vector<std::string> WhatIfLines(const TWhatIf& question, const TWhatIfAnswer& answer,
                                     const std::string& note) {
    std::vector<std::string> lines;
    auto add = [&lines](std::vector<std::string> more) {
        lines.insert(lines.end(), more.begin(), more.end());
    };
    if (answer.rule)
        add(RuleComparisonLines(RuleText(question.rule), *answer.rule, note));
    if (question.sweep) {
        add(SweepLines(question.sweep->key, answer.sweep));
        lines.push_back(note);
    }
    if (question.judge) {
        lines.push_back(sjis("判定の期間 ") + rangeText(*question.judge) +
                        sjis(": 条件を選んだ期間のあとの開催日で確かめます"));
        if (!answer.judgeHasRaces)
            lines.push_back(sjis("判定の期間の開催日は成績データベースにありません"));
        if (question.sweep)
            add(SweepLines(question.sweep->key, answer.judgedSweep));
        else if (answer.judgedRule)
            add(RuleComparisonLines(RuleText(question.rule), *answer.judgedRule, note));
    }
    return lines;
}

TChart SweepChart(const TWhatIf& question, const TWhatIfAnswer& answer) {
    TChart chart{kWidth, kHeight, {}, {}, {}};
    if (!question.sweep || answer.sweep.empty())
        return chart;
    const std::string& key = question.sweep->key;
    const double defaultValue = RuleValue(TRule{}, key);
    const double defaultsRate = rate(answer.sweep.front().comparison.defaults);
    // the band: where each value's return lies, by the interval of its paired difference
    std::vector<TChartPoint> upper, lower;
    double low = std::min(100.0, defaultsRate);
    double high = std::max(100.0, defaultsRate);
    for (const auto* rows : {&answer.sweep, &answer.judgedSweep})
        for (const TSweepRow& row : *rows) {
            low = std::min(low, rate(row.comparison.rule));
            high = std::max(high, rate(row.comparison.rule));
        }
    for (const TSweepRow& row : answer.sweep)
        if (const auto& d = row.comparison.difference) {
            low = std::min(low, defaultsRate + 100 * d->interval.low);
            high = std::max(high, defaultsRate + 100 * d->interval.high);
        }
    const double step = std::max(5.0, NiceStep(high - low));
    low = std::floor(low / step) * step;
    high = std::max(low + step, std::ceil(high / step) * step);
    const double first = std::min(answer.sweep.front().value, defaultValue);
    const double last = std::max(answer.sweep.back().value, defaultValue);
    const TAxis x{first, last, kLeft + 10, kRight - 10};
    const TAxis y{low, high, kBottom, kTop};

    for (double value = low; value <= high + step / 2; value += step) {
        chart.lines.push_back({{{kLeft, y(value)}, {kRight, y(value)}}, kGridColor, 1, false});
        chart.texts.push_back(
            {{kLeft - 6, y(value) + 4}, Format("%g%%", value), TTextAnchor::End, kInk, false});
    }
    for (const TSweepRow& row : answer.sweep)
        if (const auto& d = row.comparison.difference) {
            upper.push_back({x(row.value), y(defaultsRate + 100 * d->interval.high)});
            lower.insert(lower.begin(), {x(row.value), y(defaultsRate + 100 * d->interval.low)});
        }
    if (!upper.empty()) {
        upper.insert(upper.end(), lower.begin(), lower.end());
        chart.areas.push_back({std::move(upper), kBandColor});
    }
    chart.lines.push_back(
        {{{kLeft, y(100)}, {kRight, y(100)}}, kInk, 1, true}); // a return equal to the stake
    chart.lines.push_back(
        {{{x(defaultValue), kTop}, {x(defaultValue), kBottom}}, kDefaultColor, 1, true});
    chart.texts.push_back({{x(defaultValue), kTop - 4},
                           sjis("既定 ") + Format("%g", defaultValue),
                           TTextAnchor::Middle,
                           kDefaultColor,
                           false});
    auto series = [&](const std::vector<TSweepRow>& rows, TRgb color) {
        TChartLine line{{}, color, 2, false};
        for (const TSweepRow& row : rows)
            if (row.comparison.rule.stake > 0)
                line.points.push_back({x(row.value), y(rate(row.comparison.rule))});
        if (line.points.size() == 1)
            line.points.push_back({line.points[0].x + 1, line.points[0].y});
        if (!line.points.empty())
            chart.lines.push_back(std::move(line));
    };
    series(answer.sweep, kChosenColor);
    series(answer.judgedSweep, kJudgedColor);
    chart.lines.push_back(
        {{{kLeft, kTop}, {kRight, kTop}, {kRight, kBottom}, {kLeft, kBottom}, {kLeft, kTop}},
         kInk,
         1,
         false});
    const std::size_t every = (answer.sweep.size() + 9) / 10;
    for (std::size_t i = 0; i < answer.sweep.size(); i += every)
        chart.texts.push_back({{x(answer.sweep[i].value), kBottom + 16},
                               Format("%g", answer.sweep[i].value),
                               TTextAnchor::Middle,
                               kInk,
                               false});
    chart.texts.push_back({{kLeft, 20}, sjis("回収率と ") + key, TTextAnchor::Start, kInk, true});
    chart.texts.push_back(
        {{kLeft, kBottom + 36},
         sjis("赤: 条件を選ぶ期間 ") + rangeText(question.chosen) +
             (question.judge ? sjis("　青: 判定の期間 ") + rangeText(*question.judge)
                             : std::string()),
         TTextAnchor::Start,
         kInk,
         false});
    chart.texts.push_back({{kLeft, kBottom + 52},
                           sjis("帯: 既定の条件との回収率の差の95%区間 (ペアのブートストラップ)"),
                           TTextAnchor::Start,
                           kInk,
                           false});
    return chart;
}
