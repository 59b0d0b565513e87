#include "gui/widgets/FigureChartView.h"

#include "gui/support/QtBoundary.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <array>

namespace {

constexpr int kMarkRadius = 4;
constexpr int kLegendSample = 18; // the line before a name in the legend
constexpr int kDateGap = 64;      // the least distance of two date labels

} // namespace

TFigureChartView::TFigureChartView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setMinimumHeight(60);
}

QColor TFigureChartView::SeriesColor(int series) {
    static const std::array<QColor, TFigureChart::kMaxSeries> colors{
        QColor(0x1F, 0x4E, 0xC8), QColor(0xD0, 0x30, 0x20), QColor(0x1E, 0x90, 0x3C)};
    return colors[static_cast<std::size_t>(series) % colors.size()];
}

void TFigureChartView::SetChart(TFigureChart chart) {
    m_chart = std::move(chart);
    layoutChart();
    update();
}

void TFigureChartView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChart();
}

// The plot area leaves the legend's line above, the figures' labels to the left and the
// dates' line below.
void TFigureChartView::layoutChart() {
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const int left = metrics.horizontalAdvance(QStringLiteral("999")) + 10;
    const int top = line + 8;
    m_chart.Layout(left, top, width() - left - 12, height() - top - line - 8);
}

void TFigureChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const std::vector<TChartTick> figureTicks = m_chart.FigureTicks();
    if (m_chart.Runners().empty() || figureTicks.empty())
        return;
    const int plotLeft = metrics.horizontalAdvance(QStringLiteral("999")) + 10;
    const int plotRight = width() - 12;
    const int plotBottom = figureTicks.front().at;

    // the figures' scale and its guides
    painter.setPen(QColor(0xDD, 0xDD, 0xDD));
    for (const TChartTick& tick : figureTicks)
        painter.drawLine(plotLeft, tick.at, plotRight, tick.at);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const TChartTick& tick : figureTicks) {
        const QString label = QString::fromLatin1(tick.label);
        painter.drawText(plotLeft - 4 - metrics.horizontalAdvance(label),
                         tick.at + metrics.ascent() / 2 - 1, label);
    }
    painter.drawLine(plotLeft, figureTicks.back().at, plotLeft, plotBottom);
    painter.drawLine(plotLeft, plotBottom, plotRight, plotBottom);
    for (const TChartTick& tick : m_chart.DateTicks(kDateGap)) {
        const QString label = QString::fromLatin1(tick.label);
        painter.drawLine(tick.at, plotBottom, tick.at, plotBottom + 3);
        // a label at either end stays whole inside the pane
        const int labelWidth = metrics.horizontalAdvance(label);
        painter.drawText(std::clamp(tick.at - labelWidth / 2, 0, width() - labelWidth - 2),
                         plotBottom + 4 + metrics.ascent(), label);
    }

    // the race's best score
    if (const std::optional<int> best = m_chart.BestY()) {
        painter.setPen(QPen(QColor(0xE0, 0x80, 0x00), 1, Qt::DashLine));
        painter.drawLine(plotLeft, *best, plotRight, *best);
        const QString label = u("最高評価点 ") + QString::number(m_chart.Best(), 'f', 1);
        painter.drawText(plotRight - metrics.horizontalAdvance(label), *best - 3, label);
    }

    for (const std::vector<TChartMark>& run : m_chart.Lines()) {
        painter.setPen(QPen(SeriesColor(run.front().series), 2));
        QPainterPath path(QPointF(run.front().x, run.front().y));
        for (std::size_t i = 1; i < run.size(); ++i)
            path.lineTo(run[i].x, run[i].y);
        painter.drawPath(path);
    }
    auto drawMark = [&painter](QPoint at, const QColor& color, bool dirt) {
        painter.setPen(QPen(color, 2));
        painter.setBrush(dirt ? QColor(Qt::white) : color);
        painter.drawEllipse(at, kMarkRadius, kMarkRadius);
    };
    for (const TChartMark& mark : m_chart.Marks())
        drawMark({mark.x, mark.y}, SeriesColor(mark.series), mark.dirt);

    // the legend: each runner in its colour, then what the marks mean
    painter.setBrush(Qt::NoBrush);
    int x = plotLeft;
    const int middle = 4 + line / 2;
    for (std::size_t s = 0; s < m_chart.Runners().size(); ++s) {
        const TChartRunner& runner = m_chart.Runners()[s];
        const QColor color = SeriesColor(static_cast<int>(s));
        painter.setPen(QPen(color, 2));
        painter.drawLine(x, middle, x + kLegendSample, middle);
        x += kLegendSample + 4;
        const QString name = QString::number(runner.number) + ' ' + qsjis(runner.name);
        painter.setPen(color);
        painter.drawText(x, 4 + metrics.ascent(), name);
        x += metrics.horizontalAdvance(name) + 14;
    }
    const QColor ink = palette().color(QPalette::WindowText);
    for (const auto& [dirt, caption] : {std::pair{false, "芝"}, {true, "ダート"}}) {
        drawMark({x + kMarkRadius, middle}, ink, dirt);
        x += 2 * kMarkRadius + 4;
        painter.setPen(ink);
        painter.drawText(x, 4 + metrics.ascent(), u(caption));
        x += metrics.horizontalAdvance(u(caption)) + 10;
    }
    if (m_chart.Marks().empty()) {
        painter.setPen(ink);
        painter.drawText(rect(), Qt::AlignCenter, u("指数のある走がありません"));
    }
}

bool TFigureChartView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const TChartMark* mark = m_chart.MarkAt(help->pos().x(), help->pos().y(), kHoverRadius);
        const QString text =
            mark != nullptr && m_markToolTip ? m_markToolTip(mark->runner, mark->cell) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}
