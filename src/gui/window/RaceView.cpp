#include "gui/window/RaceView.h"

#include "analysis/Focus.h"
#include "session/DaySession.h"
#include "session/Settings.h"
#include "gui/widgets/Splitter.h"
#include "odds/Odds.h"
#include "output/ReportPieces.h"
#include "output/RunnerRow.h"
#include "platform/Cp932.h"
#include "platform/Format.h"
#include "race/RaceBase.h"
#include "race/RaceHelpers.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/FigureChartView.h"
#include "gui/widgets/StrCGrid.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0x000000;
constexpr TColor kBlue = 0x0000FF;
constexpr TColor kGreen = 0x008000;
constexpr TColor kRed = 0xFF0000;
constexpr TColor kYellow = 0xFFFF00;
constexpr TColor kTrainingHeading = 0xC8FFFF;

constexpr int kMaxBrackets = 8;
constexpr int kYosouCols = 15;
constexpr int kTanRows = kMaxRunners + 1;
constexpr int kWakCols = 8;
constexpr int kWakRows = 12;
constexpr int kPairCols = 18; // quinella and wide
constexpr int kPairRows = 20;
constexpr int kLabelPixels = 12; // the window's designed font height

const char* const kGothic = "ＭＳ ゴシック";

struct TYosouColumn {
    const char* heading;
    TColSortKind sortKind;
    TAlignment alignment; // of the runner cells; headings stay left
    const char* widthTemplate;
    int repeat;       // the width is repeat times the template's
    const char* hint; // the heading's tooltip, for headings of a letter or none
};

const std::array<TYosouColumn, kYosouCols> kYosouColumns{{
    {"枠", kSortNone, kAlignRight, "XXX", 1, ""},
    {"馬", kSortNumber, kAlignRight, "XX", 1, ""},
    {"馬名", kSortText, kAlignLeft, "Ｘ", 9, ""},
    {"性齢", kSortNone, kAlignLeft, "X", 4, ""},
    {"斤量", kSortNumber, kAlignLeft, "99Ｘ", 1, ""},
    {"騎手", kSortNone, kAlignLeft, "ＸＸＸ*", 1, ""},
    {"単勝", kSortNumber, kAlignRight, "999.9", 1, ""},
    {"Ｑ", kSortNone, kAlignLeft, "Ｘ", 1, "Ｑ: RUV のデータに付いてくる予想印"},
    {"Ｐ", kSortNone, kAlignLeft, "Ｘ", 1,
     "Ｐ: この予想の印 (評価点の順位から。1位と2位は入れ替わることがある)"},
    {"", kSortNumber, kAlignLeft, "X", 1,
     "印の順 (1 が ◎、2 が ○)"}, // the mark as a number, so that it sorts
    {"5走前", kSortNone, kAlignRight, "+D999", 1, ""},
    {"4走前", kSortNone, kAlignRight, "+D999", 1, ""},
    {"3走前", kSortNone, kAlignRight, "+D999", 1, ""},
    {"2走前", kSortNone, kAlignRight, "+D999", 1, ""},
    {"前 走", kSortNone, kAlignRight, "+D999", 1, ""},
}};

enum TYosouCol {
    kColBracket = 0,
    kColNumber = 1,
    kColName = 2,
    kColWeight = 4,
    kColJockey = 5,
    kColServiceMark = 7,
    kColMark = 8,
    kColMarkNo = 9,
    kColFirstFigure = 10, // five races back; the last race stands in the last column
};

// The background of an odds cell by the size of the odds; no odds (-1) and NaN are white.
TColor oddsBandColor(float v) {
    if (v >= 1 && v < 5)
        return 0xFFFF99;
    if (v >= 5 && v < 10)
        return 0x99FFFF;
    if (v >= 10 && v < 20)
        return 0x99FF99;
    return kWhite;
}

// The odds of a pair; a pair the tables do not hold has none.
float pairOdds(const TOdds& odds, TBetKind kind, int first, int second) {
    try {
        return odds.OddsB(kind, first, second);
    } catch (const EOddsError&) {
        return -1;
    }
}

float runnerOdds(const TOdds& odds, TBetKind kind, int runner) {
    try {
        return odds.OddsA(kind, runner);
    } catch (const EOddsError&) {
        return -1;
    }
}

std::string winOddsText(float v) {
    return v == -1 ? std::string("-") : Format("%5.1f", static_cast<double>(v));
}

std::string wideOddsText(float lo, float hi) {
    if (lo == -1)
        return "-";
    return Format(lo >= 100 ? "%4.0f-" : "%4.1f-", static_cast<double>(lo)) +
           Format(hi >= 100 ? "%4.0f" : "%4.1f", static_cast<double>(hi));
}

