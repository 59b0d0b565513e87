#include "ledger/LedgerChart.h"

#include "ledger/LedgerTables.h"
#include "platform/Cp932.h"
#include "platform/Format.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kWidth = 720;
constexpr double kHeight = 460;
constexpr double kLeft = 80;
constexpr double kRight = 700;
constexpr double kPanelHeight = 150;
constexpr double kRateTop = 40;
constexpr double kYenTop = 270;
constexpr int kMaxDayLabels = 8;
constexpr double kFullRate = 100; // percent: a return equal to the stake

constexpr TRgb kInk = 0x333333;
constexpr TRgb kGridColor = 0xDDDDDD;
constexpr TRgb kRateColor = 0xC0392B;
constexpr TRgb kStakeColor = 0x7F8C8D;
constexpr TRgb kPaidColor = 0x1F6FB2;

// One panel: a frame, horizontal grid lines with their values, and the days below it.
class TPanel {
public:
    TPanel(TChart& chart, double top, double maxValue, const std::vector<TDayTally>& days)
        : m_chart(chart), m_top(top), m_days(days) {
        m_step = NiceStep(maxValue);
        m_max = std::max(m_step, std::ceil(maxValue / m_step) * m_step);
    }

    double x(std::size_t day) const {
        if (m_days.size() < 2)
            return (kLeft + kRight) / 2;
        return kLeft +
               (kRight - kLeft) * static_cast<double>(day) / static_cast<double>(m_days.size() - 1);
    }
    double y(double value) const { return m_top + kPanelHeight * (1 - value / m_max); }

    void drawFrame(const std::string& title, const char* unit) {
        for (double value = 0; value <= m_max + m_step / 2; value += m_step) {
            m_chart.lines.push_back(
                {{{kLeft, y(value)}, {kRight, y(value)}}, kGridColor, 1, false});
            m_chart.texts.push_back({{kLeft - 6, y(value) + 4},
                                     GroupedDigits(std::llround(value)) + sjis(unit),
                                     TTextAnchor::End,
                                     kInk,
                                     false});
        }
        m_chart.lines.push_back({{{kLeft, m_top},
                                  {kRight, m_top},
                                  {kRight, m_top + kPanelHeight},
                                  {kLeft, m_top + kPanelHeight},
                                  {kLeft, m_top}},
                                 kInk,
                                 1,
                                 false});
        m_chart.texts.push_back({{kLeft, m_top - 12}, title, TTextAnchor::Start, kInk, true});
        const std::size_t every = (m_days.size() + kMaxDayLabels - 1) / kMaxDayLabels;
        for (std::size_t d = 0; d < m_days.size(); d += std::max<std::size_t>(every, 1)) {
            const int date = m_days[d].date;
            m_chart.texts.push_back({{x(d), m_top + kPanelHeight + 16},
                                     Format("%d/%d", date / 100 % 100, date % 100),
                                     TTextAnchor::Middle,
                                     kInk,
                                     false});
        }
    }

    // A line through the days that have a value.
    void drawSeries(const std::vector<std::pair<std::size_t, double>>& values, TRgb color,
                    bool dashed = false) {
        TChartLine line{{}, color, dashed ? 1.0 : 2.0, dashed};
        for (const auto& [day, value] : values)
            line.points.push_back({x(day), y(value)});
        if (line.points.size() == 1) // a single day still shows as a short mark
            line.points.push_back({line.points[0].x + 1, line.points[0].y});
        if (!line.points.empty())
            m_chart.lines.push_back(std::move(line));
    }

    // A legend entry at the panel's top right, the index-th from the right.
    void legend(int index, const char* utf8, TRgb color) {
        const double right = kRight - 90.0 * index;
        m_chart.lines.push_back(
            {{{right - 84, m_top - 16}, {right - 66, m_top - 16}}, color, 2, false});
        m_chart.texts.push_back(
            {{right - 60, m_top - 12}, sjis(utf8), TTextAnchor::Start, kInk, false});
    }

private:
    TChart& m_chart;
    double m_top;
    const std::vector<TDayTally>& m_days;
    double m_step = 1;
    double m_max = 1;
};

} // namespace

double NiceStep(double span) {
    if (span <= 0)
        return 1;
    const double rough = span / 4;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (factor * power >= rough)
            return factor * power;
    return 10 * power;
}

TChart LedgerChart(const TLedgerSummary& summary) {
    TChart chart{kWidth, kHeight, {}, {}, {}};
    const std::vector<TDayTally>& days = summary.running;
    std::vector<std::pair<std::size_t, double>> rates, stakes, paid;
    double maxRate = kFullRate;
    double maxYen = 0;
    for (std::size_t d = 0; d < days.size(); ++d) {
        stakes.emplace_back(d, static_cast<double>(days[d].stake));
        paid.emplace_back(d, static_cast<double>(days[d].paid));
        maxYen = std::max(
            {maxYen, static_cast<double>(days[d].stake), static_cast<double>(days[d].paid)});
        if (days[d].stake > 0) {
            rates.emplace_back(d, kFullRate * static_cast<double>(days[d].paid) /
                                      static_cast<double>(days[d].stake));
            maxRate = std::max(maxRate, rates.back().second);
        }
    }
    TPanel rate(chart, kRateTop, maxRate, days);
    rate.drawFrame(sjis("回収率の推移（累計）"), "%");
    rate.drawSeries({{0, kFullRate}, {days.empty() ? 0 : days.size() - 1, kFullRate}}, kInk, true);
    rate.drawSeries(rates, kRateColor);
    rate.legend(0, "回収率", kRateColor);

    TPanel money(chart, kYenTop, maxYen, days);
    money.drawFrame(sjis("投資と払戻の推移（累計）"), "円");
    money.drawSeries(stakes, kStakeColor);
    money.drawSeries(paid, kPaidColor);
    money.legend(1, "投資", kStakeColor);
    money.legend(0, "払戻", kPaidColor);
    return chart;
}

std::string ChartNote(const TLedgerSummary& summary) {
    if (summary.settled == 0)
        return sjis("結果のわかったレースがまだないため、推移のグラフはありません。");
    if (summary.daysWithoutResults > 0)
        return Format(
            sjis("結果のわかったレースがない開催日 %d 日は、グラフに入れていません。").c_str(),
            summary.daysWithoutResults);
    return {};
}
