#include "gui/window/Main.h"

#include "support/gui/NamedChild.h"
#include "WindowFixture.h"
#include "session/Settings.h"
#include "gui/dialogs/ChartView.h"
#include "gui/dialogs/LedgerTableView.h"
#include "gui/dialogs/LedgerWindow.h"
#include "gui/dialogs/Wait.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/StrCGrid.h"
#include "ledger/LedgerTables.h"
#include "ledger/MarketTables.h"
#include "ledger/SeasonLedger.h"
#include "ledger/SeasonReplay.h"
#include "ledger/WhatIf.h"
#include "platform/WorkFolder.h"
#include "sampleday/SampleSeason.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QScrollArea>
#include <QTreeWidget>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Runs trigger while the modal dialog it opens is answered by answer.
void withModal(const std::function<void()>& trigger,
               const std::function<void(QFileDialog&)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
    trigger();
}

// Chooses folder in a folder dialog, after checking where it started.
std::function<void(QFileDialog&)> choose(const char* name, const fs::path& start,
                                         const fs::path& folder) {
    return [=](QFileDialog& dialog) {
        EXPECT_EQ(dialog.objectName().toStdString(), name);
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), start.string());
        dialog.setDirectory(QString::fromStdString(folder.string()));
        static_cast<QDialog&>(dialog).accept();
    };
}

// A generated season of two days at one venue, written once for these tests.
class LedgerCommandTest : public WindowTest {
protected:
    static void SetUpTestSuite() {
        s_season = std::make_unique<TWorkFolder>();
        WriteSampleSeason(s_season->path(), {2, 1});
    }
    static void TearDownTestSuite() { s_season.reset(); }

    fs::path season() const { return s_season->path(); }
    fs::path out() const { return folder() / "out"; }
    fs::path store() const { return folder() / "season.sqlite"; }

    // seasonLines: more lines of the section [Season]
    std::unique_ptr<TFormMain> seasonWindow(const std::string& seasonLines = {}) {
        fs::create_directories(out());
        // each test with a store of its own
        writeIni("[Folder]\r\nInDenm=" + season().string() + "/\r\nOutTxt=" + out().string() +
                 "/\r\nTime=" + season().string() +
                 "/time/\r\n[Season]\r\nStore=" + store().string() + "\r\n" + seasonLines);
        auto w = makeWindow();
        useForms(*w);
        w->show();
        return w;
    }

    static std::unique_ptr<TWorkFolder> s_season;
};

std::unique_ptr<TWorkFolder> LedgerCommandTest::s_season;

void expectGridShows(const TStrColGrid& grid, const TLedgerTable& table) {
    ASSERT_EQ(grid.RowCount(), static_cast<int>(table.rows.size()) + 1);
    ASSERT_EQ(grid.ColCount(), static_cast<int>(table.headings.size()));
    for (int col = 0; col < grid.ColCount(); ++col) {
        EXPECT_EQ(grid.Cells(col, 0), table.headings[static_cast<std::size_t>(col)]);
        for (int row = 1; row < grid.RowCount(); ++row)
            EXPECT_EQ(grid.Cells(col, row),
                      table.rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col)])
                << col << "," << row;
    }
}

} // namespace

