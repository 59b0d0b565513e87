#include "gui/dialogs/LedgerMarketPage.h"

#include "gui/dialogs/ChartView.h"
#include "gui/dialogs/LedgerViews.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/StrCGrid.h"
#include "ledger/MarketTables.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include <array>
#include <string>

namespace {

// The object names of the parts, in the order of MarketParts.
constexpr std::array<const char*, 5> kPartNames{"Favourite", "Difference", "OddsBands", "Fit",
                                                "Reliability"};

} // namespace

TLedgerMarketPage::TLedgerMarketPage(const TMarketSection& market, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("PageMarket"));
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    auto* layout = new QVBoxLayout(content);
    const std::vector<TMarketPart> parts = MarketParts(market);
    for (std::size_t i = 0; i < parts.size() && i < kPartNames.size(); ++i) {
        const std::string name = kPartNames[i];
        QLabel* title = LedgerTextLabel(("LabelTitle" + name).c_str(), parts[i].title, content);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        layout->addWidget(title);
        if (!parts[i].table.headings.empty())
            layout->addWidget(LedgerTableGrid(("Grid" + name).c_str(), parts[i].table, content), 0,
                              Qt::AlignLeft);
        QLabel* sentence = LedgerTextLabel(("Label" + name).c_str(), parts[i].sentence, content);
        sentence->setWordWrap(true);
        sentence->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(sentence);
    }
    if (market.calibration.races > 0) {
        auto* chart = new TChartView(ReliabilityChart(market), content);
        chart->setObjectName(QStringLiteral("ChartReliability"));
        layout->addWidget(chart, 1);
    } else {
        layout->addStretch(1);
    }
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}
