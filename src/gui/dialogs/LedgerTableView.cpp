#include "gui/dialogs/LedgerTableView.h"

#include "gui/support/QtBoundary.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <limits>

namespace {

constexpr int kSortRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;

// The value a cell sorts by: its number when it reads as one (commas and a trailing % left
// out), the lowest number for a cell without a value ("-", "―", empty), else its text.
QVariant sortValue(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char(','));
    if (digits.endsWith(QLatin1Char('%')))
        digits.chop(1);
    bool number = false;
    const double value = digits.toDouble(&number);
    if (number)
        return value;
    if (text.isEmpty() || text == QStringLiteral("-") || text == u("―") || text == u("—"))
        return std::numeric_limits<double>::lowest();
    return text;
}

} // namespace

TLedgerTableView::TLedgerTableView(const char* name, QWidget* parent)
    : QTableView(parent), m_model(new QStandardItemModel(this)),
      m_sorted(new QSortFilterProxyModel(this)) {
    setObjectName(QString::fromLatin1(name));
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(kSortRole);
    setModel(m_sorted);
    setSortingEnabled(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
}

void TLedgerTableView::Show(const TLedgerTable& table, const std::vector<int>& keys) {
    // the rows in their own order until the user sorts them
    m_sorted->sort(-1);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_model->clear();
    QStringList headings;
    for (const std::string& heading : table.headings)
        headings << qsjis(heading);
    m_model->setHorizontalHeaderLabels(headings);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        QList<QStandardItem*> items;
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            const QString text = qsjis(table.rows[r][c]);
            auto* item = new QStandardItem(text);
            const QVariant value = c == 0 ? QVariant(text) : sortValue(text);
            item->setData(value, kSortRole);
            // numbers to the right, texts to the left
            const bool number = value.typeId() == QMetaType::Double;
            item->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            items << item;
        }
        if (!items.isEmpty())
            items.front()->setData(r < keys.size() ? keys[r] : static_cast<int>(r), kKeyRole);
        m_model->appendRow(items);
    }
    resizeColumnsToContents();
}

int TLedgerTableView::Key(int row) const {
    const QModelIndex index = m_sorted->index(row, 0);
    return index.isValid() ? index.data(kKeyRole).toInt() : -1;
}

void TLedgerTableView::FitToRows() {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    int width = 2 * frameWidth();
    for (int c = 0; c < m_model->columnCount(); ++c)
        width += columnWidth(c);
    setFixedSize(width, horizontalHeader()->sizeHint().height() +
                            m_model->rowCount() * verticalHeader()->defaultSectionSize() +
                            2 * frameWidth());
}