TEST_F(LedgerCommandTest, TheLedgerOfAChosenFolderOpensInItsOwnWindowAndSavesItsFiles) {
    auto w = seasonWindow();
    QAction* action = child<QAction>(*w, "ActionLedger");
    withModal([action] { action->trigger(); }, choose("FolderDialogLedger", season(), season()));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    const TFormWait* wait = child<TFormWait>(*w, "FormWait");
    EXPECT_EQ(child<QProgressBar>(*wait, "ProgressBar1")->maximum(), 2); // counted by day
    EXPECT_EQ(child<QLabel>(*wait, "Label2")->text(), u("処理数  2/2"));
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(w->isEnabled());

    const TFormLedger* ledger = child<TFormLedger>(*w, "FormLedger");
    EXPECT_TRUE(ledger->isVisible());
    // what the toolkit-free ledger computes for the same folder and settings
    const TLedgerSummary summary =
        Summarize(TSeasonLedger(m_settings, season(), {}, folder() / "check.sqlite").Run());
    EXPECT_EQ(child<QLabel>(*ledger, "LabelOverview")->text(), qsjis(OverviewText(summary)));
    EXPECT_EQ(child<QLabel>(*ledger, "LabelNote")->text(), qsjis(SnapshotNote()));
    expectGridShows(*child<TStrColGrid>(*ledger, "GridMarks"), MarkTable(summary));
    expectGridShows(*child<TStrColGrid>(*ledger, "GridBets"), BetTable(summary));
    // the comparison with the market on its tab: each table with its sentence, and the
    // reliability chart
    auto* tabs = child<QTabWidget>(*ledger, "TabsLedger");
    QWidget* market = child<QWidget>(*ledger, "PageMarket");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                      tabs->tabBar()->tabRect(tabs->indexOf(market)).center());
    ASSERT_EQ(tabs->currentWidget(), market);
    const std::vector<TMarketPart> parts = MarketParts(summary.market);
    const char* const names[] = {"Favourite", "Difference", "OddsBands", "Fit", "Reliability"};
    ASSERT_EQ(parts.size(), std::size(names));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const std::string name = names[i];
        EXPECT_EQ(child<QLabel>(*ledger, ("Label" + name).c_str())->text(),
                  qsjis(parts[i].sentence));
        if (!parts[i].table.headings.empty())
            expectGridShows(*child<TStrColGrid>(*ledger, ("Grid" + name).c_str()), parts[i].table);
    }
    EXPECT_EQ(ledger->findChild<QWidget*>(QStringLiteral("ChartReliability")) != nullptr,
              summary.market.calibration.races > 0);

    QPushButton* save = child<QPushButton>(*ledger, "ButtonSave");
    withModal([save] { save->click(); }, choose("SaveDialogLedger", out(), out()));
    EXPECT_TRUE(fs::is_regular_file(out() / "ledger.csv"));
    for (const char* file : {"breakdown.csv", "ledger.html", "market.csv", "calibration.csv"})
        EXPECT_TRUE(fs::is_regular_file(out() / file)) << file;
    EXPECT_EQ(child<QLabel>(*ledger, "LabelSaved")->text(),
              QString::fromStdString(out().string()) +
                  u(" に ledger.csv、breakdown.csv、ledger.html、market.csv、calibration.csv "
                    "を書きました"));

    // the store lies where the settings say; another file is chosen for the next ledger
    QLabel* label = child<QLabel>(*ledger, "LabelStore");
    EXPECT_EQ(label->text(), u("成績データベース: ") + QString::fromStdString(store().string()));
    const fs::path other = folder() / "other.sqlite";
    QPushButton* where = child<QPushButton>(*ledger, "ButtonStore");
    withModal([where] { where->click(); },
              [&other](QFileDialog& dialog) {
                  EXPECT_EQ(dialog.objectName(), QStringLiteral("SaveDialogStore"));
                  dialog.selectFile(QString::fromStdString(other.string()));
                  static_cast<QDialog&>(dialog).accept();
              });
    EXPECT_EQ(label->text(), u("成績データベース: ") + QString::fromStdString(other.string()) +
                                 u(" (次回の集計から)"));
    EXPECT_NE(readIni().find("[Season]\r\nStore=" + other.string() + "\r\n"), std::string::npos)
        << readIni();

    // the ledger names its time database, and keeps its own choice for the next ledger
    const fs::path time = season() / "time";
    QLabel* timeLabel = child<QLabel>(*ledger, "LabelTime");
    EXPECT_EQ(timeLabel->text(),
              u("タイムデータ: ") + QString::fromStdString((time / "time.dbx").string()));
    QPushButton* timeButton = child<QPushButton>(*ledger, "ButtonTime");
    withModal([timeButton] { timeButton->click(); }, choose("FolderDialogTime", time, time));
    EXPECT_TRUE(timeLabel->text().endsWith(u(" (次回の集計から)")));
    EXPECT_NE(readIni().find("Store=" + other.string() + "\r\nTime=" + time.string() + "/\r\n"),
              std::string::npos)
        << readIni();
    withModal([action] { action->trigger(); }, choose("FolderDialogLedger", season(), season()));
    EXPECT_TRUE(fs::is_regular_file(other));
    w->close();
}

