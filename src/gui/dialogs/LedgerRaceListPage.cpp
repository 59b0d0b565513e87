#include "gui/dialogs/LedgerRaceListPage.h"

#include "ledger/LedgerTables.h"

#include "gui/dialogs/LedgerTableView.h"
#include "gui/support/QtBoundary.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TLedgerRaceListPage::TLedgerRaceListPage(const std::vector<TLedgerRace>& races, QWidget* parent)
    : QWidget(parent), m_races(races) {
    setObjectName(QStringLiteral("PageRaceList"));
    auto* layout = new QVBoxLayout(this);
    auto* filterRow = new QHBoxLayout;
    m_labelFilter = new QLabel(this);
    m_labelFilter->setObjectName(QStringLiteral("LabelFilter"));
    filterRow->addWidget(m_labelFilter, 1);
    m_buttonAll = new QPushButton(u("すべて表示(&A)"), this);
    m_buttonAll->setObjectName(QStringLiteral("ButtonShowAll"));
    connect(m_buttonAll, &QPushButton::clicked, this, &TLedgerRaceListPage::ShowAll);
    filterRow->addWidget(m_buttonAll);
    layout->addLayout(filterRow);
    m_table = new TLedgerTableView("GridRaces", this);
    // a double click or Enter
    connect(m_table, &QTableView::activated, this,
            [this](const QModelIndex& index) { open(index.row()); });
    layout->addWidget(m_table, 1);
    m_labelNote = new QLabel(this);
    m_labelNote->setObjectName(QStringLiteral("LabelRaceNote"));
    m_labelNote->setWordWrap(true);
    layout->addWidget(m_labelNote);
    show(std::nullopt);
}

void TLedgerRaceListPage::Filter(TDimension dimension, const std::string& value) {
    show(std::pair{dimension, value});
}

void TLedgerRaceListPage::ShowAll() {
    show(std::nullopt);
}

void TLedgerRaceListPage::show(const std::optional<std::pair<TDimension, std::string>>& filter) {
    std::vector<const TLedgerRace*> shown;
    std::vector<int> keys;
    for (std::size_t i = 0; i < m_races.size(); ++i)
        if (!filter || DimensionValue(filter->first, m_races[i]).name == filter->second) {
            shown.push_back(&m_races[i]);
            keys.push_back(static_cast<int>(i));
        }
    m_table->Show(RaceListTable(shown), keys);
    m_labelFilter->setText(filter ? qsjis(DimensionName(filter->first)) + u(": ") +
                                        qsjis(filter->second) + u("  (%1 レース)").arg(shown.size())
                                  : u("すべてのレース (%1 レース)").arg(shown.size()));
    m_buttonAll->setEnabled(filter.has_value());
    m_labelNote->clear();
}

void TLedgerRaceListPage::open(int row) {
    const int key = m_table->Key(row);
    if (key < 0 || !RaceOpened)
        return;
    m_labelNote->setText(RaceOpened(m_races[static_cast<std::size_t>(key)]));
}
