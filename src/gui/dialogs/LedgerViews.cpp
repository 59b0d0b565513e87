#include "gui/dialogs/LedgerViews.h"

#include "gui/support/QtBoundary.h"
#include "gui/widgets/StrCGrid.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kTextPixels = 12;

QColor rgb(TRgb color) {
    return QColor::fromRgb(static_cast<QRgb>(color));
}

} // namespace

TLedgerChartView::TLedgerChartView(TChart chart, QWidget* parent)
    : QWidget(parent), m_chart(std::move(chart)) {
    // the texts keep their size at any scale, so the chart may be small
    setMinimumSize(static_cast<int>(m_chart.width * 0.5), static_cast<int>(m_chart.height * 0.5));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize TLedgerChartView::sizeHint() const {
    return {static_cast<int>(m_chart.width), static_cast<int>(m_chart.height)};
}

void TLedgerChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const double scale = std::min(width() / m_chart.width, height() / m_chart.height);
    const QPointF origin((width() - m_chart.width * scale) / 2,
                         (height() - m_chart.height * scale) / 2);
    painter.translate(origin);
    painter.scale(scale, scale);
    for (const TChartLine& line : m_chart.lines) {
        QPen pen(rgb(line.color), line.width);
        if (line.dashed)
            pen.setDashPattern({6 / line.width, 4 / line.width});
        painter.setPen(pen);
        QPolygonF points;
        for (const TChartPoint& p : line.points)
            points << QPointF(p.x, p.y);
        painter.drawPolyline(points);
    }
    // texts are drawn unscaled at their scaled places, so that they stay legible
    painter.resetTransform();
    QFont plain = font();
    plain.setPixelSize(kTextPixels);
    QFont bold = plain;
    bold.setBold(true);
    for (const TChartText& text : m_chart.texts) {
        painter.setFont(text.bold ? bold : plain);
        painter.setPen(rgb(text.color));
        const QString s = qsjis(text.text);
        const double advance = QFontMetricsF(painter.font()).horizontalAdvance(s);
        const double shift = text.anchor == TTextAnchor::Start    ? 0
                             : text.anchor == TTextAnchor::Middle ? advance / 2
                                                                  : advance;
        painter.drawText(origin + QPointF(text.at.x * scale - shift, text.at.y * scale), s);
    }
}

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
