#include "view/FigureChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Days since 1970-01-01 of a yyyymmdd date, by the civil calendar.
long dayNumber(int yyyymmdd) {
    long y = yyyymmdd / 10000;
    const long m = yyyymmdd / 100 % 100;
    const long d = yyyymmdd % 100;
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string dateLabel(int yyyymmdd) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", yyyymmdd / 10000 % 100, yyyymmdd / 100 % 100,
                  yyyymmdd % 100);
    return text;
}

// Marks stay this far inside the plot area's sides.
constexpr int kInset = 8;

} // namespace

TFigureChart::TFigureChart(std::vector<TChartRunner> runners, float best)
    : m_runners(std::move(runners)), m_best(best) {
    if (m_runners.size() > static_cast<std::size_t>(kMaxSeries))
        m_runners.resize(static_cast<std::size_t>(kMaxSeries));
    for (std::size_t s = 0; s < m_runners.size(); ++s) {
        const TChartRunner& runner = m_runners[s];
        for (int cell = static_cast<int>(runner.races.size()) - 1; cell >= 0; --cell) {
            const TChartRace& race = runner.races[static_cast<std::size_t>(cell)];
            if (race.hasFigure && race.date != 0)
                m_marks.push_back({static_cast<int>(s), runner.number, cell, 0, 0, race.dirt});
        }
    }
    std::vector<double> figures;
    std::vector<long> days;
    for (const TChartMark& mark : m_marks) {
        const TChartRace& race = m_runners[static_cast<std::size_t>(mark.series)]
                                     .races[static_cast<std::size_t>(mark.cell)];
        figures.push_back(race.figure);
        days.push_back(dayNumber(race.date));
    }
    if (m_best > 0)
        figures.push_back(m_best);
    if (!days.empty()) {
        m_firstDay = *std::min_element(days.begin(), days.end());
        m_lastDay = *std::max_element(days.begin(), days.end());
    }
    if (m_lastDay <= m_firstDay) {
        // one date: in the middle of a month
        m_firstDay -= 15;
        m_lastDay = m_firstDay + 30;
    }
    if (!figures.empty()) {
        const double low = *std::min_element(figures.begin(), figures.end());
        const double high = *std::max_element(figures.begin(), figures.end());
        for (const double step : {10.0, 20.0, 50.0, 100.0}) {
            m_step = step;
            if ((std::ceil(high / step) - std::floor(low / step)) <= 6)
                break;
        }
        m_low = std::floor(low / m_step) * m_step;
        m_high = std::max(std::ceil(high / m_step) * m_step, m_low + m_step);
    }
}

void TFigureChart::Layout(int left, int top, int width, int height) {
    m_left = left;
    m_top = top;
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
    for (TChartMark& mark : m_marks) {
        const TChartRace& race = m_runners[static_cast<std::size_t>(mark.series)]
                                     .races[static_cast<std::size_t>(mark.cell)];
        mark.x = xOf(dayNumber(race.date));
        mark.y = yOf(race.figure);
    }
}

int TFigureChart::xOf(long days) const {
    const double share =
        static_cast<double>(days - m_firstDay) / static_cast<double>(m_lastDay - m_firstDay);
    const int span = std::max(m_width - 2 * kInset, 1);
    return m_left + kInset + static_cast<int>(std::lround(share * span));
}

int TFigureChart::yOf(double figure) const {
    const double share = (figure - m_low) / (m_high - m_low);
    return m_top + m_height - 1 - static_cast<int>(std::lround(share * (m_height - 1)));
}

std::vector<std::vector<TChartMark>> TFigureChart::Lines() const {
    std::vector<std::vector<TChartMark>> lines;
    std::vector<TChartMark> run;
    auto close = [&lines, &run] {
        if (run.size() >= 2)
            lines.push_back(run);
        run.clear();
    };
    for (const TChartMark& mark : m_marks) {
        // the next mark of the same runner joins only the race right after the last
        if (!run.empty() && (run.back().series != mark.series || run.back().cell != mark.cell + 1))
            close();
        run.push_back(mark);
    }
    close();
    return lines;
}

std::optional<int> TFigureChart::BestY() const {
    if (m_best <= 0)
        return std::nullopt;
    return yOf(m_best);
}

std::vector<TChartTick> TFigureChart::FigureTicks() const {
    std::vector<TChartTick> ticks;
    for (double figure = m_low; figure <= m_high + m_step / 2; figure += m_step)
        ticks.push_back({yOf(figure), std::to_string(static_cast<int>(figure))});
    return ticks;
}

std::vector<TChartTick> TFigureChart::DateTicks(int minGap) const {
    std::vector<std::pair<int, int>> dated; // x, date
    for (const TChartMark& mark : m_marks)
        dated.emplace_back(mark.x, m_runners[static_cast<std::size_t>(mark.series)]
                                       .races[static_cast<std::size_t>(mark.cell)]
                                       .date);
    std::sort(dated.begin(), dated.end());
    std::vector<TChartTick> ticks;
    for (const auto& [x, date] : dated)
        if (ticks.empty() || x - ticks.back().at >= minGap)
            ticks.push_back({x, dateLabel(date)});
    return ticks;
}

const TChartMark* TFigureChart::MarkAt(int x, int y, int radius) const {
    const TChartMark* nearest = nullptr;
    long best = static_cast<long>(radius) * radius;
    for (const TChartMark& mark : m_marks) {
        const long dx = mark.x - x;
        const long dy = mark.y - y;
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            nearest = &mark;
        }
    }
    return nearest;
}
