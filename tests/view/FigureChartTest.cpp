#include "view/FigureChart.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A runner's five races from the last back; a figure of 0 is a race without one.
TChartRunner runner(int number, std::vector<std::pair<int, float>> races) {
    TChartRunner r;
    r.number = number;
    for (std::size_t cell = 0; cell < races.size(); ++cell)
        r.races[cell] = {races[cell].first, races[cell].second > 0, races[cell].second, false};
    return r;
}

} // namespace

// Whatever the figures and dates, every mark, tick and the best score's line stay inside
// the plot area, the dates run left to right and the figures bottom to top.
TEST(FigureChart, EverythingStaysInsideThePlotAreaInOrder) {
    const struct {
        const char* what;
        std::vector<TChartRunner> runners;
        float best;
    } charts[] = {
        {"one date only", {runner(1, {{20001206, 75}})}, 0},
        {"the best above every figure",
         {runner(2, {{20001206, 40}, {20001101, 55}, {20001001, 61}})},
         118.4f},
        {"figures far apart over two years",
         {runner(3, {{20011224, 3}, {20010101, 160}}), runner(4, {{20000105, 88}})},
         102.3f},
        {"a runner without a figure beside one with",
         {runner(5, {{20001206, 0}}), runner(6, {{20001206, 97}, {20001001, 92}})},
         97.f},
    };
    constexpr int kLeft = 30, kTop = 20, kWidth = 400, kHeight = 150;
    for (const auto& c : charts) {
        SCOPED_TRACE(c.what);
        TFigureChart chart(c.runners, c.best);
        chart.Layout(kLeft, kTop, kWidth, kHeight);
        ASSERT_FALSE(chart.Marks().empty());
        std::vector<int> ys{chart.BestY().value_or(kTop)};
        for (const TChartTick& tick : chart.FigureTicks())
            ys.push_back(tick.at);
        for (const TChartMark& mark : chart.Marks()) {
            EXPECT_GE(mark.x, kLeft);
            EXPECT_LT(mark.x, kLeft + kWidth);
            ys.push_back(mark.y);
        }
        for (const int y : ys) {
            EXPECT_GE(y, kTop);
            EXPECT_LT(y, kTop + kHeight);
        }
        const std::vector<TChartTick> figures = chart.FigureTicks();
        for (std::size_t i = 1; i < figures.size(); ++i)
            EXPECT_LT(figures[i].at, figures[i - 1].at);
        EXPECT_LE(figures.size(), 7u);
        const std::vector<TChartTick> dates = chart.DateTicks(60);
        for (std::size_t i = 1; i < dates.size(); ++i)
            EXPECT_GE(dates[i].at - dates[i - 1].at, 60);
        for (std::size_t i = 1; i < chart.Marks().size(); ++i)
            if (chart.Marks()[i].series == chart.Marks()[i - 1].series)
                EXPECT_GT(chart.Marks()[i].x, chart.Marks()[i - 1].x);
    }
}
