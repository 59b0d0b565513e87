#pragma once

#include "ledger/LedgerBreakdown.h"

#include <QScrollArea>

#include <functional>
#include <string>
#include <vector>

// The ledger window's page 条件別: one sortable table per dimension, each value a row. A
// click on a row hands its dimension and value to ValueChosen.
class TLedgerBreakdownPage : public QScrollArea {
    Q_OBJECT

public:
    TLedgerBreakdownPage(std::vector<TBreakdown> breakdowns, QWidget* parent);

    std::function<void(TDimension dimension, const std::string& value)> ValueChosen;

private:
    std::vector<TBreakdown> m_breakdowns;
};
