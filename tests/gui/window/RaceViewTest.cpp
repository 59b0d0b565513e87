#include "gui/window/RaceView.h"

#include "support/gui/NamedChild.h"
#include "support/OutputDays.h"
#include "analysis/Focus.h"
#include "gui/widgets/Splitter.h"
#include "odds/Odds.h"
#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "race/RaceHelpers.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/StrCGrid.h"

#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QFrame>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

constexpr TColor kWhite = 0xFFFFFF;

// The main window's frame around the view, as far as the view sees it: the heading
// label above PageControl1 with its three empty pages.
struct Pages {
    QWidget window;
    QLabel* labelTitle = nullptr;
    QTabWidget* pageControl1 = nullptr;
    QWidget* yosou = nullptr;
    QWidget* odds = nullptr;
    QWidget* cyo = nullptr;
    std::unique_ptr<TRaceView> view;

    explicit Pages(const TSettings& settings = TSettings()) {
        window.resize(738, 496);
        auto* layout = new QVBoxLayout(&window);
        labelTitle = new QLabel(&window);
        labelTitle->setObjectName("LabelTitle");
        layout->addWidget(labelTitle);
        pageControl1 = new QTabWidget(&window);
        pageControl1->setObjectName("PageControl1");
        layout->addWidget(pageControl1, 1);
        yosou = new QWidget;
        odds = new QWidget;
        cyo = new QWidget;
        pageControl1->addTab(yosou, qsjis(toCp932("予　想")));
        pageControl1->addTab(odds, qsjis(toCp932("オッズ")));
        pageControl1->addTab(cyo, qsjis(toCp932("調　教")));
        view = std::make_unique<TRaceView>(yosou, odds, cyo, labelTitle);
        view->SetUpHeadings();
        view->SetUpWidths(settings);
    }
    ~Pages() { view.reset(); }

    void fill(TDaySession& session, int race) {
        session.PrepareRace(race, true);
        view->Fill(session);
    }
    TStrColGrid* grid(const char* name) const { return child<TStrColGrid>(window, name); }
    std::string kaime1() const {
        return child<QLabel>(window, "LabelKaime1")->text().toStdString();
    }
    std::string kaime2() const {
        return child<QLabel>(window, "LabelKaime2")->text().toStdString();
    }
};

std::string text(const TStrColGrid* grid, int col, int row) {
    return toUtf8(grid->Cells(col, row));
}

Strings column(const TStrColGrid* grid, int col) {
    Strings out;
    for (int row = 0; row < grid->RowCount(); ++row)
        out.push_back(text(grid, col, row));
    return out;
}

Strings row(const TStrColGrid* grid, int r) {
    Strings out;
    for (int col = 0; col < grid->ColCount(); ++col)
        out.push_back(text(grid, col, r));
    return out;
}

// Every cell's text, colours and alignment, to compare a grid with itself later.
struct Snapshot {
    std::vector<std::string> cells;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const TStrColGrid* grid) {
    Snapshot s;
    for (int r = 0; r < grid->RowCount(); ++r)
        for (int c = 0; c < grid->ColCount(); ++c)
            s.cells.push_back(std::to_string(c) + "," + std::to_string(r) + ":" + text(grid, c, r) +
                              "/" + std::to_string(grid->CellColor(c, r)) + "/" +
                              std::to_string(grid->CellFontColor(c, r)) + "/" +
                              std::to_string(grid->CellAlignment(c, r)));
    return s;
}

SampleDay dayOf(std::vector<SampleRace> races) {
    SampleDay day;
    day.races = std::move(races);
    return day;
}

// A horse name as the race data gives it: 18 bytes, blank-padded.
std::string name18(const char* utf8) {
    std::string cp932 = toCp932(utf8);
    cp932.resize(18, ' ');
    return toUtf8(cp932);
}

const std::vector<int> kEight{120, 110, 100, 90, 80, 70, 60, 50};
const std::vector<int> kNine{120, 110, 100, 90, 80, 70, 60, 50, 40};
const std::vector<int> kTwelve{120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 25, 20};

} // namespace

TEST(RaceView, EveryComponentCarriesItsName) {
    Pages p;
    const Strings names{"GridYosou",    "Panel3",       "LabelKaime1",  "LabelKaime2",
                        "Panel7",       "ToolBar2",     "Panel5",       "Panel6",
                        "GridBamei",    "Splitter2",    "PageControl2", "TabSheet2Tan",
                        "TabSheet2Uma", "TabSheet2Wid", "GridOddsTan",  "GridOddsWak",
                        "GridOddsUma",  "GridOddsWid",  "GridCyo"};
    for (const std::string& name : names)
        EXPECT_NE(p.window.findChild<QObject*>(QString::fromStdString(name)), nullptr) << name;
    EXPECT_TRUE(p.odds->isAncestorOf(p.grid("GridOddsWid")));
    EXPECT_EQ(p.view->ActionBamei()->objectName().toStdString(), "ActionBamei");
    EXPECT_EQ(p.view->ActionBamei()->text().toStdString(), "馬名の表示(&B)");
    EXPECT_TRUE(child<QToolBar>(p.window, "ToolBar2")->actions().contains(p.view->ActionBamei()));
    EXPECT_EQ(child<QLabel>(p.window, "Panel6")->text().toStdString(), "　馬　名");
    const QTabWidget* tabs = child<QTabWidget>(p.window, "PageControl2");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0).toStdString(), "単複・枠連");
    EXPECT_EQ(tabs->tabText(1).toStdString(), "馬連");
    EXPECT_EQ(tabs->tabText(2).toStdString(), "ワイド");
}