// A multi-line CP932 text for a label: CR LF line ends become the label's line breaks.
QString labelText(const std::string& cp932) {
    QString text = qsjis(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QVBoxLayout* pageLayout(QWidget* page) {
    if (auto* existing = qobject_cast<QVBoxLayout*>(page->layout()))
        return existing;
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (page->layout() != nullptr) {
        // a layout of another kind: put ours inside it
        auto* holder = new QWidget(page);
        holder->setLayout(layout);
        page->layout()->addWidget(holder);
    } else {
        page->setLayout(layout);
    }
    return layout;
}

TStrColGrid* makeGrid(const char* name, QWidget* parent) {
    auto* grid = new TStrColGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->SetFocusDraw(false);
    return grid;
}

// The four odds grids: no border, no fixed part, right-aligned text.
void setUpOddsGrid(TStrColGrid& grid, int cols, int rows, bool horizontalLines) {
    grid.setFrameShape(QFrame::NoFrame);
    grid.SetAlignment(kAlignRight);
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    TGridOptions options = grid.Options();
    options.vertLine = false;
    options.horzLine = horizontalLines;
    grid.SetOptions(options);
}

void colouredCell(TStrColGrid& grid, int col, int row, const std::string& text, TColor background,
                  TColor textColor) {
    grid.SetCells(col, row, text);
    grid.SetCellColor(col, row, background);
    grid.SetCellFontColor(col, row, textColor);
}

void headingCell(TStrColGrid& grid, int col, int row, int number) {
    colouredCell(grid, col, row, std::to_string(number), kRed, kWhite);
    grid.SetCellAlignment(col, row, kAlignCenter);
}

void emptyOddsCell(TStrColGrid& grid, int col, int row) {
    grid.SetCells(col, row, {});
    grid.SetCellColor(col, row, kWhite);
}

void oddsCell(TStrColGrid& grid, int col, int row, std::string text, float band) {
    grid.SetCells(col, row, std::move(text));
    grid.SetCellColor(col, row, oddsBandColor(band));
}

// The number cells of the win grid: runner numbers on green.
void tanNumbers(TStrColGrid& grid) {
    for (int p = 1; p <= kMaxRunners && p < grid.RowCount(); ++p)
        colouredCell(grid, 0, p, std::to_string(p), kGreen, kWhite);
}

// Where the odds of a pair stand in the folded grids: the triangle of pairs is cut in
// two and the lower part turned into the free columns, so it is half as high.
TGridCoord wakCell(int i, int j) {
    return i <= 4 ? TGridCoord{2 * i - 1, j - i + 1} : TGridCoord{17 - 2 * i, j + 3};
}

TGridCoord pairCell(int i, int j) {
    return i <= 9 ? TGridCoord{2 * i - 1, j - i} : TGridCoord{37 - 2 * i, j + 1};
}

// The runner pair grids: headings on red, second runners in the number colours.
void setUpPairGrid(TStrColGrid& grid, TColor numberBackground, TColor numberText) {
    setUpOddsGrid(grid, kPairCols, kPairRows, false);
    for (int k = 0; k <= 8; ++k) {
        headingCell(grid, 2 * k + 1, 0, k + 1);
        for (int row = 1; row <= 17 - k; ++row)
            colouredCell(grid, 2 * k, row, std::to_string(k + 1 + row), numberBackground,
                         numberText);
        if (k == 0)
            continue;
        headingCell(grid, 2 * k + 1, 19 - k, 18 - k);
        for (int row = 20 - k; row <= 19; ++row)
            colouredCell(grid, 2 * k, row, std::to_string(row - 1), numberBackground, numberText);
    }
}

void clearPairGrid(TStrColGrid& grid) {
    for (int k = 0; k <= 8; ++k)
        for (int row = 1; row <= 19; ++row)
            if (row != 18 - k && row != 19 - k)
                emptyOddsCell(grid, 2 * k + 1, row);
}

// Rows 1 and below emptied, with the colours of the runner's bracket cell taken back.
void clearRunnerRows(TStrColGrid& grid) {
    for (int row = 1; row < grid.RowCount(); ++row) {
        for (int col = 0; col < grid.ColCount(); ++col)
            grid.SetCells(col, row, {});
        grid.SetCellColor(0, row, grid.Color());
        grid.SetCellFontColor(0, row, grid.FontColor());
    }
    grid.SetRowCount(2);
}

int textWidth(const QFontMetrics& metrics, const char* utf8) {
    return metrics.horizontalAdvance(QString::fromUtf8(utf8));
}

// Sets the grid's font and answers its metrics.
QFontMetrics gridFont(TStrColGrid& grid, int pointSize) {
    grid.setFont(MappedFont(sjis(kGothic), std::max(pointSize, 1)));
    return QFontMetrics(grid.font());
}

void setRowHeight(TStrColGrid& grid, const QFontMetrics& metrics) {
    grid.SetDefaultRowHeight(metrics.height() + 2);
}

// A CP932 text as a tooltip in the grid's fixed-pitch face and size.
QString toolTipOf(const std::string& cp932, const QFont& font) {
    QString text = qsjis(cp932);
    if (text.endsWith('\n'))
        text.chop(1);
    return QStringLiteral("<pre style=\"font-family:'%1'; font-size:%2pt\">%3</pre>")
        .arg(font.family())
        .arg(font.pointSize())
        .arg(text.toHtmlEscaped());
}

// Everything Fill shows of one runner, read before any widget changes.
struct TRunnerView {
    TRunnerRow row;
    std::vector<std::string> training;
};

} // namespace

TRaceView::TRaceView(QWidget* tabSheet1Yosou, QWidget* tabSheet1Odds, QWidget* tabSheet1Cyo,
                     QLabel* labelTitle, QObject* parent)
    : QObject(parent), m_oddsPage(tabSheet1Odds), m_labelTitle(labelTitle) {
    setObjectName(QStringLiteral("RaceView"));
    m_labelTitle->setTextFormat(Qt::PlainText);
    buildTitleMenu();
    buildYosouPage(tabSheet1Yosou);
    buildOddsPage(tabSheet1Odds);
    buildCyoPage(tabSheet1Cyo);
    tabSheet1Odds->installEventFilter(this);
}

void TRaceView::buildYosouPage(QWidget* page) {
    QVBoxLayout* layout = pageLayout(page);
    m_splitterChart = new QSplitter(Qt::Vertical, page);
    m_splitterChart->setObjectName(QStringLiteral("SplitterChart"));
    m_splitterChart->setChildrenCollapsible(false);
    m_gridYosou = makeGrid("GridYosou", m_splitterChart);
    m_chart = new TFigureChartView(m_splitterChart);
    m_chart->setObjectName(QStringLiteral("ChartFigure"));
    m_chart->hide();
    m_splitterChart->addWidget(m_gridYosou);
    m_splitterChart->addWidget(m_chart);
    // a taller window gives the grid the room; the chart keeps its height
    m_splitterChart->setStretchFactor(0, 1);
    m_splitterChart->setStretchFactor(1, 0);
    connect(m_splitterChart, &QSplitter::splitterMoved, this,
            [this] { m_chartHeight = m_chart->height(); });
    layout->addWidget(m_splitterChart, 1);
    // a mark explains itself as its figure cell does
    m_chart->SetMarkToolTip([this](int runner, int cell) {
        const std::string text = m_explanation.Figure(runner, cell);
        return text.empty() ? QString() : toolTipOf(text, m_gridYosou->font());
    });
    connect(m_gridYosou, &TStrColGrid::currentCellMoved, this, &TRaceView::updateChart);
    m_actionGraph = new QAction(qsjis(sjis("指数グラフ(&G)")), page);
    m_actionGraph->setObjectName(QStringLiteral("ActionGraph"));
    m_actionGraph->setStatusTip(qsjis(sjis("馬の指数の推移をグラフで表示します")));
    m_actionGraph->setToolTip(m_actionGraph->statusTip());
    m_actionGraph->setCheckable(true);
    connect(m_actionGraph, &QAction::toggled, this, &TRaceView::applyGraphCheck);
    m_gridYosou->SetCellToolTip([this](int col, int row) {
        const std::string text = explanationOf(col, row);
        return text.empty() ? QString() : toolTipOf(text, m_gridYosou->font());
    });
    m_popupMenuYosou = new QMenu(m_gridYosou);
    m_popupMenuYosou->setObjectName(QStringLiteral("PopupMenuYosou"));
    m_copyExplanation = m_popupMenuYosou->addAction(qsjis(sjis("計算の内訳をコピー")));
    m_copyExplanation->setObjectName(QStringLiteral("MCopyExplanation"));
    connect(m_copyExplanation, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(qsjis(m_menuExplanation)); });
    m_addToChart = m_popupMenuYosou->addAction(qsjis(sjis("グラフに追加")));
    m_addToChart->setObjectName(QStringLiteral("MAddToChart"));
    connect(m_addToChart, &QAction::triggered, this, [this] {
        m_addedRunners.push_back(m_menuRunner);
        m_actionGraph->setChecked(true);
        updateChart();
    });
    m_gridYosou->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_gridYosou, &QWidget::customContextMenuRequested, this, &TRaceView::yosouContextMenu);

    auto* panel3 = new QFrame(page);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* lines = new QVBoxLayout(panel3);
    lines->setContentsMargins(4, 3, 4, 3);
    lines->setSpacing(2);
    QFont fixedPitch(MappedFontFace(sjis(kGothic)));
    fixedPitch.setPixelSize(kLabelPixels);
    fixedPitch.setFixedPitch(true);
    for (QLabel** label : {&m_labelKaime1, &m_labelKaime2}) {
        *label = new QLabel(panel3);
        (*label)->setTextFormat(Qt::PlainText); // "<買い目>" is no markup
        (*label)->setFont(fixedPitch);
        // a long line is cut at the page's edge instead of widening the window
        (*label)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        (*label)->setMinimumHeight(QFontMetrics(fixedPitch).height());
        lines->addWidget(*label);
    }
    m_labelKaime1->setObjectName(QStringLiteral("LabelKaime1"));
    m_labelKaime2->setObjectName(QStringLiteral("LabelKaime2"));
    layout->addWidget(panel3);
}