// A click on a value of 条件別 narrows レース一覧 to its races, which sort by a click on a
// heading; a double click opens the race in the main window, which says when its time
// database is not the ledger's.
TEST_F(LedgerCommandTest, ABreakdownValueNarrowsTheRaceListWhoseRacesOpenInTheMainWindow) {
    const fs::path otherTime = folder() / "othertime";
    fs::create_directories(otherTime);
    fs::copy_file(season() / "time" / "time.dbx", otherTime / "time.dbx");
    const struct {
        const char* what;
        std::string ledgerTime; // the ledger's own time database folder; empty: the main's
        bool warned;
    } cases[] = {{"the same time database", "", false},
                 {"a time database of the ledger's own", otherTime.string() + "/", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = seasonWindow(c.ledgerTime.empty() ? "" : "Time=" + c.ledgerTime + "\r\n");
        QAction* action = child<QAction>(*w, "ActionLedger");
        withModal([action] { action->trigger(); },
                  choose("FolderDialogLedger", season(), season()));
        TFormLedger* ledger = child<TFormLedger>(*w, "FormLedger");
        auto* tabs = child<QTabWidget>(*ledger, "TabsLedger");
        auto* breakdowns = child<QScrollArea>(*ledger, "PageBreakdown");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(tabs->indexOf(breakdowns)).center());
        ASSERT_EQ(tabs->currentWidget(), breakdowns);
        auto* fields = child<TLedgerTableView>(*ledger, "GridBreakdown_field");
        breakdowns->ensureWidgetVisible(fields);
        int fieldRow = -1;
        for (int r = 0; r < fields->model()->rowCount(); ++r)
            if (fields->model()->index(r, 0).data().toString() == u("9～12頭"))
                fieldRow = r;
        ASSERT_GE(fieldRow, 0);
        const int expected = fields->model()->index(fieldRow, 1).data().toInt();
        QTest::mouseClick(fields->viewport(), Qt::LeftButton, {},
                          fields->visualRect(fields->model()->index(fieldRow, 2)).center());

        QWidget* list = child<QWidget>(*ledger, "PageRaceList");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(tabs->indexOf(list)).center());
        EXPECT_EQ(child<QLabel>(*list, "LabelFilter")->text(),
                  u("頭数: 9～12頭  (%1 レース)").arg(expected));
        auto* races = child<TLedgerTableView>(*list, "GridRaces");
        QAbstractItemModel* rows = races->model();
        ASSERT_EQ(rows->rowCount(), expected);
        for (int r = 0; r < rows->rowCount(); ++r) {
            const int runners = rows->index(r, 3).data().toInt();
            EXPECT_TRUE(runners >= 9 && runners <= 12) << runners;
        }
        // by race number, as numbers (10 after 9)
        QHeaderView* header = races->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        std::vector<int> numbers;
        for (int r = 0; r < rows->rowCount(); ++r)
            numbers.push_back(rows->index(r, 2).data().toInt());
        EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
        EXPECT_LT(numbers.front(), numbers.back());

        const QModelIndex first = rows->index(0, 0);
        const QString venue = rows->index(0, 1).data().toString();
        const int number = rows->index(0, 2).data().toInt();
        const QPoint at = races->visualRect(first).center();
        QTest::mouseClick(races->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(races->viewport(), Qt::LeftButton, {}, at);
        const QTreeWidgetItem* shown = child<QTreeWidget>(*w, "TreeView1")->currentItem();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->parent()->text(0).left(2), venue.left(2));
        EXPECT_TRUE(shown->text(0).contains(QString::number(number) + u("R")))
            << shown->text(0).toStdString();
        const QString note = child<QLabel>(*list, "LabelRaceNote")->text();
        EXPECT_EQ(note.contains(u("タイムデータ")), c.warned) << note.toStdString();
        w->close();
    }
}

// The folder chosen is remembered for the next ledger; the range set in the window computes
// the ledger of the same folder over its days, in a new window in the old one's place.
TEST_F(LedgerCommandTest, TheRangeSetInTheWindowCountsItsDaysOnly) {
    auto w = seasonWindow();
    QAction* action = child<QAction>(*w, "ActionLedger");
    withModal([action] { action->trigger(); }, choose("FolderDialogLedger", season(), season()));
    EXPECT_NE(readIni().find("Folder=" + season().string() + "/\r\n"), std::string::npos)
        << readIni();
    const QPointer<TFormLedger> old(child<TFormLedger>(*w, "FormLedger"));
    const int last = TSeasonReplay(store()).Stored().days.back();
    child<QDateEdit>(*old, "EditFrom")->setDate(QDate(last / 10000, last / 100 % 100, last % 100));
    child<QPushButton>(*old, "ButtonRange")->click();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull()); // closed, and deleted with it
    const TFormLedger* ranged = w->findChild<TFormLedger*>(QStringLiteral("FormLedger"));
    ASSERT_NE(ranged, nullptr);
    const TLedgerSummary summary = Summarize(
        TSeasonLedger(m_settings, season(), {last, last}, folder() / "check.sqlite").Run());
    EXPECT_EQ(child<QLabel>(*ranged, "LabelOverview")->text(), qsjis(OverviewText(summary)));
    w->close();
}

