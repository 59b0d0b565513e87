#pragma once

#include "ledger/MarketComparison.h"

#include <QWidget>

// The ledger window's comparison with the market: ◎ against the favourite with the
// difference of their win returns, ◎ by its odds band, the fits of the score and the odds,
// and the reliability table with its chart; each table with its sentence (GridFavourite and
// LabelFavourite, then Difference, OddsBands, Fit and Reliability; ChartReliability when a
// race gives it a point).
class TLedgerMarketPage : public QWidget {
    Q_OBJECT

public:
    TLedgerMarketPage(const TMarketSection& market, QWidget* parent = nullptr);
};