void TRaceView::buildTitleMenu() {
    auto* menu = new QMenu(m_labelTitle);
    menu->setObjectName(QStringLiteral("PopupMenuTitle"));
    QAction* copy = menu->addAction(qsjis(sjis("レース名をコピー")));
    copy->setObjectName(QStringLiteral("MCopyTitle"));
    connect(copy, &QAction::triggered, this, [this] {
        // the heading's lines on one line, for a note or a spreadsheet cell
        QStringList lines;
        for (const QString& line : m_labelTitle->text().split('\n'))
            if (!line.trimmed().isEmpty())
                lines.append(line.trimmed());
        QGuiApplication::clipboard()->setText(lines.join(' '));
    });
    m_labelTitle->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_labelTitle, &QWidget::customContextMenuRequested, this,
            [this, menu, copy](const QPoint& position) {
                copy->setEnabled(!m_labelTitle->text().isEmpty());
                menu->popup(m_labelTitle->mapToGlobal(position));
            });
}

void TRaceView::buildOddsPage(QWidget* page) {
    QVBoxLayout* layout = pageLayout(page);

    m_actionBamei = new QAction(qsjis(sjis("馬名の表示(&B)")), page);
    m_actionBamei->setObjectName(QStringLiteral("ActionBamei"));
    m_actionBamei->setStatusTip(qsjis(sjis("馬名を表示します")));
    m_actionBamei->setToolTip(qsjis(sjis("馬名を表示します")));
    m_actionBamei->setCheckable(true);
    m_actionBamei->setChecked(true);
    m_actionBamei->setEnabled(false);
    connect(m_actionBamei, &QAction::toggled, this, &TRaceView::applyBameiCheck);

    auto* panel7 = new QWidget(page);
    panel7->setObjectName(QStringLiteral("Panel7"));
    auto* bar = new QHBoxLayout(panel7);
    bar->setContentsMargins(0, 0, 0, 0);
    auto* toolBar2 = new QToolBar(panel7);
    toolBar2->setObjectName(QStringLiteral("ToolBar2"));
    toolBar2->setMovable(false);
    toolBar2->setFloatable(false);
    toolBar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar2->addAction(m_actionBamei);
    bar->addWidget(toolBar2);
    bar->addStretch(1);
    layout->addWidget(panel7);

    auto* area = new QWidget(page);
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_panel5 = new QWidget(area);
    m_panel5->setObjectName(QStringLiteral("Panel5"));
    auto* pane = new QVBoxLayout(m_panel5);
    pane->setContentsMargins(0, 0, 0, 0);
    pane->setSpacing(0);
    auto* panel6 = new QLabel(qsjis(sjis("　馬　名")), m_panel5);
    panel6->setObjectName(QStringLiteral("Panel6"));
    panel6->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel6->setAlignment(Qt::AlignCenter);
    panel6->setMargin(2);
    QFont bold; // only the weight: face and size come from the window
    bold.setBold(true);
    panel6->setFont(bold);
    pane->addWidget(panel6);
    m_gridBamei = makeGrid("GridBamei", m_panel5);
    pane->addWidget(m_gridBamei, 1);
    row->addWidget(m_panel5);

    m_splitter2 = new TSplitter(m_panel5, area);
    m_splitter2->setObjectName(QStringLiteral("Splitter2"));
    m_panel5->setFixedWidth(113); // designed width until Split2 replaces it
    row->addWidget(m_splitter2);

    auto* pageControl2 = new QTabWidget(area);
    pageControl2->setObjectName(QStringLiteral("PageControl2"));
    auto* tabSheet2Tan = new QWidget;
    tabSheet2Tan->setObjectName(QStringLiteral("TabSheet2Tan"));
    auto* tan = new QHBoxLayout(tabSheet2Tan);
    tan->setContentsMargins(0, 0, 0, 0);
    tan->setSpacing(0);
    m_gridOddsTan = makeGrid("GridOddsTan", tabSheet2Tan);
    m_gridOddsWak = makeGrid("GridOddsWak", tabSheet2Tan);
    tan->addWidget(m_gridOddsTan);
    tan->addWidget(m_gridOddsWak, 1);
    pageControl2->addTab(tabSheet2Tan, qsjis(sjis("単複・枠連")));

    auto* tabSheet2Uma = new QWidget;
    tabSheet2Uma->setObjectName(QStringLiteral("TabSheet2Uma"));
    m_gridOddsUma = makeGrid("GridOddsUma", tabSheet2Uma);
    pageLayout(tabSheet2Uma)->addWidget(m_gridOddsUma);
    pageControl2->addTab(tabSheet2Uma, qsjis(sjis("馬連")));

    auto* tabSheet2Wid = new QWidget;
    tabSheet2Wid->setObjectName(QStringLiteral("TabSheet2Wid"));
    m_gridOddsWid = makeGrid("GridOddsWid", tabSheet2Wid);
    pageLayout(tabSheet2Wid)->addWidget(m_gridOddsWid);
    pageControl2->addTab(tabSheet2Wid, qsjis(sjis("ワイド")));
    row->addWidget(pageControl2, 1);

    layout->addWidget(area, 1);
}

