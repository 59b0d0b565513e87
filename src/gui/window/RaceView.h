#pragma once

#include "analysis/Explanation.h"
#include "view/FigureChart.h"

#include <QObject>

#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPoint;
class QSplitter;
class QWidget;
class TDaySession;
class TFocus;
class TOdds;
class TRaceBase;
class TSplitter;
class TFigureChartView;
class TStrColGrid;
struct TSettings;

// The contents of the main window's three race pages and the race heading:
//
//   予　想  GridYosou, one row per runner, over the figure chart ChartFigure (shown while
//           ActionGraph is checked, its height set by the bar of SplitterChart), above
//           Panel3 with the bet line LabelKaime1 and the odds line LabelKaime2; a figure,
//           mark or rank cell explains itself in its tooltip, and its context menu
//           PopupMenuYosou copies that text (MCopyExplanation) or adds the row's runner to
//           the chart (MAddToChart); the Ｑ cells, weights with an allowance mark and the
//           headings Ｑ, Ｐ and the mark order's have tooltips too;
//   オッズ  Panel7 with ToolBar2 (ActionBamei), then the horse-name pane Panel5 (caption
//           Panel6 over GridBamei), Splitter2 and PageControl2 with the pages
//           TabSheet2Tan (GridOddsTan, GridOddsWak), TabSheet2Uma (GridOddsUma) and
//           TabSheet2Wid (GridOddsWid);
//   調　教  GridCyo.
//
// The race heading's context menu PopupMenuTitle copies it as one line (MCopyTitle).
//
// Every component carries its name as object name. The view reads the race data source,
// the prediction and the odds container only inside Fill and keeps nothing of them.
class TRaceView : public QObject {
    Q_OBJECT

public:
    // Builds the components into the three pages (each gets a layout unless it has one)
    // and keeps labelTitle, the race heading above the pages, whose text becomes plain
    // text. The pages own the widgets; the view must not outlive them. ActionBamei starts
    // disabled and checked, with the horse-name pane shown.
    TRaceView(QWidget* tabSheet1Yosou, QWidget* tabSheet1Odds, QWidget* tabSheet1Cyo,
              QLabel* labelTitle, QObject* parent = nullptr);

    // The fixed part of every grid: sizes, headings, heading and number cells with their
    // colours, alignments and sort kinds. Once, when the window is created.
    void SetUpHeadings();
    // Fonts, column widths and row heights of every grid from the font sizes Size and
    // SizeOdds; when the window is created and after a font change.
    void SetUpWidths(const TSettings& settings);

    // Shows the race of the last PrepareRace: heading, prediction grid, bet and odds
    // lines, odds grids, horse names and training entries; Clear runs first, so that
    // nothing of the race shown before stays and the odds grids of a race without odds
    // show their cleared state. Throws std::logic_error when no day is open or no
    // prediction exists. The race's data is read before any widget changes, so an error
    // of the race data source leaves the view as it was.
    void Fill(const TDaySession& session);
    // odds as the session's odds read leaves them: empty, or of the race's field size
    void Fill(const TRaceBase& race, const TFocus& focus, const TOdds& odds);
    // Empties the whole view; heading and number cells of the odds grids stay.
    void Clear();

    // Inverts the check of ActionBamei; the horse-name pane follows the check state
    // (also when the action is triggered or its check is set from outside).
    void ActionBameiExecute();
    // The page オッズ became visible: ActionBamei is enabled. Runs by itself on the
    // page's show event.
    void TabSheet1OddsShow();
    // The menu 表示(&S) opens: ActionBamei is enabled exactly when the page オッズ is the
    // active page of its tab widget and a day is open.
    void MShowClick(bool dayOpen);

    // The horse-name pane's width in pixels (Split2), also while it is hidden.
    int bameiWidth() const;
    void setBameiWidth(int width);

    QAction* ActionBamei() const { return m_actionBamei; }

    // 指数グラフ: the figure chart below the prediction grid is shown while it is checked;
    // unchecked at first. The chart draws the runner of the grid's current row and up to
    // two runners added from the context menu, until another race is shown.
    QAction* ActionGraph() const { return m_actionGraph; }
    // The chart's height in pixels, also while it is hidden.
    int chartHeight() const;
    void setChartHeight(int height);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildYosouPage(QWidget* page);
    void buildOddsPage(QWidget* page);
    void buildCyoPage(QWidget* page);
    void applyBameiCheck(bool checked);
    bool oddsPageActive() const;

    void fillOdds(const TOdds& odds, int n);
    void clearOddsGrids();
    // The explanation of a cell of GridYosou (CP932); empty for a cell without one.
    std::string explanationOf(int col, int row) const;
    void yosouContextMenu(const QPoint& position);
    // The runner number in a row's number cell; 0 for a row without a runner.
    int runnerAt(int row) const;
    // Draws the current row's runner and the added ones.
    void updateChart();
    void applyGraphCheck(bool checked);
    void buildTitleMenu();

    QWidget* m_oddsPage;
    QLabel* m_labelTitle;
    QAction* m_actionBamei = nullptr;

    TStrColGrid* m_gridYosou = nullptr;
    QLabel* m_labelKaime1 = nullptr;
    QLabel* m_labelKaime2 = nullptr;
    QMenu* m_popupMenuYosou = nullptr;
    QAction* m_copyExplanation = nullptr;
    TExplanation m_explanation;    // of the race shown
    std::string m_menuExplanation; // of the cell the context menu opened on
    int m_menuRunner = 0;          // of the row the context menu opened on
    QAction* m_addToChart = nullptr;

    QAction* m_actionGraph = nullptr;
    QSplitter* m_splitterChart = nullptr;
    TFigureChartView* m_chart = nullptr;
    int m_chartHeight = 160;
    std::vector<TChartRunner> m_chartRunners; // of the race shown, by runner number - 1
    float m_bestScore = 0;                    // of the race shown
    std::vector<int> m_addedRunners;          // drawn after the current row's runner

    QWidget* m_panel5 = nullptr;
    TStrColGrid* m_gridBamei = nullptr;
    TSplitter* m_splitter2 = nullptr;
    TStrColGrid* m_gridOddsTan = nullptr;
    TStrColGrid* m_gridOddsWak = nullptr;
    TStrColGrid* m_gridOddsUma = nullptr;
    TStrColGrid* m_gridOddsWid = nullptr;

    TStrColGrid* m_gridCyo = nullptr;
};
