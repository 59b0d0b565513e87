// TFigureChartView: draws a TFigureChart and explains the mark under the pointer.
#pragma once

#include "view/FigureChart.h"

#include <QColor>
#include <QWidget>

#include <functional>

// The figure chart on the screen: a legend of the runners in their colours with the
// turf and dirt marks, figures up the left, dates along the bottom, the best score's
// dashed line, and each runner's line with filled marks for turf and hollow marks for
// dirt. The pointer resting on a mark shows the tooltip MarkToolTip gives for it.
class TFigureChartView : public QWidget {
    Q_OBJECT

public:
    explicit TFigureChartView(QWidget* parent = nullptr);

    void SetChart(TFigureChart chart);
    const TFigureChart& Chart() const { return m_chart; }

    // The tooltip of a mark by runner number and cell (0 = the last race).
    using TMarkToolTip = std::function<QString(int runner, int cell)>;
    void SetMarkToolTip(TMarkToolTip toolTip) { m_markToolTip = std::move(toolTip); }

    // The colour of a runner's place in the chart.
    static QColor SeriesColor(int series);
    // How near the pointer must come to a mark, in pixels.
    static constexpr int kHoverRadius = 6;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChart();

    TFigureChart m_chart;
    TMarkToolTip m_markToolTip;
};