TEST_F(LedgerCommandTest, TheWhatIfPageReplaysTheStoreUnderTheRuleAndRangesTheUserSets) {
    auto w = seasonWindow();
    QAction* action = child<QAction>(*w, "ActionLedger");
    withModal([action] { action->trigger(); }, choose("FolderDialogLedger", season(), season()));
    TFormLedger* ledger = child<TFormLedger>(*w, "FormLedger");
    QStringList errors;
    ledger->ShowErrorBox = [&errors](const QString& text) { errors << text; };
    auto* tabs = child<QTabWidget>(*ledger, "TabsLedger");
    QWidget* page = child<QWidget>(*ledger, "PageWhatIf");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                      tabs->tabBar()->tabRect(tabs->indexOf(page)).center());
    ASSERT_EQ(tabs->currentWidget(), page);
    const int first = TSeasonReplay(store()).Stored().days.front();
    const int last = TSeasonReplay(store()).Stored().days.back();

    const struct {
        const char* what;
        std::function<void()> set;
        TWhatIf question; // what the page must have asked
        bool chart;
    } cases[] = {
        {"a rule",
         [&] { child<QDoubleSpinBox>(*page, "EditGood")->setValue(0.8); },
         {ParseRule("good=0.8"), std::nullopt, {first, last}, std::nullopt},
         false},
        {"a sweep of min-odds over that rule",
         [&] {
             child<QComboBox>(*page, "ComboSweep")->setCurrentIndex(4);
             child<QDoubleSpinBox>(*page, "EditSweepTo")->setValue(10);
             child<QDoubleSpinBox>(*page, "EditSweepStep")->setValue(5);
         },
         {ParseRule("good=0.8"),
          ParseSweep("min-odds=0:10:5", ParseRule("good=0.8")),
          {first, last},
          std::nullopt},
         true},
        {"the sweep chosen on the first day, judged on the second",
         [&] { child<QCheckBox>(*page, "CheckJudge")->click(); },
         {ParseRule("good=0.8"),
          ParseSweep("min-odds=0:10:5", ParseRule("good=0.8")),
          {first, first},
          TLedgerRange{last, last}},
         true},
    };
    for (const auto& c : cases) {
        c.set();
        child<QPushButton>(*page, "ButtonReplay")->click();
        EXPECT_TRUE(errors.isEmpty()) << c.what << ": " << errors.join('\n').toStdString();
        QStringList expected;
        for (const std::string& line :
             WhatIfLines(c.question, AnswerWhatIf(TSeasonReplay(store()), c.question), {}))
            expected << qsjis(line);
        EXPECT_EQ(child<QPlainTextEdit>(*page, "TextWhatIf")->toPlainText(), expected.join('\n'))
            << c.what;
        EXPECT_EQ(child<TChartView>(*page, "ChartSweep")->isVisible(), c.chart) << c.what;
    }

    // a range that ends before it begins asks nothing
    child<QDateEdit>(*page, "DateJudgeFrom")->setDate(QDate(2001, 1, 1));
    child<QPushButton>(*page, "ButtonReplay")->click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u("判定の期間は条件を選ぶ期間の終わりより後に")))
        << errors[0].toStdString();
    w->close();
}

TEST_F(LedgerCommandTest, CancelStopsBeforeTheNextDayAndShowsNoLedger) {
    auto w = seasonWindow();
    const TFormWait* wait = child<TFormWait>(*w, "FormWait");
    const QProgressBar* bar = child<QProgressBar>(*wait, "ProgressBar1");
    QPushButton* cancel = child<QPushButton>(*wait, "ButtonCancel");
    QAction* action = child<QAction>(*w, "ActionLedger");
    QObject::connect(bar, &QProgressBar::valueChanged, [cancel](int value) {
        if (value == 1)
            QTimer::singleShot(0, cancel, &QPushButton::click);
    });
    withModal([action] { action->trigger(); }, choose("FolderDialogLedger", season(), season()));
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(child<QLabel>(*wait, "Label2")->text(), u("処理数  1/2"));
    EXPECT_EQ(w->findChild<TFormLedger*>(QStringLiteral("FormLedger")), nullptr);
    EXPECT_TRUE(
        child<QLabel>(*w, "StatusPanel0")->text().startsWith(u("成績集計を中止しました。")));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();

    // a folder without day archives is a clear error
    QObject::disconnect(bar, nullptr, nullptr, nullptr);
    withModal([action] { action->trigger(); }, choose("FolderDialogLedger", season(), out()));
    EXPECT_EQ(m_errors, QStringList{QString::fromStdString(out().string()) +
                                    u("に開催日のデータ(rv + 年月日 + .lzh)がありません")});
    w->close();
}