void TRaceView::buildCyoPage(QWidget* page) {
    m_gridCyo = makeGrid("GridCyo", page);
    pageLayout(page)->addWidget(m_gridCyo);
}

void TRaceView::SetUpHeadings() {
    TStrColGrid& yosou = *m_gridYosou;
    yosou.SetSortOpt(soBoth);
    yosou.SetColCount(kYosouCols);
    yosou.SetRowCount(2);
    yosou.SetFixedCols(0);
    yosou.SetFixedRows(1);
    for (int col = 0; col < kYosouCols; ++col) {
        const TYosouColumn& column = kYosouColumns[static_cast<std::size_t>(col)];
        yosou.SetCells(col, 0, sjis(column.heading));
        yosou.SetColSortKind(col, column.sortKind);
    }

    TStrColGrid& tan = *m_gridOddsTan;
    setUpOddsGrid(tan, 3, kTanRows, true);
    const std::array<const char*, 3> tanHeadings{"馬番", "単勝", "複勝"};
    for (int col = 0; col < 3; ++col) {
        colouredCell(tan, col, 0, sjis(tanHeadings[static_cast<std::size_t>(col)]), kBlue, kWhite);
        if (col > 0)
            tan.SetCellAlignment(col, 0, kAlignCenter);
    }
    tanNumbers(tan);
    tan.SetColSortKind(0, kSortNumber);
    tan.SetColSortKind(1, kSortNumber);
    tan.SetColSortKind(2, kSortText);

    TStrColGrid& wak = *m_gridOddsWak;
    setUpOddsGrid(wak, kWakCols, kWakRows, false);
    auto numberCell = [&wak](int col, int row, int bracket) {
        colouredCell(wak, col, row, std::to_string(bracket), kGreen, kWhite);
        wak.SetCellAlignment(col, row, kAlignCenter);
    };
    for (int k = 0; k <= 3; ++k) {
        headingCell(wak, 2 * k + 1, 0, k + 1);
        headingCell(wak, 2 * k + 1, 10 - k, 8 - k);
        for (int row = 1; row <= 8 - k; ++row)
            numberCell(2 * k, row, k + row);
        for (int row = 11 - k; row <= 11; ++row)
            numberCell(2 * k, row, row - 3);
    }

    setUpPairGrid(*m_gridOddsUma, kYellow, kBlack);
    setUpPairGrid(*m_gridOddsWid, kBlue, kWhite);

    TStrColGrid& bamei = *m_gridBamei;
    bamei.SetColCount(4);
    bamei.SetRowCount(2);
    bamei.SetFixedCols(0);
    bamei.SetFixedRows(1);
    const std::array<const char*, 4> bameiHeadings{"枠", "馬", "馬名", "騎手"};
    for (int col = 0; col < 4; ++col)
        bamei.SetCells(col, 0, sjis(bameiHeadings[static_cast<std::size_t>(col)]));

    TStrColGrid& cyo = *m_gridCyo;
    cyo.SetColCount(2);
    cyo.SetRowCount(1);
    cyo.SetFixedCols(0);
    cyo.SetFixedRows(0);
    TGridOptions options = cyo.Options();
    options.vertLine = false;
    options.fixedVertLine = false;
    cyo.SetOptions(options);
}

