#pragma once

#include "ledger/LedgerChart.h"
#include "ledger/LedgerTables.h"
#include "ledger/MarketComparison.h"

#include <string>
#include <vector>

// The comparison with the market as the printed summary, ledger.html and the ledger window
// show it: each table with one plain sentence (CP932) that says what it shows and whether
// its 95% interval includes no difference.
struct TMarketPart {
    std::string title;
    TLedgerTable table;
    std::string sentence;
};

// ◎ and the favourite over the same races (all, ◎ the favourite, ◎ not the favourite).
TMarketPart FavouritePart(const TMarketSection& section);
// The difference of their win returns with its paired bootstrap interval, in each split.
TMarketPart DifferencePart(const TMarketSection& section);
// ◎'s win rate beside the rate its odds imply, per band of its odds.
TMarketPart OddsBandPart(const TMarketSection& section);
// The fits on the earlier half and the log-loss on the later half; without a table when the
// data are too few.
TMarketPart FitPart(const TMarketSection& section);
// Predicted probability against the actual win rate, program and market.
TMarketPart ReliabilityPart(const TMarketSection& section);

std::vector<TMarketPart> MarketParts(const TMarketSection& section);

// The reliability table as a chart: actual win rate over mean predicted probability, the
// diagonal, and each bin's point with its 95% interval; program and market in two colours.
TChart ReliabilityChart(const TMarketSection& section);

// market.csv and calibration.csv: UTF-8 with a byte-order mark and CR LF line ends, as
// ledger.csv. Rates and probabilities in percent.
std::string MarketCsv(const TMarketSection& section);
std::string CalibrationCsv(const TMarketSection& section);

// The section as the batch tool prints it (CP932 lines).
std::vector<std::string> MarketLines(const TMarketSection& section);
