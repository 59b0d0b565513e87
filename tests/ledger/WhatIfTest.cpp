#include "ledger/WhatIf.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A row of a sweep: what the value's rule staked and got back, and its difference from the
// defaults (whose return is 80%) with the interval.
TSweepRow row(double value, long long paid, double low, double high) {
    TSweepRow r{value, {}};
    r.comparison.rule.stake = 1000;
    r.comparison.rule.paid = paid;
    r.comparison.defaults.stake = 1000;
    r.comparison.defaults.paid = 800;
    const double difference = (static_cast<double>(paid) - 800) / 1000;
    r.comparison.difference = TReturnComparison{0, 0, difference, {low, high}, 2000};
    return r;
}

// The y of the band's edge at x, the upper edge first in the polygon.
std::pair<double, double> bandAt(const TChartArea& band, double x) {
    std::vector<double> ys;
    for (const TChartPoint& p : band.points)
        if (p.x == x)
            ys.push_back(p.y);
    return {*std::min_element(ys.begin(), ys.end()), *std::max_element(ys.begin(), ys.end())};
}

} // namespace

// What a user reads off the chart: each value's return inside its band, the defaults' value
// marked where it lies, and the judged range as a line of its own.
TEST(WhatIfTest, TheSweepChartDrawsEachReturnInsideItsBandAndMarksTheDefault) {
    TWhatIf question{TRule{},
                     ParseSweep("margin=0:0.04:0.02"),
                     {20010106, 20010120},
                     TLedgerRange{20010121, 20010128}};
    TWhatIfAnswer answer;
    answer.sweep = {row(0, 700, -0.25, 0.05), row(0.02, 800, 0, 0), row(0.04, 1100, 0.1, 0.5)};
    answer.judgedSweep = {row(0, 600, -0.3, 0), row(0.02, 800, 0, 0), row(0.04, 900, -0.1, 0.3)};
    answer.judgeHasRaces = true;
    const TChart chart = SweepChart(question, answer);

    ASSERT_EQ(chart.areas.size(), 1u);
    std::vector<const TChartLine*> series;
    for (const TChartLine& line : chart.lines)
        if (line.width == 2)
            series.push_back(&line);
    ASSERT_EQ(series.size(), 2u); // the chosen range and the judged one
    ASSERT_EQ(series[0]->points.size(), 3u);
    for (const TChartPoint& p : series[0]->points) {
        const auto [top, bottom] = bandAt(chart.areas[0], p.x);
        EXPECT_LE(top, p.y + 1e-9) << p.x;
        EXPECT_GE(bottom, p.y - 1e-9) << p.x;
    }
    // the dashed line at the default margin 0.02 stands at the middle value's x
    const auto marker = std::find_if(chart.lines.begin(), chart.lines.end(), [](const auto& l) {
        return l.dashed && l.points.size() == 2 && l.points[0].x == l.points[1].x;
    });
    ASSERT_NE(marker, chart.lines.end());
    EXPECT_DOUBLE_EQ(marker->points[0].x, series[0]->points[1].x);
    EXPECT_TRUE(std::any_of(chart.texts.begin(), chart.texts.end(),
                            [](const TChartText& t) { return t.text == sjis("既定 0.02"); }));

    // without a sweep there is nothing to draw
    question.sweep.reset();
    EXPECT_TRUE(SweepChart(question, answer).lines.empty());
}