void TRaceView::SetUpWidths(const TSettings& settings) {
    const int size = settings.Font.Size;
    const int sizeOdds = settings.Font.SizeOdds;

    {
        const QFontMetrics m = gridFont(*m_gridYosou, size);
        for (int col = 0; col < kYosouCols; ++col) {
            const TYosouColumn& column = kYosouColumns[static_cast<std::size_t>(col)];
            m_gridYosou->SetColWidths(col, column.repeat * textWidth(m, column.widthTemplate) + 4);
        }
        setRowHeight(*m_gridYosou, m);
    }
    {
        const QFontMetrics m = gridFont(*m_gridOddsTan, sizeOdds);
        const std::array<int, 3> widths{textWidth(m, "XXXX") + 4, textWidth(m, "XXXX.X") + 4,
                                        textWidth(m, "XXX.X- XXX.X") + 4};
        for (int col = 0; col < 3; ++col)
            m_gridOddsTan->SetColWidths(col, widths[static_cast<std::size_t>(col)]);
        m_gridOddsTan->setFixedWidth(widths[0] + widths[1] + widths[2] + 20);
        setRowHeight(*m_gridOddsTan, m);
    }
    const std::array<std::pair<TStrColGrid*, const char*>, 3> pairGrids{{
        {m_gridOddsWak, "XXX.X "},
        {m_gridOddsUma, "XXXX.X"},
        {m_gridOddsWid, "XXXX-XXXX"},
    }};
    for (const auto& [grid, oddsTemplate] : pairGrids) {
        const QFontMetrics m = gridFont(*grid, sizeOdds);
        for (int col = 0; col < grid->ColCount(); ++col)
            grid->SetColWidths(col, textWidth(m, col % 2 ? oddsTemplate : "XX") + 4);
        setRowHeight(*grid, m);
    }
    {
        const QFontMetrics m = gridFont(*m_gridBamei, sizeOdds);
        m_gridBamei->SetColWidths(0, textWidth(m, "XX") + 2);
        m_gridBamei->SetColWidths(1, textWidth(m, "XX") + 2);
        m_gridBamei->SetColWidths(2, 9 * textWidth(m, "Ｘ"));
        m_gridBamei->SetColWidths(3, textWidth(m, "ＸＸＸ*"));
        setRowHeight(*m_gridBamei, m);
    }
    {
        const QFontMetrics m = gridFont(*m_gridCyo, size);
        m_gridCyo->SetColWidths(0, textWidth(m, "Ｘ") + 2);
        m_gridCyo->SetColWidths(1, 80 * textWidth(m, "X") + 2);
        setRowHeight(*m_gridCyo, m);
    }
}

