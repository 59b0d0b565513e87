#pragma once

#include "ledger/LedgerChart.h"

#include <QWidget>

// Draws a chart of the ledger, scaled to the widget and kept in proportion; its texts keep
// their size, so that they stay legible when the chart is small.
class TChartView : public QWidget {
    Q_OBJECT

public:
    TChartView(TChart chart, QWidget* parent);

    void SetChart(TChart chart);
    const TChart& Chart() const { return m_chart; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TChart m_chart;
};
