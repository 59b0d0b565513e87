#pragma once

#include "ledger/LedgerChart.h"
#include "ledger/LedgerTables.h"

#include <QWidget>

#include <string>

class QLabel;
class TStrColGrid;

// Draws a chart of the toolkit-free ledger, scaled to the widget and kept in proportion;
// its texts keep their size at any scale.
class TLedgerChartView : public QWidget {
public:
    TLedgerChartView(TChart chart, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TChart m_chart;
};

// A grid that shows a table whole: its headings in the fixed row, the row names in the
// fixed column, the numbers right-aligned.
TStrColGrid* LedgerTableGrid(const char* name, const TLedgerTable& table, QWidget* parent);

// A label of plain CP932 text.
QLabel* LedgerTextLabel(const char* name, const std::string& cp932, QWidget* parent);
