#pragma once

#include "ledger/LedgerSummary.h"
#include "race/RaceHelpers.h"

#include <string>
#include <vector>

// The ledger's chart as a list of lines and texts in a fixed drawing area, so that the
// HTML page (as SVG) and the ledger window draw the same picture from one computation.
struct TChartPoint {
    double x = 0;
    double y = 0; // downwards
};

struct TChartLine {
    std::vector<TChartPoint> points;
    TRgb color = 0;
    double width = 1;
    bool dashed = false;
};

// A filled polygon, drawn under the lines.
struct TChartArea {
    std::vector<TChartPoint> points;
    TRgb color = 0;
};

enum class TTextAnchor { Start, Middle, End };

struct TChartText {
    TChartPoint at;   // the start, middle or end of the text's baseline
    std::string text; // CP932
    TTextAnchor anchor = TTextAnchor::Start;
    TRgb color = 0;
    bool bold = false;
};

struct TChart {
    double width = 0;
    double height = 0;
    std::vector<TChartLine> lines;
    std::vector<TChartText> texts;
    std::vector<TChartArea> areas;
};

// A step of 1, 2, 2.5 or 5 times a power of ten that splits span into at most four parts.
double NiceStep(double span);

// Two panels over the days: the running return rate (with the 100% line), and the
// running stake and return, each over the settled races up to that day.
TChart LedgerChart(const TLedgerSummary& summary);

// What the chart leaves out, said under it (CP932): that no result is known yet (then no
// chart is drawn), or how many days without a settled race it does not show; empty when
// it shows every day.
std::string ChartNote(const TLedgerSummary& summary);