TEST(RaceView, HeadingSetUpOfThePredictionHorseNameAndTrainingGrids) {
    Pages p;
    const TStrColGrid* yosou = p.grid("GridYosou");
    EXPECT_EQ(yosou->ColCount(), 15);
    EXPECT_EQ(yosou->RowCount(), 2);
    EXPECT_EQ(yosou->FixedRows(), 1);
    EXPECT_EQ(yosou->FixedCols(), 0);
    EXPECT_EQ(row(yosou, 0), (Strings{"枠", "馬", "馬名", "性齢", "斤量", "騎手", "単勝", "Ｑ",
                                      "Ｐ", "", "5走前", "4走前", "3走前", "2走前", "前 走"}));
    std::vector<int> kinds;
    for (int col = 0; col < 15; ++col)
        kinds.push_back(yosou->ColSortKind(col));
    EXPECT_EQ(kinds, (std::vector<int>{2, 1, 0, 2, 1, 2, 1, 2, 2, 1, 2, 2, 2, 2, 2}));
    EXPECT_EQ(yosou->SortOpt(), soBoth);
    EXPECT_FALSE(yosou->FocusDraw());

    const TStrColGrid* bamei = p.grid("GridBamei");
    EXPECT_EQ(row(bamei, 0), (Strings{"枠", "馬", "馬名", "騎手"}));
    EXPECT_EQ(bamei->RowCount(), 2);
    EXPECT_EQ(bamei->FixedRows(), 1);
    EXPECT_EQ(bamei->FixedCols(), 0);

    const TStrColGrid* cyo = p.grid("GridCyo");
    EXPECT_EQ(cyo->ColCount(), 2);
    EXPECT_EQ(cyo->RowCount(), 1);
    EXPECT_EQ(cyo->FixedRows(), 0);
    EXPECT_FALSE(cyo->Options().vertLine);
    EXPECT_TRUE(cyo->Options().horzLine);
}