void TRaceView::Fill(const TDaySession& session) {
    if (!session.IsDayOpen())
        throw std::logic_error(sjis("開いている開催日がありません"));
    if (!session.HasFocus())
        throw std::logic_error(sjis("予想が作成されていません"));
    Fill(session.Race(), session.Focus(), session.Odds());
}

void TRaceView::Fill(const TRaceBase& race, const TFocus& focus, const TOdds& odds) {
    const int n = std::clamp(race.RunnerCount(), 0, kMaxRunners);
    const bool withOdds = odds.Count() != 0;

    // Everything the race data source gives, first: its errors leave the view untouched.
    const std::string heading = race.RaceHeading();
    std::vector<TRunnerView> runners(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) {
        TRunnerView& v = runners[static_cast<std::size_t>(r)];
        v.row = RunnerRowOf(race, focus, odds, r);
        race.TrainingLines(r, v.training);
    }
    TExplanation explanation(race, focus);
    std::vector<TChartRunner> chartRunners(static_cast<std::size_t>(n));
    float bestScore = 0;
    for (int r = 0; r < n; ++r) {
        const TRunnerScore& score = focus.RunnerScore(r + 1);
        bestScore = std::max(bestScore, score.score);
        TChartRunner& runner = chartRunners[static_cast<std::size_t>(r)];
        runner.number = r + 1;
        const std::string& name = runners[static_cast<std::size_t>(r)].row.horseName;
        runner.name = name.substr(0, name.find_last_not_of(' ') + 1);
        for (int j = 0; j < TFocus::kCells; ++j) {
            const TFigureCell& cell = score.cells[static_cast<std::size_t>(j)];
            TChartRace& past = runner.races[static_cast<std::size_t>(j)];
            past.hasFigure = cell.status == kRunUsable;
            past.figure = cell.figure;
            past.dirt = cell.dirt;
            past.date = cell.status != kRunNone ? race.PastRunDate(r, j) : 0;
        }
    }

    // nothing of the race shown before may stay: a smaller field leaves rows, pairs and
    // training headings behind, a race without odds the last race's odds
    Clear();
    m_labelTitle->setText(labelText(heading));
    m_explanation = std::move(explanation);
    m_chartRunners = std::move(chartRunners);
    m_bestScore = bestScore;

    // the prediction grid
    TStrColGrid& yosou = *m_gridYosou;
    yosou.SetRowCount(std::max(n + 1, 2));
    for (int r = 0; r < n; ++r) {
        const TRunnerRow& row = runners[static_cast<std::size_t>(r)].row;
        const std::array<std::string, kYosouCols> cells{
            std::to_string(row.bracket) + (row.blinkers ? "B" : " "),
            std::to_string(row.number),
            row.horseName,
            row.sex + std::to_string(row.age),
            row.WeightText(),
            row.JockeyText(),
            row.winOdds,
            row.serviceMark,
            row.mark,
            row.rank,
            row.figures[0],
            row.figures[1],
            row.figures[2],
            row.figures[3],
            row.figures[4],
        };
        for (int col = 0; col < kYosouCols; ++col) {
            yosou.SetCells(col, r + 1, cells[static_cast<std::size_t>(col)]);
            const TAlignment alignment = kYosouColumns[static_cast<std::size_t>(col)].alignment;
            if (alignment != kAlignLeft)
                yosou.SetCellAlignment(col, r + 1, alignment);
        }
        yosou.SetCellFontColor(kColBracket, r + 1, row.colors->text);
        yosou.SetCellColor(kColBracket, r + 1, row.colors->background);
    }

    // the bet line and, with odds, the odds of each bet under it
    m_labelKaime1->setText(qsjis(BetLine(race, focus)));
    if (focus.BetCount() > 0 && withOdds)
        m_labelKaime2->setText(qsjis(BetOddsLine(focus, odds)));
    else
        m_labelKaime2->clear();

    // horse names, taken from the prediction grid
    TStrColGrid& bamei = *m_gridBamei;
    bamei.SetRowCount(yosou.RowCount());
    for (int row = 1; row <= n; ++row) {
        bamei.SetCells(0, row, yosou.Cells(kColBracket, row).substr(0, 1));
        bamei.SetCellAlignment(0, row, kAlignCenter);
        bamei.SetCellFontColor(0, row, yosou.CellFontColor(kColBracket, row));
        bamei.SetCellColor(0, row, yosou.CellColor(kColBracket, row));
        bamei.SetCells(1, row, yosou.Cells(kColNumber, row));
        bamei.SetCellAlignment(1, row, kAlignRight);
        bamei.SetCells(2, row, yosou.Cells(kColName, row));
        bamei.SetCells(3, row, yosou.Cells(kColJockey, row));
    }

    if (withOdds)
        fillOdds(odds, n);
    updateChart();

    // training: a heading row per runner, then its lines
    if (n > 0) {
        int rows = 0;
        for (const TRunnerView& v : runners)
            rows += 1 + static_cast<int>(v.training.size());
        TStrColGrid& cyo = *m_gridCyo;
        cyo.SetRowCount(rows);
        int row = 0;
        for (int r = 0; r < n; ++r) {
            const TRunnerView& v = runners[static_cast<std::size_t>(r)];
            cyo.SetCells(0, row, std::to_string(v.row.bracket));
            cyo.SetCellAlignment(0, row, kAlignCenter);
            cyo.SetCellFontColor(0, row, v.row.colors->text);
            cyo.SetCellColor(0, row, v.row.colors->background);
            // the runner number, not the bracket number
            cyo.SetCells(1, row,
                         Format(sjis("枠%2d番 %s").c_str(), v.row.number, v.row.horseName.c_str()));
            cyo.SetCellColor(1, row, kTrainingHeading);
            ++row;
            for (const std::string& line : v.training)
                cyo.SetCells(1, row++, line);
        }
    }
}

