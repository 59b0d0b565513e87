#include "gui/dialogs/ChartView.h"

#include "gui/support/QtBoundary.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kTextPixels = 12;

QColor rgb(TRgb color) {
    return QColor::fromRgb(static_cast<QRgb>(color));
}

QPolygonF polygon(const std::vector<TChartPoint>& points) {
    QPolygonF polygon;
    for (const TChartPoint& p : points)
        polygon << QPointF(p.x, p.y);
    return polygon;
}

} // namespace

TChartView::TChartView(TChart chart, QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    SetChart(std::move(chart));
}

void TChartView::SetChart(TChart chart) {
    m_chart = std::move(chart);
    setMinimumSize(static_cast<int>(m_chart.width * 0.5), static_cast<int>(m_chart.height * 0.5));
    updateGeometry();
    update();
}

QSize TChartView::sizeHint() const {
    return {static_cast<int>(m_chart.width), static_cast<int>(m_chart.height)};
}

void TChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (m_chart.width <= 0 || m_chart.height <= 0)
        return;
    const double scale = std::min(width() / m_chart.width, height() / m_chart.height);
    const QPointF origin((width() - m_chart.width * scale) / 2,
                         (height() - m_chart.height * scale) / 2);
    painter.translate(origin);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    for (const TChartArea& area : m_chart.areas) {
        painter.setBrush(rgb(area.color));
        painter.drawPolygon(polygon(area.points));
    }
    painter.setBrush(Qt::NoBrush);
    for (const TChartLine& line : m_chart.lines) {
        QPen pen(rgb(line.color), line.width);
        if (line.dashed)
            pen.setDashPattern({6 / line.width, 4 / line.width});
        painter.setPen(pen);
        painter.drawPolyline(polygon(line.points));
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
