#include "gui/dialogs/LedgerBreakdownPage.h"

#include "gui/dialogs/LedgerTableView.h"
#include "gui/support/QtBoundary.h"

#include <QLabel>
#include <QVBoxLayout>

TLedgerBreakdownPage::TLedgerBreakdownPage(std::vector<TBreakdown> breakdowns, QWidget* parent)
    : QScrollArea(parent), m_breakdowns(std::move(breakdowns)) {
    setObjectName(QStringLiteral("PageBreakdown"));
    setWidgetResizable(true);
    auto* inside = new QWidget(this);
    auto* layout = new QVBoxLayout(inside);
    auto* hint =
        new QLabel(u("行をクリックすると、レース一覧がその条件のレースに絞られます。"), inside);
    layout->addWidget(hint);
    for (std::size_t d = 0; d < m_breakdowns.size(); ++d) {
        const TBreakdown& breakdown = m_breakdowns[d];
        auto* title = new QLabel(qsjis(DimensionName(breakdown.dimension)), inside);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        layout->addWidget(title);
        const std::string name = std::string("GridBreakdown_") + DimensionKey(breakdown.dimension);
        auto* table = new TLedgerTableView(name.c_str(), inside);
        table->Show(BreakdownTable(breakdown));
        table->FitToRows();
        connect(table, &QTableView::clicked, this, [this, table, d](const QModelIndex& index) {
            const int row = table->Key(index.row());
            const TBreakdown& chosen = m_breakdowns[d];
            if (ValueChosen && row >= 0 && static_cast<std::size_t>(row) < chosen.rows.size())
                ValueChosen(chosen.dimension,
                            chosen.rows[static_cast<std::size_t>(row)].value.name);
        });
        layout->addWidget(table, 0, Qt::AlignLeft);
    }
    layout->addStretch(1);
    setWidget(inside);
}
