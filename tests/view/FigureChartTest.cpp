#include "view/FigureChart.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A runner's races from the last back, as (date, figure); a figure of 0 is none.
TChartRunner runner(int number, std::vector<std::pair<int, float>> races) {
    TChartRunner r{number, "", {}};
    for (std::size_t cell = 0; cell < races.size(); ++cell)
        r.races[cell] = {races[cell].first, races[cell].second > 0, races[cell].second, false};
    return r;
}

} // namespace

// Whatever the figures and dates, every mark and the best score's line stay inside the
// plot area, and date labels never overlap.
TEST(FigureChart, EverythingStaysInsideThePlotArea) {
    const struct {
        const char* what;
        std::vector<TChartRunner> runners;
        float best;
    } charts[] = {
        {"one date only", {runner(1, {{20001206, 75}})}, 0},
        {"the best above every figure", {runner(2, {{20001206, 40}, {20001101, 55}})}, 118.4f},
        {"far apart over two years",
         {runner(3, {{20011224, 3}, {20010101, 160}}), runner(4, {{20000105, 88}})},
         102.3f},
        {"one without a figure", {runner(5, {{20001206, 0}}), runner(6, {{20001001, 92}})}, 97.f},
    };
    constexpr int kLeft = 30, kTop = 20, kWidth = 400, kHeight = 150;
    for (const auto& c : charts) {
        SCOPED_TRACE(c.what);
        TFigureChart chart(c.runners, c.best);
        chart.Layout(kLeft, kTop, kWidth, kHeight);
        ASSERT_FALSE(chart.Marks().empty());
        std::vector<std::pair<int, int>> points{{kLeft, chart.BestY().value_or(kTop)}};
        for (const TChartMark& mark : chart.Marks())
            points.emplace_back(mark.x, mark.y);
        for (const auto& [x, y] : points) {
            EXPECT_TRUE(x >= kLeft && x < kLeft + kWidth) << x;
            EXPECT_TRUE(y >= kTop && y < kTop + kHeight) << y;
        }
        const std::vector<TChartTick> dates = chart.DateTicks(60);
        for (std::size_t i = 1; i < dates.size(); ++i)
            EXPECT_GE(dates[i].at - dates[i - 1].at, 60);
    }
}
