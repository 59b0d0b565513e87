// TFigureChart: the figure chart's marks, lines, scales and hover, without a toolkit.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

// One of a runner's last five races as the chart shows it.
struct TChartRace {
    int date = 0; // yyyymmdd; 0 when the data gives none
    bool hasFigure = false;
    float figure = 0;
    bool dirt = false;
};

struct TChartRunner {
    int number = 0;                    // the runner number
    std::string name;                  // CP932, without its padding
    std::array<TChartRace, 5> races{}; // 0 = the last race .. 4 = five races back
};

// A race with a figure, where it is drawn.
struct TChartMark {
    int series = 0; // the runner's place in the chart, which gives its colour
    int runner = 0; // runner number
    int cell = 0;   // 0 = the last race
    int x = 0;
    int y = 0;
    bool dirt = false;
};

struct TChartTick {
    int at = 0;        // pixels along its axis
    std::string label; // ASCII
};

// The figures of up to three runners over their last five races: the date across, the
// figure up, one line per runner broken where a race gave no figure, and a level line at
// the race's best score. Pixels are those of the plot area given to Layout.
class TFigureChart {
public:
    static constexpr int kMaxSeries = 3;

    TFigureChart() = default;
    // The first runner is the grid's current one; best is the race's best score, 0 for none.
    TFigureChart(std::vector<TChartRunner> runners, float best);

    // Places everything in the plot area from (left, top), width by height pixels.
    void Layout(int left, int top, int width, int height);

    const std::vector<TChartRunner>& Runners() const { return m_runners; }
    float Best() const { return m_best; }
    // Every race with a figure, each runner's oldest first.
    const std::vector<TChartMark>& Marks() const { return m_marks; }
    // The polylines: a runner's marks of consecutive races, each of two marks or more.
    std::vector<std::vector<TChartMark>> Lines() const;
    // Where the best score's line lies; nothing without a best score.
    std::optional<int> BestY() const;
    // Figures up the side, in steps of 10, 20, 50 or 100; dates along the bottom as
    // yy/mm/dd, each at least minGap pixels from the last.
    std::vector<TChartTick> FigureTicks() const;
    std::vector<TChartTick> DateTicks(int minGap) const;
    // The mark nearest to a point within radius pixels; nullptr when there is none.
    const TChartMark* MarkAt(int x, int y, int radius) const;

private:
    int xOf(long days) const;
    int yOf(double figure) const;

    std::vector<TChartRunner> m_runners;
    float m_best = 0;
    std::vector<TChartMark> m_marks;
    long m_firstDay = 0;
    long m_lastDay = 1;
    double m_low = 0;
    double m_high = 10;
    double m_step = 10;
    int m_left = 0;
    int m_top = 0;
    int m_width = 1;
    int m_height = 1;
};