void TRaceView::fillOdds(const TOdds& odds, int n) {
    TStrColGrid& tan = *m_gridOddsTan;
    tan.SetRowCount(n + 1);
    for (int p = 1; p <= n; ++p) {
        tan.SetCells(0, p, std::to_string(p));
        const float v = runnerOdds(odds, TBetKind::Win, p);
        oddsCell(tan, 1, p, winOddsText(v), v);
        const float lo = runnerOdds(odds, TBetKind::PlaceLower, p);
        const float hi = runnerOdds(odds, TBetKind::PlaceUpper, p);
        oddsCell(tan, 2, p,
                 lo == -1
                     ? std::string()
                     : Format("%5.1f -%5.1f", static_cast<double>(lo), static_cast<double>(hi)),
                 lo);
    }

    const int brackets = std::min(n, kMaxBrackets);
    for (int i = 1; i <= brackets; ++i) {
        for (int j = i; j <= brackets; ++j) {
            const float v = pairOdds(odds, TBetKind::BracketQuinella, i, j);
            const TGridCoord at = wakCell(i, j);
            oddsCell(*m_gridOddsWak, at.x, at.y,
                     v == -1 ? std::string() : Format("%5.1f ", static_cast<double>(v)), v);
        }
    }

    if (!odds.HasHorseQuinella())
        return;
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const TGridCoord at = pairCell(i, j);
            const float v = pairOdds(odds, TBetKind::Quinella, i, j);
            oddsCell(*m_gridOddsUma, at.x, at.y,
                     v == -1 ? std::string("-") : Format("%6.1f", static_cast<double>(v)), v);
            const float lo = pairOdds(odds, TBetKind::WideLower, i, j);
            const float hi = pairOdds(odds, TBetKind::WideUpper, i, j);
            oddsCell(*m_gridOddsWid, at.x, at.y, wideOddsText(lo, hi), lo);
        }
    }
}

void TRaceView::Clear() {
    clearRunnerRows(*m_gridYosou);
    m_explanation = TExplanation();
    m_chartRunners.clear();
    m_bestScore = 0;
    m_addedRunners.clear();
    m_chart->SetChart({});
    m_labelTitle->clear();
    m_labelKaime1->clear();
    m_labelKaime2->clear();
    clearRunnerRows(*m_gridBamei);
    clearOddsGrids();

    TStrColGrid& cyo = *m_gridCyo;
    for (int row = 0; row < cyo.RowCount(); ++row) {
        for (int col = 0; col < 2; ++col) {
            cyo.SetCells(col, row, {});
            cyo.SetCellColor(col, row, kWhite);
        }
    }
    cyo.SetRowCount(1);
}

void TRaceView::clearOddsGrids() {
    TStrColGrid& tan = *m_gridOddsTan;
    for (int row = 1; row < tan.RowCount(); ++row) {
        emptyOddsCell(tan, 1, row);
        emptyOddsCell(tan, 2, row);
    }
    tan.SetRowCount(kTanRows);
    // rows cut away by a smaller field lost their numbers, and a sort moved them
    tanNumbers(tan);

    for (int k = 0; k <= 3; ++k)
        for (int row = 1; row <= 11; ++row)
            if (row != 9 - k && row != 10 - k)
                emptyOddsCell(*m_gridOddsWak, 2 * k + 1, row);

    clearPairGrid(*m_gridOddsUma);
    clearPairGrid(*m_gridOddsWid);
}

