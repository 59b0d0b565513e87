#pragma once

#include "ledger/LedgerTables.h"

#include <QTableView>

#include <string>
#include <vector>

class QStandardItemModel;
class QSortFilterProxyModel;

// A table of the ledger window that sorts by any column with a click on its heading:
// numbers, amounts with commas and rates by their value, other texts as texts. Each row
// may carry a number (its race, its value) that a click hands back.
class TLedgerTableView : public QTableView {
    Q_OBJECT

public:
    TLedgerTableView(const char* name, QWidget* parent);

    // Shows the table (CP932 cells), rows in the given order until a heading is clicked;
    // keys: one per row, handed back by Key (empty: the row's index).
    void Show(const TLedgerTable& table, const std::vector<int>& keys = {});
    // The key of the row shown at row (after sorting); -1 when none.
    int Key(int row) const;
    // Wide and tall enough to show every cell without a scroll bar.
    void FitToRows();

private:
    QStandardItemModel* m_model;
    QSortFilterProxyModel* m_sorted;
};
