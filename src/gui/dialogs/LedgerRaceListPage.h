#pragma once

#include "ledger/LedgerBreakdown.h"
#include "ledger/LedgerRace.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class TLedgerTableView;

// The ledger window's page レース一覧: every race of the season, sortable by any column,
// or those of one breakdown value. A double click (or Enter) on a race hands it to
// RaceOpened, whose answer (empty: nothing to say) the page shows under the list.
class TLedgerRaceListPage : public QWidget {
    Q_OBJECT

public:
    TLedgerRaceListPage(const std::vector<TLedgerRace>& races, QWidget* parent);

    // Shows the races that take value in dimension (CP932); ShowAll shows every race.
    void Filter(TDimension dimension, const std::string& value);
    void ShowAll();

    std::function<QString(const TLedgerRace& race)> RaceOpened;

private:
    void show(const std::optional<std::pair<TDimension, std::string>>& filter);
    void open(int row);

    const std::vector<TLedgerRace>& m_races;
    TLedgerTableView* m_table;
    QLabel* m_labelFilter;
    QPushButton* m_buttonAll;
    QLabel* m_labelNote;
};