// The runner of a row is read from its number cell, so that the explanations follow
// their rows through a sort.
std::string TRaceView::explanationOf(int col, int row) const {
    if (row < m_gridYosou->FixedRows() && col >= 0 && col < kYosouCols)
        return sjis(kYosouColumns[static_cast<std::size_t>(col)].hint);
    const int runner = runnerAt(row);
    if (runner == 0)
        return {};
    if (col == kColMark || col == kColMarkNo)
        return m_explanation.ScoreAndBets(runner);
    if (col == kColServiceMark)
        return m_explanation.ServiceMark(runner);
    if (col == kColWeight)
        return m_explanation.Allowance(runner);
    if (col >= kColFirstFigure && col < kColFirstFigure + TFocus::kCells)
        return m_explanation.Figure(runner, kColFirstFigure + TFocus::kCells - 1 - col);
    return {};
}

int TRaceView::runnerAt(int row) const {
    if (row < m_gridYosou->FixedRows() || row >= m_gridYosou->RowCount())
        return 0;
    const std::string& number = m_gridYosou->Cells(kColNumber, row);
    if (number.empty() || number.size() > 2 ||
        number.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(number);
}

void TRaceView::updateChart() {
    std::vector<TChartRunner> drawn;
    auto draw = [this, &drawn](int runner) {
        const bool known = runner >= 1 && runner <= static_cast<int>(m_chartRunners.size());
        if (known && std::none_of(drawn.begin(), drawn.end(),
                                  [runner](const TChartRunner& r) { return r.number == runner; }))
            drawn.push_back(m_chartRunners[static_cast<std::size_t>(runner - 1)]);
    };
    draw(runnerAt(m_gridYosou->Row()));
    for (const int runner : m_addedRunners)
        draw(runner);
    m_chart->SetChart(TFigureChart(std::move(drawn), m_bestScore));
}

void TRaceView::yosouContextMenu(const QPoint& position) {
    const TGridCoord cell = m_gridYosou->MouseCoord(position.x(), position.y());
    const bool runnerCell = cell.x >= 0 && cell.y >= m_gridYosou->FixedRows();
    // a heading's hint is no working to copy
    m_menuExplanation = runnerCell ? explanationOf(cell.x, cell.y) : std::string();
    m_copyExplanation->setEnabled(!m_menuExplanation.empty());
    // two runners besides the current row's
    m_menuRunner = runnerCell ? runnerAt(cell.y) : 0;
    m_addToChart->setEnabled(
        m_menuRunner != 0 && m_menuRunner != runnerAt(m_gridYosou->Row()) &&
        m_addedRunners.size() < static_cast<std::size_t>(TFigureChart::kMaxSeries - 1) &&
        std::find(m_addedRunners.begin(), m_addedRunners.end(), m_menuRunner) ==
            m_addedRunners.end());
    m_popupMenuYosou->popup(m_gridYosou->viewport()->mapToGlobal(position));
}

void TRaceView::ActionBameiExecute() {
    m_actionBamei->setChecked(!m_actionBamei->isChecked());
}

void TRaceView::applyBameiCheck(bool checked) {
    if (checked) {
        m_panel5->show();
        m_splitter2->show();
    } else {
        m_splitter2->hide();
        m_panel5->hide();
    }
}

void TRaceView::applyGraphCheck(bool checked) {
    m_chart->setVisible(checked);
    if (checked)
        m_splitterChart->setSizes(
            {std::max(m_splitterChart->height() - m_chartHeight, 1), m_chartHeight});
}

int TRaceView::chartHeight() const {
    return m_chartHeight;
}

void TRaceView::setChartHeight(int height) {
    m_chartHeight = std::clamp(height, m_chart->minimumHeight(), 2000);
    applyGraphCheck(m_actionGraph->isChecked());
}

void TRaceView::TabSheet1OddsShow() {
    if (!m_actionBamei->isEnabled())
        m_actionBamei->setEnabled(true);
}

void TRaceView::MShowClick(bool dayOpen) {
    m_actionBamei->setEnabled(oddsPageActive() && dayOpen);
}

bool TRaceView::oddsPageActive() const {
    for (QWidget* w = m_oddsPage->parentWidget(); w != nullptr; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            return tabs->currentWidget() == m_oddsPage;
    return m_oddsPage->isVisible();
}

// The pane's fixed width, kept while it is hidden.
int TRaceView::bameiWidth() const {
    return m_panel5->maximumWidth();
}

void TRaceView::setBameiWidth(int width) {
    m_panel5->setFixedWidth(std::max(width, 0));
}

bool TRaceView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_oddsPage && event->type() == QEvent::Show)
        TabSheet1OddsShow();
    return QObject::eventFilter(watched, event);
}