TEST(RaceView, WinGridHeadingsAndRunnerNumbers) {
    Pages p;
    const TStrColGrid* tan = p.grid("GridOddsTan");
    EXPECT_EQ(tan->ColCount(), 3);
    EXPECT_EQ(tan->RowCount(), 19);
    EXPECT_EQ(tan->FixedRows(), 0);
    EXPECT_EQ(tan->FixedCols(), 0);
    EXPECT_EQ(tan->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(tan->Alignment(), kAlignRight);
    EXPECT_TRUE(tan->Options().horzLine);
    EXPECT_FALSE(tan->Options().vertLine);
    EXPECT_EQ(row(tan, 0), (Strings{"馬番", "単勝", "複勝"}));
    const std::vector<TAlignment> headingAlignments{kAlignRight, kAlignCenter, kAlignCenter};
    for (int col = 0; col < 3; ++col) {
        EXPECT_EQ(tan->CellColor(col, 0), 0x0000FFu);
        EXPECT_EQ(tan->CellFontColor(col, 0), kWhite);
        EXPECT_EQ(tan->CellAlignment(col, 0), headingAlignments[static_cast<std::size_t>(col)]);
    }
    for (int r = 1; r <= 18; ++r) {
        EXPECT_EQ(text(tan, 0, r), std::to_string(r));
        EXPECT_EQ(tan->CellColor(0, r), 0x008000u);
        EXPECT_EQ(tan->CellFontColor(0, r), kWhite);
    }
    EXPECT_EQ(tan->ColSortKind(0), kSortNumber);
    EXPECT_EQ(tan->ColSortKind(1), kSortNumber);
    EXPECT_EQ(tan->ColSortKind(2), kSortText);
}

// The bracket pairs folded into half the height: headings in capitals, second brackets
// as digits, odds cells as '.'.
TEST(RaceView, BracketGridFoldsThePairs) {
    Pages p;
    const Strings layout{
        "_H_H_H_H", // H: headings 1 2 3 4
        "1.2.3.4.", "2.3.4.5.", "3.4.5.6.", "4.5.6.7.", "5.6.7.8.", "6.7.8.__",
        "7.8.___H", "8.___H5.", "___H6.6.", "_H7.7.7.", "8.8.8.8.",
    };
    const std::vector<std::vector<int>> headings{{1, 2, 3, 4}, {},  {},  {},  {},  {},
                                                 {},           {5}, {6}, {7}, {8}, {}};
    const TStrColGrid* wak = p.grid("GridOddsWak");
    ASSERT_EQ(wak->ColCount(), 8);
    ASSERT_EQ(wak->RowCount(), 12);
    EXPECT_FALSE(wak->Options().horzLine);
    EXPECT_FALSE(wak->Options().vertLine);
    for (int r = 0; r < 12; ++r) {
        std::size_t h = 0;
        for (int c = 0; c < 8; ++c) {
            const char kind = layout[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
            if (kind == 'H') {
                EXPECT_EQ(text(wak, c, r),
                          std::to_string(headings[static_cast<std::size_t>(r)][h++]));
                EXPECT_EQ(wak->CellColor(c, r), 0xFF0000u);
                EXPECT_EQ(wak->CellFontColor(c, r), kWhite);
                EXPECT_EQ(wak->CellAlignment(c, r), kAlignCenter);
            } else if (kind >= '1' && kind <= '8') {
                EXPECT_EQ(text(wak, c, r), std::string(1, kind));
                EXPECT_EQ(wak->CellColor(c, r), 0x008000u);
                EXPECT_EQ(wak->CellFontColor(c, r), kWhite);
                EXPECT_EQ(wak->CellAlignment(c, r), kAlignCenter);
            } else {
                EXPECT_EQ(text(wak, c, r), "");
            }
        }
    }
}

TEST(RaceView, QuinellaAndWideGridsFoldEighteenRunners) {
    Pages p;
    struct Case {
        const TStrColGrid* grid;
        TColor numberBackground;
        TColor numberText;
    };
    for (const Case& c : {Case{p.grid("GridOddsUma"), 0xFFFF00, 0x000000},
                          Case{p.grid("GridOddsWid"), 0x0000FF, 0xFFFFFF}}) {
        const TStrColGrid* g = c.grid;
        SCOPED_TRACE(g->objectName().toStdString());
        ASSERT_EQ(g->ColCount(), 18);
        ASSERT_EQ(g->RowCount(), 20);
        // column pair 0: heading 1, partners 2 to 18, no lower heading
        EXPECT_EQ(column(g, 1)[0], "1");
        const Strings col0 = column(g, 0);
        const Strings first(col0.begin() + 1, col0.begin() + 18);
        EXPECT_EQ(first, (Strings{"2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
                                  "14", "15", "16", "17", "18"}));
        EXPECT_EQ(text(g, 0, 18), "");
        EXPECT_EQ(text(g, 1, 19), "");
        // column pair 8: heading 9 over 10 to 18, heading 10 at row 11 over 11 to 18
        EXPECT_EQ(column(g, 16),
                  (Strings{"", "10", "11", "12", "13", "14", "15", "16", "17", "18",
                           "", "",   "11", "12", "13", "14", "15", "16", "17", "18"}));
        EXPECT_EQ(text(g, 17, 0), "9");
        EXPECT_EQ(text(g, 17, 11), "10");
        EXPECT_EQ(text(g, 17, 10), "");
        // column pair 1: heading 17 at row 18 over runner 18
        EXPECT_EQ(text(g, 3, 18), "17");
        EXPECT_EQ(text(g, 2, 19), "18");
        EXPECT_EQ(g->CellColor(17, 11), 0xFF0000u);
        EXPECT_EQ(g->CellFontColor(17, 11), kWhite);
        EXPECT_EQ(g->CellAlignment(17, 11), kAlignCenter);
        EXPECT_EQ(g->CellColor(16, 12), c.numberBackground);
        EXPECT_EQ(g->CellFontColor(16, 12), c.numberText);
        EXPECT_EQ(g->CellAlignment(16, 12), kAlignRight);
    }
}

TEST(RaceView, PredictionRowsHeadingAndColumnTexts) {
    OutputDay d(dayOf({FormRace("04", 1)}));
    Pages p;
    p.fill(d.session(), 0);
    const std::string heading = toUtf8(d.session().Race().RaceHeading());
    QString expected = QString::fromStdString(heading);
    expected.replace("\r\n", "\n");
    EXPECT_EQ(p.labelTitle->text(), expected);
    EXPECT_EQ(p.labelTitle->text().count('\n'), 1);

    const TStrColGrid* yosou = p.grid("GridYosou");
    ASSERT_EQ(yosou->RowCount(), 4);
    EXPECT_EQ(row(yosou, 1), (Strings{"1 ", "1", name18("アオバ"), "牡4", "55", "騎手", "  1.5", "",
                                      "◎", "1", "120", "120", "+120", "+120", "+120"}));
    EXPECT_EQ(row(yosou, 3), (Strings{"3 ", "3", name18("ウメ"), "牡4", "55", "騎手", "  3.5", "",
                                      "▲", "3", "100", "100", "100", "100", "100"}));
    for (int col = 0; col < 15; ++col) {
        const bool right = col == 0 || col == 1 || col == 6 || col >= 10;
        EXPECT_EQ(yosou->CellAlignment(col, 2), right ? kAlignRight : kAlignLeft) << col;
        EXPECT_EQ(yosou->CellAlignment(col, 0), kAlignLeft) << col;
    }
    // bracket 2 is black with white text
    EXPECT_EQ(yosou->CellColor(0, 2), 0x000000u);
    EXPECT_EQ(yosou->CellFontColor(0, 2), kWhite);
}

TEST(RaceView, BlinkersAndBracketColours) {
    SampleRace race = FormRace("04", 1, kEight);
    race.runners[2].blinkers = "1";
    OutputDay d(dayOf({race}));
    Pages p;
    p.fill(d.session(), 0);
    const TStrColGrid* yosou = p.grid("GridYosou");
    EXPECT_EQ(text(yosou, 0, 3), "3B");
    EXPECT_EQ(yosou->CellColor(0, 3), 0xFF0000u);
    EXPECT_EQ(yosou->CellFontColor(0, 3), kWhite);
    EXPECT_EQ(text(yosou, 0, 4), "4 ");
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(yosou->CellColor(0, r),
                  BracketColors[static_cast<std::size_t>(r - 1)].background);
        EXPECT_EQ(yosou->CellFontColor(0, r), BracketColors[static_cast<std::size_t>(r - 1)].text);
    }
    // the horse-name pane repeats the bracket digit, centred, in the same colours
    const TStrColGrid* bamei = p.grid("GridBamei");
    ASSERT_EQ(bamei->RowCount(), 9);
    EXPECT_EQ(row(bamei, 3), (Strings{"3", "3", name18("ウメ"), "騎手"}));
    EXPECT_EQ(bamei->CellAlignment(0, 3), kAlignCenter);
    EXPECT_EQ(bamei->CellAlignment(1, 3), kAlignRight);
    EXPECT_EQ(bamei->CellColor(0, 3), 0xFF0000u);
    EXPECT_EQ(bamei->CellFontColor(0, 3), kWhite);
}

TEST(RaceView, BetAndOddsLinesStandUnderEachOther) {
    struct Case {
        const char* name;
        std::vector<int> figures;
        SampleRaceOdds odds;
        const char* bets;
        const char* oddsLine;
        bool noBetRace = false;
    };
    const std::vector<Case> cases{
        {"eight runners: bracket quinella",
         kEight,
         {},
         "<買い目> 枠番連勝      12     13     14     15     16     23",
         "<オッズ> RUV予想     21.2   21.3   21.4   21.5   21.6   22.3"},
        {"nine runners: quinella",
         kNine,
         {},
         "<買い目> 馬番連勝    1- 2   1- 3   1- 4   1- 5   1- 6   2- 3",
         "<オッズ> RUV予想    310.2  310.3  310.4  310.5  310.6  320.3"},
        {"a bet without odds", kEight, BracketOddsText(1, 3, "    "),
         "<買い目> 枠番連勝      12     13     14     15     16     23",
         "<オッズ> RUV予想     21.2      -   21.4   21.5   21.6   22.3"},
        {"no odds", kEight, NoOdds(),
         "<買い目> 枠番連勝      12     13     14     15     16     23", ""},
        {"no bets, odds loaded", {0, 0, 0, 0, 0, 0, 0, 0}, {}, "<買い目> 見送り", ""},
        {"no bets, no odds", {0, 0, 0, 0, 0, 0, 0, 0}, NoOdds(), "<買い目> 見送り", ""},
        {"kept out of betting by the service", kNine, {}, "<買い目> 見送り", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputDay d(dayOf({FormRace("04", 1, c.figures, c.noBetRace)}), {c.odds});
        Pages p;
        p.fill(d.session(), 0);
        EXPECT_EQ(p.kaime1(), c.bets);
        EXPECT_EQ(p.kaime2(), c.oddsLine);
        if (c.odds.absent) {
            const Strings win = column(p.grid("GridYosou"), 6);
            EXPECT_EQ(Strings(win.begin() + 1, win.end()), Strings(c.figures.size(), "0.0"));
            EXPECT_EQ(text(p.grid("GridOddsTan"), 1, 1), ""); // the cleared state stays
        }
        // each odds value ends where its bet ends
        const std::string bets = toCp932(c.bets);
        const std::string odds = toCp932(c.oddsLine);
        if (!odds.empty()) {
            EXPECT_EQ(bets.size(), odds.size());
        }
    }
}

TEST(RaceView, AScratchedRunnerHasADashAsWinOdds) {
    OutputDay d(dayOf({FormRace("04", 1, kEight)}), {WinOddsText(4, "     ")});
    Pages p;
    p.fill(d.session(), 0);
    EXPECT_EQ(column(p.grid("GridYosou"), 6), (Strings{"単勝", "  1.5", "  2.5", "  3.5", "-",
                                                       "  5.5", "  6.5", "  7.5", "  8.5"}));
    EXPECT_EQ(text(p.grid("GridOddsTan"), 1, 4), "-");
    EXPECT_EQ(p.grid("GridOddsTan")->CellColor(1, 4), kWhite);
}

TEST(RaceView, OddsGridsOfATwelveRunnerRace) {
    OutputDay d(dayOf({FormRace("04", 1, kTwelve)}));
    d.useRxFile({});
    Pages p;
    p.fill(d.session(), 0);
    ASSERT_EQ(d.session().Odds().Count(), 12);
    const TStrColGrid* tan = p.grid("GridOddsTan");
    ASSERT_EQ(tan->RowCount(), 13);
    // RX odds: win 10p+5 tenths, place 10+p to 17+p tenths
    EXPECT_EQ(row(tan, 1), (Strings{"1", "  1.5", "  1.1 -  1.8"}));
    EXPECT_EQ(row(tan, 12), (Strings{"12", " 12.5", "  2.2 -  2.9"}));
    EXPECT_EQ(tan->CellColor(1, 1), 0xFFFF99u);
    EXPECT_EQ(tan->CellColor(1, 12), 0x99FF99u);
    EXPECT_EQ(tan->CellColor(2, 12), 0xFFFF99u); // by the lower bound

    const TStrColGrid* uma = p.grid("GridOddsUma");
    EXPECT_EQ(text(uma, 17, 11), "10");
    EXPECT_EQ(text(uma, 16, 13), "12");
    EXPECT_EQ(text(uma, 17, 13), " 401.2"); // pair (10, 12)
    EXPECT_EQ(text(uma, 1, 1), " 310.2");   // pair (1, 2)
    EXPECT_EQ(text(uma, 1, 11), " 311.2");  // pair (1, 12)
    EXPECT_EQ(text(uma, 1, 12), "");        // beyond the field
    EXPECT_EQ(uma->CellColor(17, 13), kWhite);

    // RX wide: lower 1000 + 100i + j tenths, upper 5 tenths more
    const TStrColGrid* wid = p.grid("GridOddsWid");
    EXPECT_EQ(text(wid, 1, 1), " 110- 111");
    EXPECT_EQ(text(wid, 17, 13), " 201- 202");

    // brackets of a twelve-runner field
    const TStrColGrid* wak = p.grid("GridOddsWak");
    EXPECT_EQ(text(wak, 1, 1), " 21.1 ");  // (1, 1)
    EXPECT_EQ(text(wak, 1, 8), " 21.8 ");  // (1, 8)
    EXPECT_EQ(text(wak, 7, 11), " 25.8 "); // (5, 8)
    EXPECT_EQ(text(wak, 1, 11), " 28.8 "); // (8, 8)
}

// Odds the sources never write in the sample files: set by hand into the container.
TEST(RaceView, OddsBandsAndWideTexts) {
    OutputDay d(dayOf({FormRace("04", 1, kTwelve)}));
    d.session().PrepareRace(0, false);
    TOdds odds;
    odds.Init(12);
    odds.SetSourceText("TEST");
    struct Band {
        float v;
        const char* text;
        TColor colour;
    };
    const std::vector<Band> bands{
        {0.5f, "  0.5", 0xFFFFFF},   {1.0f, "  1.0", 0xFFFF99},  {4.9f, "  4.9", 0xFFFF99},
        {5.0f, "  5.0", 0x99FFFF},   {9.9f, "  9.9", 0x99FFFF},  {10.0f, " 10.0", 0x99FF99},
        {19.9f, " 19.9", 0x99FF99},  {20.0f, " 20.0", 0xFFFFFF}, {-1.0f, "-", 0xFFFFFF},
        {999.9f, "999.9", 0xFFFFFF},
    };
    for (std::size_t i = 0; i < bands.size(); ++i)
        odds.SetOddsA(TBetKind::Win, static_cast<int>(i) + 1, bands[i].v);
    odds.SetOddsA(TBetKind::PlaceLower, 1, -1);
    odds.SetOddsA(TBetKind::PlaceLower, 2, 5.0f);
    odds.SetOddsA(TBetKind::PlaceUpper, 2, 12.5f);
    odds.SetOddsB(TBetKind::WideLower, 1, 2, 123.4f);
    odds.SetOddsB(TBetKind::WideUpper, 1, 2, 256.0f);
    odds.SetOddsB(TBetKind::WideLower, 1, 3, 12.3f);
    odds.SetOddsB(TBetKind::WideUpper, 1, 3, 45.6f);
    odds.SetOddsB(TBetKind::WideLower, 1, 4, -1);
    odds.SetOddsB(TBetKind::WideLower, 1, 5, 99.5f);
    odds.SetOddsB(TBetKind::WideUpper, 1, 5, 100.0f);
    odds.SetOddsB(TBetKind::Quinella, 1, 2, -1);
    odds.SetOddsB(TBetKind::BracketQuinella, 2, 3, 5.0f);
    odds.SetOddsB(TBetKind::BracketQuinella, 3, 3, -1);

    Pages p;
    p.view->Fill(d.session().Race(), d.session().Focus(), odds);
    const TStrColGrid* tan = p.grid("GridOddsTan");
    for (std::size_t i = 0; i < bands.size(); ++i) {
        SCOPED_TRACE(bands[i].text);
        const int runner = static_cast<int>(i) + 1;
        EXPECT_EQ(text(tan, 1, runner), bands[i].text);
        EXPECT_EQ(tan->CellColor(1, runner), bands[i].colour);
        EXPECT_EQ(text(p.grid("GridYosou"), 6, runner), bands[i].text);
    }
    EXPECT_EQ(text(tan, 2, 1), "");
    EXPECT_EQ(tan->CellColor(2, 1), kWhite);
    EXPECT_EQ(text(tan, 2, 2), "  5.0 - 12.5");
    EXPECT_EQ(tan->CellColor(2, 2), 0x99FFFFu);

    const TStrColGrid* wid = p.grid("GridOddsWid");
    EXPECT_EQ(text(wid, 1, 1), " 123- 256");
    EXPECT_EQ(wid->CellColor(1, 1), kWhite);
    EXPECT_EQ(text(wid, 1, 2), "12.3-45.6");
    EXPECT_EQ(wid->CellColor(1, 2), 0x99FF99u);
    EXPECT_EQ(text(wid, 1, 3), "-");
    EXPECT_EQ(text(wid, 1, 4), "99.5- 100");
    EXPECT_EQ(text(p.grid("GridOddsUma"), 1, 1), "-");
    EXPECT_EQ(text(p.grid("GridOddsWak"), 3, 2), "  5.0 "); // (2, 3)
    EXPECT_EQ(p.grid("GridOddsWak")->CellColor(3, 2), 0x99FFFFu);
    EXPECT_EQ(text(p.grid("GridOddsWak"), 5, 1), ""); // (3, 3) has no odds
    EXPECT_EQ(p.grid("GridOddsWak")->CellColor(5, 1), kWhite);
    // the bets of this field are quinellas: pair (1, 2) has none
    const std::string first = "<オッズ> TEST     " + std::string("      -");
    EXPECT_EQ(p.kaime2().substr(0, first.size()), first);
}

// A bracket alone in its bracket has no pair with itself: blanks in the odds file.
TEST(RaceView, SmallFieldFillsOnlyItsBracketPairs) {
    SampleRaceOdds odds;
    for (int b = 1; b <= 6; ++b)
        odds.bracket[{b, b}] = "    ";
    OutputDay d(dayOf({FormRace("04", 1, {120, 110, 100, 90, 80, 70})}), {odds});
    Pages p;
    const Snapshot uma = snapshot(p.grid("GridOddsUma"));
    const Snapshot wid = snapshot(p.grid("GridOddsWid"));
    p.fill(d.session(), 0);
    struct Cell {
        int col;
        int row;
        const char* text;
    };
    const std::vector<Cell> cells{
        {1, 2, " 21.2 "}, {1, 6, " 21.6 "}, {7, 3, " 24.6 "}, {7, 9, " 25.6 "}, // pairs
        {1, 1, ""},       {5, 1, ""},       {7, 8, ""},       {5, 9, ""},       // with itself
        {1, 7, ""},       {7, 4, ""},       {7, 10, ""},      {5, 10, ""},      // beyond 6
    };
    const TStrColGrid* wak = p.grid("GridOddsWak");
    for (const Cell& c : cells) {
        EXPECT_EQ(text(wak, c.col, c.row), c.text) << c.col << "," << c.row;
        EXPECT_EQ(wak->CellColor(c.col, c.row), kWhite) << c.col << "," << c.row;
    }
    EXPECT_EQ(snapshot(p.grid("GridOddsUma")), uma);
    EXPECT_EQ(snapshot(p.grid("GridOddsWid")), wid);
    EXPECT_EQ(p.grid("GridOddsTan")->RowCount(), 7);
}

TEST(RaceView, TrainingRowsInRunnerOrder) {
    SampleRace race = FormRace("04", 1, {120, 110, 100, 90, 80, 70, 60, 50, 40, 30});
    SampleTraining t;
    t.columnA = "助手";
    t.date = "20010125";
    t.columnB = "美坂";
    t.columnC = "良";
    t.laps = {"52.1", "38.0", "12.5", "", "", "", ""};
    t.columnE = "馬也";
    race.runners[0].training[0] = t;
    race.runners[0].training[1] = t;
    race.runners[9].training[0] = t;
    OutputDay d(dayOf({race}));
    Pages p;
    p.fill(d.session(), 0);
    const TRaceBase& source = d.session().Race();
    std::vector<std::string> first;
    std::vector<std::string> tenth;
    ASSERT_EQ(source.TrainingLines(0, first), 2);
    ASSERT_EQ(source.TrainingLines(9, tenth), 1);

    const TStrColGrid* cyo = p.grid("GridCyo");
    Strings expected{"枠 1番 " + name18("アオバ"), toUtf8(first[0]), toUtf8(first[1])};
    const std::vector<const char*> names{"イチゴ", "ウメ",     "エノキ", "オトメ",
                                         "カエデ", "キキョウ", "クルミ", "ケヤキ"};
    for (int r = 2; r <= 9; ++r)
        expected.push_back("枠 " + std::to_string(r) + "番 " +
                           name18(names[static_cast<std::size_t>(r - 2)]));
    expected.push_back("枠10番 " + name18("アオバ")); // the runner number, not bracket 8
    expected.push_back(toUtf8(tenth[0]));
    EXPECT_EQ(column(cyo, 1), expected);
    EXPECT_EQ(column(cyo, 0),
              (Strings{"1", "", "", "2", "3", "4", "5", "6", "7", "8", "8", "8", ""}));
    for (int r : {0, 11}) {
        EXPECT_EQ(cyo->CellColor(1, r), 0xC8FFFFu);
        EXPECT_EQ(cyo->CellAlignment(0, r), kAlignCenter);
    }
    EXPECT_EQ(cyo->CellColor(0, 0), BracketColors[0].background);
    EXPECT_EQ(cyo->CellColor(0, 11), BracketColors[7].background);
    EXPECT_EQ(cyo->CellFontColor(0, 3), BracketColors[1].text);
    EXPECT_EQ(cyo->CellColor(1, 1), cyo->Color());
}

TEST(RaceView, ClearGoesBackToTheHeadingSetUp) {
    Pages p;
    const TStrColGrid* grids[] = {p.grid("GridOddsTan"), p.grid("GridOddsWak"),
                                  p.grid("GridOddsUma"), p.grid("GridOddsWid")};
    std::vector<Snapshot> before;
    for (const TStrColGrid* g : grids)
        before.push_back(snapshot(g));

    OutputDay d(dayOf({FormRace("04", 1, kTwelve), FormRace("04", 2, {120, 110, 100, 90, 80}),
                       FormRace("04", 3, kTwelve)}),
                {{}, {}, NoOdds()});
    d.useRxFile({{}, {}, NoOdds()});
    p.fill(d.session(), 0);
    EXPECT_NE(snapshot(p.grid("GridOddsWid")), before[3]);
    p.grid("GridOddsTan")->SortByColumn(1); // the user sorted the win odds
    p.grid("GridOddsTan")->SortByColumn(1);
    p.fill(d.session(), 1); // five runners: the win grid is cut to six rows
    p.fill(d.session(), 2); // no odds: the cleared state shows
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(snapshot(grids[i]), before[i]) << grids[i]->objectName().toStdString();

    p.view->Clear();
    EXPECT_EQ(p.labelTitle->text(), "");
    EXPECT_EQ(p.kaime1(), "");
    EXPECT_EQ(p.kaime2(), "");
    const TStrColGrid* yosou = p.grid("GridYosou");
    EXPECT_EQ(yosou->RowCount(), 2);
    EXPECT_EQ(row(yosou, 1), Strings(15, ""));
    EXPECT_EQ(yosou->CellColor(0, 1), yosou->Color());
    EXPECT_EQ(text(yosou, 2, 0), "馬名");
    EXPECT_EQ(p.grid("GridBamei")->RowCount(), 2);
    EXPECT_EQ(row(p.grid("GridBamei"), 1), Strings(4, ""));
    EXPECT_EQ(p.grid("GridCyo")->RowCount(), 1);
    EXPECT_EQ(row(p.grid("GridCyo"), 0), Strings(2, ""));
    EXPECT_EQ(p.grid("GridCyo")->CellColor(1, 0), kWhite);
    EXPECT_EQ(p.grid("GridCyo")->CellColor(0, 0), kWhite);
}

TEST(RaceView, FillWithoutADayOrPredictionIsRefused) {
    TSettings settings;
    TDaySession session(settings);
    Pages p;
    EXPECT_THROW(p.view->Fill(session), std::logic_error);
    EXPECT_EQ(p.grid("GridYosou")->RowCount(), 2);
}

TEST(RaceView, EveryRaceOfTheDemoDay) {
    TWorkFolder folder;
    const std::filesystem::path archive = WriteDemoDay(folder.path());
    TSettings settings;
    settings.Folder.Time = (folder.path() / "time" / "").string();
    TDaySession session(settings);
    session.FocusCreate();
    session.OpenDay(archive.string());
    Pages p(settings);
    int withOdds = 0;
    for (int i = 0; i < session.Race().RaceCount(); ++i) {
        SCOPED_TRACE(i);
        p.fill(session, i);
        const TRaceBase& race = session.Race();
        const int n = race.RunnerCount();
        const TStrColGrid* yosou = p.grid("GridYosou");
        ASSERT_EQ(yosou->RowCount(), n + 1);
        EXPECT_EQ(p.grid("GridBamei")->RowCount(), n + 1);
        int trainingRows = 0;
        std::vector<std::string> lines;
        for (int r = 0; r < n; ++r) {
            trainingRows += 1 + race.TrainingLines(r, lines);
            EXPECT_EQ(text(yosou, 1, r + 1), std::to_string(r + 1));
            const TBracketColor& colour =
                BracketColors[static_cast<std::size_t>(race.BracketNo(r) - 1)];
            EXPECT_EQ(yosou->CellColor(0, r + 1), colour.background);
        }
        EXPECT_EQ(p.grid("GridCyo")->RowCount(), trainingRows);
        const int betCount = session.Focus().BetCount();
        std::string bets = betCount == 0 ? "見送り" : n > 8 ? "馬番連勝 " : "枠番連勝 ";
        for (int b = 0; b < betCount; ++b)
            bets += "  " + session.Focus().BetText(b);
        EXPECT_EQ(p.kaime1(), "<買い目> " + bets);
        const bool odds = session.Odds().Count() != 0;
        withOdds += odds;
        EXPECT_EQ(p.kaime2().empty(), betCount == 0 || !odds);
        EXPECT_EQ(p.grid("GridOddsTan")->RowCount(), odds ? n + 1 : 19);
    }
    EXPECT_GT(withOdds, 30);
}

TEST(RaceView, FontSizeChangeWidensEveryColumn) {
    TSettings small;
    small.Font.Size = 9;
    small.Font.SizeOdds = 8;
    TSettings large;
    large.Font.Size = 16;
    large.Font.SizeOdds = 14;
    Pages p(small);
    const TStrColGrid* grids[] = {
        p.grid("GridYosou"),   p.grid("GridOddsTan"), p.grid("GridOddsWak"), p.grid("GridOddsUma"),
        p.grid("GridOddsWid"), p.grid("GridBamei"),   p.grid("GridCyo")};
    std::vector<std::vector<int>> widths;
    std::vector<int> heights;
    for (const TStrColGrid* g : grids) {
        std::vector<int> w;
        for (int c = 0; c < g->ColCount(); ++c)
            w.push_back(g->ColWidths(c));
        widths.push_back(w);
        heights.push_back(g->RowHeights(0));
    }
    const int tanWidth = p.grid("GridOddsTan")->width();
    p.view->SetUpWidths(large);
    for (std::size_t i = 0; i < std::size(grids); ++i) {
        const TStrColGrid* g = grids[i];
        SCOPED_TRACE(g->objectName().toStdString());
        for (int c = 0; c < g->ColCount(); ++c)
            EXPECT_GT(g->ColWidths(c), widths[i][static_cast<std::size_t>(c)]) << c;
        EXPECT_GT(g->RowHeights(0), heights[i]);
        EXPECT_EQ(g->RowHeights(g->RowCount() - 1), g->RowHeights(0));
    }
    EXPECT_EQ(p.grid("GridCyo")->font().pointSize(), 16);
    EXPECT_EQ(p.grid("GridBamei")->font().pointSize(), 14);
    EXPECT_EQ(p.grid("GridYosou")->font().family().toStdString(), "IPAGothic");
    // the win grid's own width: its columns and room for the scroll bar
    const TStrColGrid* tan = p.grid("GridOddsTan");
    EXPECT_GT(tan->width(), tanWidth);
    EXPECT_EQ(tan->width(), tan->ColWidths(0) + tan->ColWidths(1) + tan->ColWidths(2) + 20);
    // a full-width horse name of nine characters fits its column
    const QFontMetrics m(p.grid("GridYosou")->font());
    EXPECT_EQ(p.grid("GridYosou")->ColWidths(2),
              m.horizontalAdvance(qsjis(toCp932("ＸＸＸＸＸＸＸＸＸ"))) + 4);
}

TEST(RaceView, HorseNamePaneFollowsActionBamei) {
    Pages p;
    QAction* action = p.view->ActionBamei();
    EXPECT_FALSE(action->isEnabled());
    EXPECT_TRUE(action->isChecked());
    EXPECT_FALSE(child<QWidget>(p.window, "Panel5")->isHidden());
    p.view->ActionBameiExecute();
    EXPECT_FALSE(action->isChecked());
    EXPECT_TRUE(child<QWidget>(p.window, "Panel5")->isHidden());
    EXPECT_TRUE(child<TSplitter>(p.window, "Splitter2")->isHidden());
    p.view->ActionBameiExecute();
    EXPECT_TRUE(action->isChecked());
    EXPECT_FALSE(child<QWidget>(p.window, "Panel5")->isHidden());
    EXPECT_FALSE(child<TSplitter>(p.window, "Splitter2")->isHidden());
    // the window sets the check from the stored Bamei flag
    action->setChecked(false);
    EXPECT_TRUE(child<QWidget>(p.window, "Panel5")->isHidden());
    // a disabled command does nothing when triggered
    action->trigger();
    EXPECT_FALSE(action->isChecked());

    // Split2: kept while the pane is hidden
    p.view->setBameiWidth(150);
    EXPECT_EQ(p.view->bameiWidth(), 150);
    action->setChecked(true);
    p.window.show();
    EXPECT_EQ(p.view->bameiWidth(), 150);
    EXPECT_EQ(child<QWidget>(p.window, "Panel5")->width(), 150);
}

TEST(RaceView, ActionBameiIsEnabledOnTheOddsPage) {
    Pages p;
    QAction* action = p.view->ActionBamei();
    p.window.show();
    EXPECT_FALSE(action->isEnabled()); // the prediction page is active
    p.pageControl1->setCurrentWidget(p.odds);
    EXPECT_TRUE(action->isEnabled());
    // the menu opens: enabled only on the odds page while a day is open
    p.view->MShowClick(false);
    EXPECT_FALSE(action->isEnabled());
    p.view->MShowClick(true);
    EXPECT_TRUE(action->isEnabled());
    p.pageControl1->setCurrentWidget(p.yosou);
    p.view->MShowClick(true);
    EXPECT_FALSE(action->isEnabled());
    p.pageControl1->setCurrentWidget(p.cyo);
    EXPECT_FALSE(action->isEnabled());
    p.pageControl1->setCurrentWidget(p.odds);
    EXPECT_TRUE(action->isEnabled());
}

TEST(RaceView, DraggingSplitter2SetsThePaneWidth) {
    Pages p;
    p.window.resize(738, 496);
    p.pageControl1->setCurrentWidget(p.odds);
    p.window.show();
    TSplitter* bar = child<TSplitter>(p.window, "Splitter2");
    auto send = [bar](QEvent::Type type, int dx, Qt::MouseButtons buttons) {
        const QPointF local(1, 10);
        const QPointF global = bar->mapToGlobal(local) + QPointF(dx, 0);
        QMouseEvent event(type, local + QPointF(dx, 0), global, Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(bar, &event);
    };
    const int start = p.view->bameiWidth();
    ASSERT_EQ(start, 113);
    send(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    send(QEvent::MouseMove, 40, Qt::LeftButton);
    EXPECT_EQ(p.view->bameiWidth(), 153);
    send(QEvent::MouseMove, -500, Qt::LeftButton);
    EXPECT_EQ(p.view->bameiWidth(), bar->MinSize);
    send(QEvent::MouseButtonRelease, -500, Qt::NoButton);
    send(QEvent::MouseMove, 40, Qt::NoButton); // no button held: nothing moves
    EXPECT_EQ(p.view->bameiWidth(), bar->MinSize);
    // the area right of the bar keeps its minimum
    send(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    send(QEvent::MouseMove, 5000, Qt::LeftButton);
    const QWidget* area = bar->parentWidget();
    EXPECT_EQ(p.view->bameiWidth(), area->width() - TSplitter::kWidth - bar->MinSize);
}
