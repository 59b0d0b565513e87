#include "gui/dialogs/LedgerViews.h"

#include "gui/support/QtBoundary.h"
#include "gui/widgets/StrCGrid.h"

#include <QLabel>

#include <algorithm>

TStrColGrid* LedgerTableGrid(const char* name, const TLedgerTable& table, QWidget* parent) {
    auto* grid = new TStrColGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->SetFocusDraw(false);
    grid->SetSortOpt(soNon);
    grid->SetColCount(static_cast<int>(table.headings.size()));
    grid->SetRowCount(static_cast<int>(table.rows.size()) + 1);
    grid->SetFixedRows(1);
    grid->SetFixedCols(1);
    grid->SetAlignment(kAlignRight);
    const QFontMetrics metrics(grid->font());
    std::vector<int> widths(table.headings.size(), 0);
    auto put = [&](int row, const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
            grid->SetCells(static_cast<int>(c), row, cells[c]);
            if (c == 0 || row == 0)
                grid->SetCellAlignment(static_cast<int>(c), row, kAlignCenter);
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(qsjis(cells[c])) + 12);
        }
    };
    put(0, table.headings);
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        put(static_cast<int>(r) + 1, table.rows[r]);
    const int rowHeight = metrics.height() + 6;
    grid->SetDefaultRowHeight(rowHeight);
    int total = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        grid->SetColWidths(static_cast<int>(c), widths[c]);
        total += widths[c] + grid->GridLineWidth();
    }
    const int frame = 2 * grid->frameWidth();
    grid->setFixedHeight(grid->RowCount() * (rowHeight + grid->GridLineWidth()) + frame);
    grid->setMinimumWidth(total + frame);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return grid;
}

QLabel* LedgerTextLabel(const char* name, const std::string& cp932, QWidget* parent) {
    auto* label = new QLabel(qsjis(cp932), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}
