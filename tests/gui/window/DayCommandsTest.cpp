#include "gui/window/Main.h"

#include "support/OutputDays.h"
#include "WindowFixture.h"
#include "session/DaySession.h"
#include "platform/Cancel.h"
#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/SampleDays.h"
#include "gui/dialogs/Cfg.h"
#include "gui/support/Images.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/FigureChartView.h"
#include "gui/widgets/Splitter.h"
#include "gui/widgets/StrCGrid.h"
#include "gui/dialogs/Wait.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <set>

namespace fs = std::filesystem;

namespace {

// The demo day (three venues of twelve races), written once for all these tests.
class DayCommandsTest : public WindowTest {
protected:
    static void SetUpTestSuite() {
        s_day = std::make_unique<TWorkFolder>();
        s_archive = WriteDemoDay(s_day->path());
    }
    static void TearDownTestSuite() { s_day.reset(); }

    fs::path out() const { return folder() / "out"; }

    // The window over the demo day's folders; the output folder exists unless told.
    std::unique_ptr<TFormMain> dayWindow(const std::string& more = {}, bool makeOut = true) {
        if (makeOut)
            fs::create_directories(out());
        const std::string day = s_day->folderText();
        writeIni("[Folder]\r\nInDenm=" + day + "\r\nOutTxt=" + out().string() + "/\r\nTime=" + day +
                 "time/\r\n" + more);
        auto w = makeWindow();
        useForms(*w);
        w->show();
        return w;
    }

    // The files in the output folder.
    std::set<std::string> written() const {
        std::set<std::string> names;
        if (fs::exists(out()))
            for (const auto& entry : fs::directory_iterator(out()))
                names.insert(entry.path().filename().string());
        return names;
    }

    static std::unique_ptr<TWorkFolder> s_day;
    static fs::path s_archive;
};

std::unique_ptr<TWorkFolder> DayCommandsTest::s_day;
fs::path DayCommandsTest::s_archive;

struct TActionStates {
    bool open, close, raceIndex, raceIndexChecked, outputs;
};

void expectStates(const TFormMain& w, const TActionStates& s) {
    auto enabled = [&w](const char* name) { return child<QAction>(w, name)->isEnabled(); };
    EXPECT_EQ(enabled("ActionOpen"), s.open);
    EXPECT_EQ(enabled("ActionClose"), s.close);
    EXPECT_EQ(enabled("ActionRaceIndex"), s.raceIndex);
    EXPECT_EQ(child<QAction>(w, "ActionRaceIndex")->isChecked(), s.raceIndexChecked);
    for (const char* output : {"ActionOutAll", "ActionOutVerbose", "ActionOutHtml", "ActionOutWars",
                               "ActionOutRuv", "ActionOutCsv"})
        EXPECT_EQ(enabled(output), s.outputs) << output;
    // the commands of the whole run keep their state
    for (const char* always : {"ActionExit", "ActionCfg", "ActionContent", "ActionAbout"})
        EXPECT_TRUE(enabled(always)) << always;
    for (const char* pane : {"Panel1", "Splitter1", "TreeView1", "PageControl1"})
        EXPECT_EQ(child<QWidget>(w, pane)->isHidden(), !s.close) << pane;
}

constexpr TActionStates kDayOpen{true, true, true, true, true};
constexpr TActionStates kNoDay{true, false, false, false, false};

QTreeWidget* raceIndex(const TFormMain& w) {
    return child<QTreeWidget>(w, "TreeView1");
}

QTreeWidgetItem* raceNode(const TFormMain& w, int index) {
    const QTreeWidget* tree = raceIndex(w);
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = tree->topLevelItem(g);
        for (int r = 0; r < group->childCount(); ++r)
            if (group->child(r)->data(0, Qt::UserRole).toInt() == index)
                return group->child(r);
    }
    return nullptr;
}

// The node chosen as the user chooses it: a click on it and Enter.
void pressEnter(const TFormMain& w, QTreeWidgetItem* node) {
    QTreeWidget* tree = raceIndex(w);
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    QTest::keyClick(tree, Qt::Key_Return);
}

// A double click on the node, as the user gives it.
void doubleClick(const TFormMain& w, QTreeWidgetItem* node) {
    QTreeWidget* tree = raceIndex(w);
    tree->scrollToItem(node);
    const QPoint centre = tree->visualItemRect(node).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
}

QString heading(const TFormMain& w) {
    return child<QLabel>(w, "LabelTitle")->text();
}

QPoint cellCentre(const TStrColGrid& grid, int col, int row) {
    const TGridRect cell = grid.CellRect(col, row);
    return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

// The pointer comes to rest on a point of a widget: the text of the tooltip it raises,
// or an empty text when none shows.
QString toolTipOn(QWidget* widget, QPoint at) {
    QToolTip::hideText(); // the last tip fades out first
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
        return QStringLiteral("the last tip stays");
    QHelpEvent rest(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &rest);
    if (!QToolTip::isVisible())
        return {};
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    return shown.toPlainText();
}

// The same over a cell.
QString toolTipAt(TStrColGrid& grid, int col, int row) {
    return toolTipOn(grid.viewport(), cellCentre(grid, col, row));
}

// What the user sees of the race view: the heading, the two bet lines and every cell of
// its grids, by its text and background (and, where it holds text, its text colour and
// alignment).
QStringList seenRaceView(const TFormMain& w) {
    QStringList seen{heading(w), child<QLabel>(w, "LabelKaime1")->text(),
                     child<QLabel>(w, "LabelKaime2")->text()};
    for (const char* name : {"GridYosou", "GridBamei", "GridOddsTan", "GridOddsWak", "GridOddsUma",
                             "GridOddsWid", "GridCyo"}) {
        const TStrColGrid* grid = child<TStrColGrid>(w, name);
        for (int row = 0; row < grid->RowCount(); ++row) {
            for (int col = 0; col < grid->ColCount(); ++col) {
                const std::string& text = grid->Cells(col, row);
                QString cell = QStringLiteral("%1 (%2, %3) \"%4\" on %5")
                                   .arg(name)
                                   .arg(col)
                                   .arg(row)
                                   .arg(qsjis(text))
                                   .arg(grid->CellColor(col, row), 6, 16, QChar('0'));
                if (!text.empty())
                    cell += QStringLiteral(" in %1, aligned %2")
                                .arg(grid->CellFontColor(col, row), 6, 16, QChar('0'))
                                .arg(grid->CellAlignment(col, row));
                seen.append(cell);
            }
        }
    }
    return seen;
}

// The first entry in which two views differ; empty when they are the same.
std::string firstDifference(const QStringList& seen, const QStringList& expected) {
    for (qsizetype i = 0; i < std::max(seen.size(), expected.size()); ++i)
        if (seen.value(i) != expected.value(i))
            return QStringLiteral("seen: %1\nexpected: %2")
                .arg(seen.value(i), expected.value(i))
                .toStdString();
    return {};
}

// Runs action while the modal dialog it opens is handled by answer.
void withModal(QAction* action, const std::function<void(QWidget*)>& answer) {
    QTimer::singleShot(0, [answer] { answer(QApplication::activeModalWidget()); });
    action->trigger();
}

} // namespace

TEST_F(DayCommandsTest, OpeningTheSampleDayEnablesItsCommandsAndBuildsTheExpandedIndex) {
    auto w = dayWindow();
    expectStates(*w, kNoDay);
    QTabWidget* pages = child<QTabWidget>(*w, "PageControl1");
    pages->setCurrentWidget(child<QWidget>(*w, "TabSheet1Cyo"));
    ASSERT_TRUE(w->OpenDay(s_archive));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    expectStates(*w, kDayOpen);
    EXPECT_EQ(w->Session()->DayCode(), "010128");
    EXPECT_EQ(pages->currentWidget(), child<QWidget>(*w, "TabSheet1Yosou"));
    EXPECT_TRUE(written().empty()); // OutAtRead is off

    const char* const venues[] = {"東京", "京都", "小倉"};
    const QList<QIcon> pictures = NodeImages();
    const QTreeWidget* tree = raceIndex(*w);
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        const QTreeWidgetItem* group = tree->topLevelItem(g);
        EXPECT_EQ(group->text(0), u(venues[g]));
        EXPECT_EQ(group->data(0, Qt::UserRole).toInt(), -1);
        EXPECT_TRUE(samePicture(group->icon(0), pictures[nodeImage::kVenue]));
        EXPECT_TRUE(group->isExpanded());
        ASSERT_EQ(group->childCount(), 12);
        for (int r = 0; r < 12; ++r) {
            const QTreeWidgetItem* race = group->child(r);
            EXPECT_EQ(race->data(0, Qt::UserRole).toInt(), g * 12 + r);
            EXPECT_TRUE(samePicture(race->icon(0), pictures[nodeImage::kRace]));
            EXPECT_TRUE(race->text(0).startsWith(QString::number(r + 1) + u("R ")))
                << race->text(0).toStdString();
        }
    }
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), u("1R ３歳未勝利 芝2000m"));
    EXPECT_EQ(tree->topLevelItem(0)->child(11)->text(0), u("12R 東京新聞杯 芝1200m"));

    // a race shown, then closed: everything of the day is gone
    doubleClick(*w, raceNode(*w, 0));
    ASSERT_FALSE(heading(*w).isEmpty());
    child<QAction>(*w, "ActionClose")->trigger();
    expectStates(*w, kNoDay);
    EXPECT_FALSE(w->Session()->IsDayOpen());
    EXPECT_EQ(w->Session()->DayCode(), "");
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_EQ(heading(*w), QString());
    EXPECT_EQ(child<QLabel>(*w, "LabelKaime1")->text(), QString());
    EXPECT_EQ(child<TStrColGrid>(*w, "GridYosou")->RowCount(), 2);
    EXPECT_TRUE(child<QLabel>(*w, "Image1")->isVisible());
    w->close();
}

// An archive that cannot be opened as a day: the error box names the archive, every line
// of it reads in Japanese (an original in English may follow in parentheses), the open day
// is closed first, and the next open works.
TEST_F(DayCommandsTest, AFailedOpenNamesTheArchiveInJapaneseAndLeavesNoDayOpen) {
    auto w = dayWindow();
    const std::string archive = (folder() / "rv010204.lzh").string();
    const std::string whole = ReadBytes(s_archive);
    const struct {
        const char* name;
        std::optional<std::string> bytes; // none: no file
        const char* firstLine;
    } cases[] = {
        {"no race files", MakeLzhArchive({{"readme.txt", "no race files"}}),
         "ruv_den1.kd2がオープンできません"},
        {"missing", std::nullopt, "ruv_den1.kd2がオープンできません"},
        {"cut short", whole.substr(0, 300), "ruv_den1.kd2がオープンできません"},
        {"not an archive", std::string("just text"), "ruv_den1.kd2がオープンできません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove(archive, ignored);
        if (c.bytes)
            WriteBinaryFile(archive, *c.bytes);
        ASSERT_TRUE(w->OpenDay(s_archive));
        m_errors.clear();
        EXPECT_FALSE(w->OpenDay(archive));
        ASSERT_EQ(m_errors.size(), 1);
        const QStringList lines = m_errors[0].split('\n');
        EXPECT_EQ(lines[0], u(c.firstLine));
        EXPECT_TRUE(m_errors[0].contains(QString::fromStdString(archive)))
            << m_errors[0].toStdString();
        for (QString line : lines) {
            line.remove(QRegularExpression(QStringLiteral("\\([ -~]*\\)")));
            EXPECT_TRUE(std::any_of(line.begin(), line.end(), [](QChar ch) {
                return ch.unicode() > 0x7F;
            })) << line.toStdString();
        }
        expectStates(*w, kNoDay);
        EXPECT_FALSE(w->Session()->IsDayOpen());
        EXPECT_EQ(raceIndex(*w)->topLevelItemCount(), 0);
    }
    EXPECT_TRUE(w->OpenDay(s_archive));
    expectStates(*w, kDayOpen);
    w->close();
}

TEST_F(DayCommandsTest, TheOpenDialogOpensTheChosenDayAndItsCancelLeavesNoDayOpen) {
    auto w = dayWindow();
    QAction* open = child<QAction>(*w, "ActionOpen");
    QWidget* chosenDialog = nullptr;
    QString directory;
    QStringList filters;
    withModal(open, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        chosenDialog = dialog;
        directory = dialog->directory().absolutePath() + '/';
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(s_archive.string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(chosenDialog, child<QFileDialog>(*w, "OpenDialog1"));
    EXPECT_EQ(directory.toStdString(), s_day->folderText());
    EXPECT_EQ(filters, (QStringList{u("RUVデータ(*.lzh)"), u("全てのファイル(*.*)")}));
    expectStates(*w, kDayOpen);
    EXPECT_EQ(raceIndex(*w)->topLevelItemCount(), 3);

    QString lastName;
    withModal(open, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        chosenDialog = dialog;
        lastName = dialog->selectedFiles().value(0).section('/', -1);
        dialog->reject();
    });
    EXPECT_EQ(chosenDialog, child<QFileDialog>(*w, "OpenDialog1"));
    EXPECT_EQ(lastName, QString());
    expectStates(*w, kNoDay);
    EXPECT_FALSE(w->Session()->IsDayOpen());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

TEST_F(DayCommandsTest, ADoubleClickOrEnterOnARaceShowsItAndOnAVenueDoesNothing) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    const TStrColGrid* yosou = child<TStrColGrid>(*w, "GridYosou");
    const QLabel* bets = child<QLabel>(*w, "LabelKaime1");
    const struct {
        int race;
        const char* bets;
        bool byEnter;
    } races[] = {
        {0, "<買い目> 馬番連勝 ", false},
        {2, "<買い目> 枠番連勝 ", true},
        {3, "<買い目> 見送り", false},
    };
    for (const auto& r : races) {
        SCOPED_TRACE(r.race);
        if (r.byEnter)
            pressEnter(*w, raceNode(*w, r.race));
        else
            doubleClick(*w, raceNode(*w, r.race));
        const TRaceBase& race = w->Session()->Race();
        EXPECT_EQ(heading(*w), qsjis(race.RaceHeading()).replace(u("\r\n"), u("\n")));
        EXPECT_EQ(yosou->RowCount(), race.RunnerCount() + 1);
        EXPECT_EQ(yosou->Cells(1, 1), "1");
        EXPECT_TRUE(bets->text().startsWith(u(r.bets))) << bets->text().toStdString();
    }
    EXPECT_EQ(bets->text(), u("<買い目> 見送り"));
    EXPECT_TRUE(child<QWidget>(*w, "Panel1")->isVisible()); // RaceClose is off

    // a venue node leaves the race that is shown
    const QString title = heading(*w);
    doubleClick(*w, raceIndex(*w)->topLevelItem(1));
    EXPECT_EQ(heading(*w), title);
    EXPECT_EQ(bets->text(), u("<買い目> 見送り"));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

// A race chosen after one of 18 runners looks exactly as it looks when chosen first.
TEST_F(DayCommandsTest, ARaceChosenAfterAnotherShowsOnlyItsOwnData) {
    const SampleDay day = DemoDay();
    SampleDayOdds odds = DemoOdds(day);
    odds[10].runnerCount = "08"; // 東京 11R, seven runners: odds of another field
    const fs::path archive = folder() / kDemoArchiveName;
    WriteDayArchive(archive, day);
    WriteRuvOddsArchive(folder(), "010128", day, odds);
    auto shown = [&](std::initializer_list<int> races) {
        auto w = dayWindow();
        EXPECT_TRUE(w->OpenDay(archive));
        for (int race : races)
            doubleClick(*w, raceNode(*w, race));
        return w;
    };

    auto w = shown({});
    const struct {
        int race;
        const char* what;
    } races[] = {{9, "seven runners with odds"},
                 {3, "thirteen runners without odds"},
                 {10, "odds of eight runners for seven"}};
    for (const auto& r : races) {
        SCOPED_TRACE(r.what);
        doubleClick(*w, raceNode(*w, 8)); // 東京 9R, eighteen runners with odds
        ASSERT_EQ(child<TStrColGrid>(*w, "GridOddsUma")->Cells(1, 1), " 310.2");
        doubleClick(*w, raceNode(*w, r.race));
        const QStringList expected = seenRaceView(*shown({r.race}));
        EXPECT_EQ(firstDifference(seenRaceView(*w), expected), "");
    }
    // odds of another field are not shown
    EXPECT_EQ(child<TStrColGrid>(*w, "GridOddsTan")->RowCount(), 19);
    EXPECT_EQ(child<TStrColGrid>(*w, "GridYosou")->Cells(6, 1), "0.0");
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
}

// At its designed size the window shows the day without growing: a long race heading is
// cut, never a reason for a wider window, and the window can be made that small again.
TEST_F(DayCommandsTest, TheWindowStaysResizableDownToItsDesignedSize) {
    const QSize designed(TFormMain::kDesignedWidth, TFormMain::kDesignedHeight);
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    for (int race : {10, 8, 35}) { // the longest headings, eighteen runners, the last race
        SCOPED_TRACE(race);
        w->resize(designed);
        doubleClick(*w, raceNode(*w, race));
        QApplication::processEvents();
        EXPECT_EQ(w->width(), designed.width());
        EXPECT_EQ(w->height(), designed.height());
        EXPECT_LE(w->minimumSizeHint().width(), designed.width());
        EXPECT_LE(w->minimumSizeHint().height(), designed.height());
        EXPECT_LE(w->minimumWidth(), designed.width());
    }
    w->close();
}

// Every line of the race index shows whole; lines wider than the pane scroll sideways.
TEST_F(DayCommandsTest, TheRaceIndexShowsEveryLineWholeAndScrollsSideways) {
    auto w = dayWindow();
    w->resize(TFormMain::kDesignedWidth, TFormMain::kDesignedHeight);
    ASSERT_TRUE(w->OpenDay(s_archive));
    QApplication::processEvents();
    const QTreeWidget* tree = raceIndex(*w);
    // the widest line with its indentation and picture
    const int needed = static_cast<const QAbstractItemView*>(tree)->sizeHintForColumn(0);
    EXPECT_GE(tree->columnWidth(0), needed);
    ASSERT_GT(needed, tree->viewport()->width()); // 東京 11R 白富士Ｓ ダート1400m is wider
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(),
              tree->columnWidth(0) - tree->viewport()->width());
    w->close();
}

// The toolkit takes the C library's locale from the environment; numbers keep their point.
TEST_F(DayCommandsTest, TheRaceViewWritesDecimalPointsUnderACommaLocale) {
    const CommaDecimalLocale locale;
    if (!locale.active())
        GTEST_SKIP() << locale.reason();
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    doubleClick(*w, raceNode(*w, 0)); // fourteen runners with bets: every odds grid
    EXPECT_EQ(child<TStrColGrid>(*w, "GridYosou")->Cells(6, 1), "  1.5");
    EXPECT_EQ(child<TStrColGrid>(*w, "GridOddsWak")->Cells(1, 1), " 21.1 ");
    EXPECT_EQ(child<TStrColGrid>(*w, "GridOddsUma")->Cells(1, 1), " 310.2");
    const QString odds = child<QLabel>(*w, "LabelKaime2")->text();
    EXPECT_TRUE(odds.contains('.') && !odds.contains(',')) << odds.toStdString();
    w->close();
}

TEST_F(DayCommandsTest, RaceCloseHidesTheIndexOnceARaceIsChosen) {
    auto w = dayWindow("[Other]\r\nRaceClose=1\r\n");
    ASSERT_TRUE(w->OpenDay(s_archive));
    const QWidget* pane = child<QWidget>(*w, "Panel1");
    const QWidget* splitter = child<QWidget>(*w, "Splitter1");
    QAction* raceIndexSwitch = child<QAction>(*w, "ActionRaceIndex");
    doubleClick(*w, raceNode(*w, 12));
    EXPECT_TRUE(heading(*w).contains(u("京都")));
    EXPECT_TRUE(pane->isHidden());
    EXPECT_TRUE(splitter->isHidden());
    EXPECT_FALSE(raceIndexSwitch->isChecked());
    EXPECT_TRUE(raceIndexSwitch->isEnabled());
    raceIndexSwitch->trigger(); // the user shows it again
    EXPECT_TRUE(pane->isVisible());
    EXPECT_TRUE(splitter->isVisible());
    EXPECT_TRUE(raceIndexSwitch->isChecked());
    w->close();
}

TEST_F(DayCommandsTest, ARaceThatCannotBeReadIsReportedAndTheViewStaysAsItWas) {
    SampleDay day = DemoDay();
    day.races[5].runnerCount = "19"; // more runners than a race can hold
    day.races[6].course = "10";      // no central racecourse: never shown as 小倉's
    const fs::path archive = folder() / kDemoArchiveName;
    WriteDayArchive(archive, day);
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(archive));
    const TStrColGrid* yosou = child<TStrColGrid>(*w, "GridYosou");
    doubleClick(*w, raceNode(*w, 0));
    const QString title = heading(*w);
    const std::string name = yosou->Cells(2, 1);
    const int rows = yosou->RowCount();
    const struct {
        int race;
        const char* error;
    } races[] = {
        {5, "該当するデータがありません(200101280506)"},
        {6, "競馬場コード10は中央の競馬場ではありません(20010128 7R)"},
    };
    for (const auto& r : races) {
        SCOPED_TRACE(r.race);
        m_errors.clear();
        doubleClick(*w, raceNode(*w, r.race));
        EXPECT_EQ(m_errors, QStringList{u(r.error)});
        EXPECT_EQ(heading(*w), title);
        EXPECT_EQ(yosou->Cells(2, 1), name);
        EXPECT_EQ(yosou->RowCount(), rows);
    }
    w->close();
}

TEST_F(DayCommandsTest, OutAtReadRunsTheBatchOutputOnceTheIndexIsBuilt) {
    auto w = dayWindow("[File]\r\nOutAtRead=1\r\nTextOut=1\r\nWarsOut=1\r\n");
    const TFormWait* wait = child<TFormWait>(*w, "FormWait");
    const QProgressBar* bar = child<QProgressBar>(*wait, "ProgressBar1");
    const QPushButton* cancel = child<QPushButton>(*wait, "ButtonCancel");
    const QTabWidget* pages = child<QTabWidget>(*w, "PageControl1");
    const QWidget* yosouPage = child<QWidget>(*w, "TabSheet1Yosou");
    const QTreeWidget* tree = raceIndex(*w);
    int steps = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (value != 1)
            return;
        ++steps;
        EXPECT_EQ(tree->topLevelItemCount(), 3);
        EXPECT_EQ(pages->currentWidget(), yosouPage);
        EXPECT_FALSE(w->isEnabled());
        EXPECT_TRUE(wait->isVisible());
        EXPECT_TRUE(cancel->isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    });
    ASSERT_TRUE(w->OpenDay(s_archive));
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(written(), (std::set<std::string>{"s2001012800.txt", "s2001012803.txt",
                                                "s2001012804.txt", "w20010128.txt"}));
    EXPECT_EQ(bar->maximum(), 36);
    EXPECT_EQ(child<QLabel>(*wait, "Label2")->text(), u("処理数 36/36"));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();

    // every open runs it again
    fs::remove_all(out());
    fs::create_directories(out());
    ASSERT_TRUE(w->OpenDay(s_archive));
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(written().size(), 4u);
    w->close();
}

TEST_F(DayCommandsTest, EachSingleFileCommandWritesExactlyItsOwnFile) {
    auto w = dayWindow("[File]\r\nTextOut=1\r\nHtmlOut=1\r\nWarsOut=1\r\nRuvOut=1\r\n");
    ASSERT_TRUE(w->OpenDay(s_archive));
    const QLabel* count = child<QLabel>(*child<TFormWait>(*w, "FormWait"), "Label2");
    const struct {
        const char* command;
        std::set<std::string> files;
    } commands[] = {
        {"ActionOutVerbose", {"s2001012800.txt", "s2001012803.txt", "s2001012804.txt"}},
        {"ActionOutHtml", {"s2001012800.htm", "s2001012803.htm", "s2001012804.htm"}},
        {"ActionOutWars", {"w20010128.txt"}},
        {"ActionOutRuv", {"q20010128.txt"}},
        {"ActionOutCsv", {"c20010128.csv"}},
        {"ActionOutAll",
         {"s2001012800.txt", "s2001012803.txt", "s2001012804.txt", "s2001012800.htm",
          "s2001012803.htm", "s2001012804.htm", "w20010128.txt", "q20010128.txt"}},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.command);
        fs::remove_all(out());
        fs::create_directories(out());
        child<QAction>(*w, c.command)->trigger();
        EXPECT_EQ(written(), c.files);
        EXPECT_EQ(count->text(), u("処理数 36/36"));
        EXPECT_TRUE(w->isEnabled());
        // the status bar says what was written and where
        EXPECT_EQ(child<QLabel>(*w, "StatusPanel0")->text(),
                  QString::number(c.files.size()) + u(" ファイルを ") +
                      QString::fromStdString(out().string()) + u(" に出力しました"));
    }
    // or why nothing was
    m_settings.File = {};
    child<QAction>(*w, "ActionOutAll")->trigger();
    EXPECT_EQ(
        child<QLabel>(*w, "StatusPanel0")->text(),
        u("環境設定の「一括出力時に出力するファイル」がすべてオフのため、何も出力しませんでした"));
    // the WARS contest file and the RUV text file are told apart by their first line
    EXPECT_TRUE(ReadBytes(out() / "w20010128.txt") != ReadBytes(out() / "q20010128.txt"));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

TEST_F(DayCommandsTest, CancelStopsTheWalkBeforeTheNextRace) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    const TFormWait* wait = child<TFormWait>(*w, "FormWait");
    const QProgressBar* bar = child<QProgressBar>(*wait, "ProgressBar1");
    const QLabel* count = child<QLabel>(*wait, "Label2");
    QPushButton* cancel = child<QPushButton>(*wait, "ButtonCancel");
    QAction* outRuv = child<QAction>(*w, "ActionOutRuv");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        // the click arrives while race 3's step lets the window system work
        if (value == 3)
            QTimer::singleShot(0, cancel, &QPushButton::click);
    });
    outRuv->trigger();
    EXPECT_TRUE(CancelRequested());
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(count->text(), u("処理数  3/36"));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(written(), std::set<std::string>{"q20010128.txt"});

    // the last race reached is race 2 (index 1); race 3 was never selected
    const std::string reached = w->Session()->Race().RaceKey();
    w->Session()->PrepareRace(1, false);
    EXPECT_EQ(w->Session()->Race().RaceKey(), reached);

    // the next command starts afresh: showing the dialog clears the flag
    QObject::disconnect(bar, nullptr, nullptr, nullptr);
    outRuv->trigger();
    EXPECT_FALSE(CancelRequested());
    EXPECT_EQ(count->text(), u("処理数 36/36"));
    w->close();
}

TEST_F(DayCommandsTest, AFailedWalkShowsTheErrorAndGivesTheWindowBack) {
    auto w = dayWindow({}, false); // no output folder
    ASSERT_TRUE(w->OpenDay(s_archive));
    bool enabledAtTheBox = false;
    w->ShowErrorBox = [&](const QString& text) {
        m_errors.append(text);
        enabledAtTheBox = w->isEnabled() && QApplication::overrideCursor() == nullptr;
    };
    child<QAction>(*w, "ActionOutWars")->trigger();
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors[0].contains(QString::fromStdString((out() / "w20010128.txt").string())))
        << m_errors[0].toStdString();
    EXPECT_TRUE(enabledAtTheBox);
    const TFormWait* wait = child<TFormWait>(*w, "FormWait");
    // the first race's writer failed
    EXPECT_EQ(child<QProgressBar>(*wait, "ProgressBar1")->value(), 1);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    expectStates(*w, kDayOpen);
    w->close();
}

TEST_F(DayCommandsTest, ANewFontSizeFromTheSettingsDialogReachesTheGrids) {
    auto w = dayWindow("[Font]\r\nSize=11\r\nSizeOdds=9\r\n");
    TFormCfg* formCfg = child<TFormCfg>(*w, "FormCfg");
    QLineEdit* size = child<QLineEdit>(*formCfg, "EditFontSize");
    QPushButton* ok = child<QPushButton>(*formCfg, "ButtonOk");
    const TStrColGrid& yosou = *child<TStrColGrid>(*w, "GridYosou");
    const TStrColGrid& tan = *child<TStrColGrid>(*w, "GridOddsTan");
    EXPECT_EQ(yosou.font().pointSize(), 11);
    EXPECT_EQ(tan.font().pointSize(), 9);
    const int width = yosou.ColWidths(2);

    const struct {
        const char* size;
        bool ok;
        int expected;
    } answers[] = {{"16", false, 11}, {"16", true, 16}, {"16", true, 16}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.ok);
        withModal(child<QAction>(*w, "ActionCfg"), [&](QWidget* modal) {
            ASSERT_EQ(modal, formCfg);
            size->setText(QString::fromLatin1(a.size));
            if (a.ok)
                ok->click();
            else
                formCfg->reject();
        });
        EXPECT_EQ(yosou.font().pointSize(), a.expected);
        EXPECT_EQ(tan.font().pointSize(), 9);
    }
    EXPECT_GT(yosou.ColWidths(2), width);
    w->close();
}

TEST_F(DayCommandsTest, InterleavedVenuesGiveOneGroupEachInLineOrder) {
    SampleDay day;
    for (auto [course, number] : {std::pair{"04", "01"}, {"05", "01"}, {"04", "02"}}) {
        SampleRace race;
        race.course = course;
        race.raceNumber = number;
        race.runners.resize(3);
        day.races.push_back(race);
    }
    const fs::path archive = folder() / "rv010128.lzh";
    WriteDayArchive(archive, day);
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(archive));
    const QTreeWidget* tree = raceIndex(*w);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    const QTreeWidgetItem* tokyo = tree->topLevelItem(0);
    EXPECT_EQ(tokyo->text(0), u("東京"));
    ASSERT_EQ(tokyo->childCount(), 2);
    EXPECT_EQ(tokyo->child(0)->data(0, Qt::UserRole).toInt(), 0);
    EXPECT_EQ(tokyo->child(1)->data(0, Qt::UserRole).toInt(), 2);
    EXPECT_EQ(tokyo->child(1)->text(0), u("2R ３歳以上未勝利 芝1600m"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), u("中山"));
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 1);
    w->close();
}

// CSV出力 from the 出力 menu: the file read back with a CSV reader holds, race by race and
// runner by runner, what the race view shows after a double click on the race.
TEST_F(DayCommandsTest, TheCsvOfTheDayHoldsWhatTheRaceViewShows) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    child<QAction>(*w, "ActionOutCsv")->trigger();
    EXPECT_EQ(written(), std::set<std::string>{"c20010128.csv"});
    const std::string text = ReadBytes(out() / "c20010128.csv");
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::vector<std::string>> records = ReadCsv(text.substr(3));

    const TStrColGrid* grid = child<TStrColGrid>(*w, "GridYosou");
    const QLabel* bets = child<QLabel>(*w, "LabelKaime1");
    auto shown = [grid](int col, int row) { return toUtf8(grid->Cells(col, row)); };
    auto trimmed = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    };
    // a spreadsheet shows the cell '+D85 as +D85
    auto asShown = [](const std::string& cell) {
        return cell.starts_with('\'') ? cell.substr(1) : cell;
    };
    // "+D85" is the figure 85; a cell that tells why there is no figure has none
    auto figureNumber = [](const std::string& cell) {
        const std::string rest = cell.substr(std::min(cell.find_first_not_of("'+D"), cell.size()));
        return !rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos ? rest
                                                                                          : "";
    };
    std::size_t record = 1;
    for (int race = 0; race < 36; ++race) {
        SCOPED_TRACE(race);
        doubleClick(*w, raceNode(*w, race));
        const int runners = grid->RowCount() - 1;
        for (int row = 1; row <= runners; ++row, ++record) {
            ASSERT_LT(record, records.size());
            const std::vector<std::string>& f = records[record];
            ASSERT_EQ(f.size(), 32u);
            EXPECT_EQ(f[6], std::to_string(runners));
            EXPECT_EQ(f[7], shown(0, row).substr(0, shown(0, row).size() - 1)); // "3B", "3 "
            EXPECT_EQ(f[8], shown(1, row));
            EXPECT_EQ(f[9], trimmed(shown(2, row)));
            EXPECT_EQ(f[10] + f[11], shown(3, row));
            EXPECT_EQ(f[12] + f[13], shown(4, row));
            EXPECT_EQ(f[14] + f[15], shown(5, row));
            // the view shows 0.0 for a race without odds and - for a runner without any
            const std::string odds = trimmed(shown(6, row));
            EXPECT_EQ(f[16], odds == "0.0" || odds == "-" ? "" : odds);
            for (int col = 7; col <= 14; ++col)
                EXPECT_EQ(asShown(f[static_cast<std::size_t>(col + 10)]), trimmed(shown(col, row)))
                    << col;
            for (std::size_t k = 0; k < 5; ++k)
                EXPECT_EQ(f[25 + k], figureNumber(f[20 + k])) << f[20 + k];
            const QString kind = QString::fromStdString(f[30]);
            EXPECT_TRUE(bets->text().startsWith(u("<買い目> ") + kind))
                << bets->text().toStdString();
        }
    }
    EXPECT_EQ(record, records.size());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

TEST_F(DayCommandsTest, FigureMarkAndRankCellsExplainThemselvesAndCopyTheirExplanation) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    doubleClick(*w, raceNode(*w, 10)); // 東京 11R, seven runners
    TStrColGrid* grid = child<TStrColGrid>(*w, "GridYosou");
    const QLabel* status = child<QLabel>(*w, "StatusPanel0");
    const QString hint = status->text();

    const struct {
        int col, row;
        const char* first; // the tooltip's first line, empty for none
        const char* line;  // and one of its lines
    } cells[] = {
        {14, 7, "7番 マルセイマレ  前走 +D115", "(s - t) × f ÷ 10 = (605 - 583) × 16 ÷ 10 = 35.2"},
        {13, 1, "1番 ウソケ  2走前 XXX",
         "距離係数   タイムデータにキー 22 (2200 ÷ 100) の距離係数がない"},
        {8, 7, "7番 マルセイマレ  評価点 102.3  順位 1  印 ◎",
         "買い目 枠番連勝 1-7 4-7 6-7 3-7 2-7 1-4"},
        {9, 5, "5番 サツエラマドボニ  評価点 0.0  順位 なし  印 なし",
         "指数のある走がない: 評価点 0.0、順位なし"},
        {7, 1, "1番 ウソケ  Ｑ ×", "Ｑ: RUV のデータに付いてくる予想印 (この予想の印は Ｐ の欄)"},
        {7, 5, "5番 サツエラマドボニ  Ｑ なし",
         "Ｑ: RUV のデータに、この馬の予想印はない (この予想の印は Ｐ の欄)"},
        {4, 6, "6番 カロリシメゴシ  斤量 52△",
         "△: 見習騎手の減量 2kg (☆ 1kg、△ 2kg、▲ 3kg)、斤量は減量した後の重さ"},
        {7, 0, "Ｑ: RUV のデータに付いてくる予想印", "Ｑ: RUV のデータに付いてくる予想印"},
        {8, 0, "Ｐ: この予想の印 (評価点の順位から。1位と2位は入れ替わることがある)",
         "Ｐ: この予想の印 (評価点の順位から。1位と2位は入れ替わることがある)"},
        {9, 0, "印の順 (1 が ◎、2 が ○)", "印の順 (1 が ◎、2 が ○)"},
        {4, 3, "", ""},  // a weight without an allowance
        {2, 7, "", ""},  // the horse name
        {14, 0, "", ""}, // the heading of a figure column
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(c.first);
        const QStringList lines = toolTipAt(*grid, c.col, c.row).split('\n');
        EXPECT_EQ(lines.first(), u(c.first));
        EXPECT_TRUE(lines.contains(u(c.line))) << lines.join('\n').toStdString();
    }
    ASSERT_FALSE(toolTipAt(*grid, 14, 7).isEmpty()); // in the grid's fixed-pitch face
    EXPECT_TRUE(QToolTip::text().startsWith(u("<pre style=\"font-family:'IPAGothic';")))
        << QToolTip::text().toStdString();
    EXPECT_EQ(status->text(), hint); // the status bar's hint stays

    // sorted by mark, 7番 (◎) comes first and its explanations go with it
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 9, 0));
    ASSERT_EQ(grid->Cells(1, 1), "7");
    const QString tip = toolTipAt(*grid, 9, 1);
    EXPECT_TRUE(tip.startsWith(u("7番 マルセイマレ  評価点 102.3"))) << tip.toStdString();

    // the context menu copies the explanation of the cell it opened on, and only there: a
    // heading's hint is no working
    QMenu* menu = child<QMenu>(*w, "PopupMenuYosou");
    QAction* copy = child<QAction>(*w, "MCopyExplanation");
    EXPECT_EQ(copy->text(), u("計算の内訳をコピー"));
    for (const auto& [col, row] : {std::pair{9, 1}, {2, 1}, {9, 0}}) {
        const QPoint at = cellCentre(*grid, col, row);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &click);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(copy->isEnabled(), row == 1 && col == 9);
        if (copy->isEnabled())
            copy->trigger();
        menu->close();
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), tip + '\n');

    // an output command takes the prediction through every race; the race shown keeps its own
    child<QAction>(*w, "ActionOutRuv")->trigger();
    EXPECT_EQ(toolTipAt(*grid, 9, 1), tip);
    w->close();
}

TEST_F(DayCommandsTest, TheKeyboardMenuActsOnTheFocusedCellAndOpensBesideIt) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    doubleClick(*w, raceNode(*w, 3)); // 東京 4R
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    TStrColGrid* grid = child<TStrColGrid>(*w, "GridYosou");
    QMenu* menu = child<QMenu>(*w, "PopupMenuYosou");
    QAction* copy = child<QAction>(*w, "MCopyExplanation");
    // the Menu key as the platform turns it into a menu: aimed at the middle of the grid
    const auto platformMenuKey = [&w] {
        QContextMenuEvent key(QContextMenuEvent::Keyboard, {}, {});
        QApplication::sendEvent(w->windowHandle(), &key);
    };
    const struct {
        const char* how;
        std::function<void()> press;
    } keys[] = {
        {"Menu key", platformMenuKey},
        {"Menu key, unhandled", [grid] { QTest::keyClick(grid, Qt::Key_Menu); }},
        {"Shift+F10", [grid] { QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier); }},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.how);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 14, 1));
        key.press();
        ASSERT_TRUE(menu->isVisible());
        // at the cell's lower left corner
        const TGridRect cell = grid->CellRect(14, 1);
        const QPoint corner = grid->viewport()->mapFromGlobal(menu->pos());
        EXPECT_LE(std::abs(corner.x() - cell.left), 2);
        EXPECT_LE(std::abs(corner.y() - cell.bottom), 2);
        ASSERT_TRUE(copy->isEnabled());
        copy->trigger();
        menu->close();
        EXPECT_EQ(QGuiApplication::clipboard()->text().section('\n', 0, 0),
                  u("1番 カガチタアドオ  前走 障害"));
    }
    w->close();
}

// Through the card from the keyboard: the race keys step along the index across venues and
// stop at its ends, the page keys choose the pages, Ctrl+O asks for a day.
TEST_F(DayCommandsTest, TheKeysStepThroughTheCardAndChooseThePages) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    TRaceBase& race = w->Session()->Race();
    const int last = race.RaceCount() - 1;
    const int secondVenue = raceIndex(*w)->topLevelItem(1)->child(0)->data(0, Qt::UserRole).toInt();
    ASSERT_GT(secondVenue, 0);
    QStringList headings;
    for (int i = 0; i <= last; ++i) {
        race.SelectRace(i);
        headings.append(qsjis(race.RaceHeading()).replace(u("\r\n"), u("\n")));
    }
    QWidget* grid = child<TStrColGrid>(*w, "GridYosou");
    QWidget* tree = raceIndex(*w);
    const struct {
        const char* how;
        int start; // the race chosen first; -1 keeps the one shown
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QWidget* focus;
        int shown;
    } steps[] = {
        {"Ctrl+PgDn with no race shown", -1, Qt::Key_PageDown, Qt::ControlModifier, tree, 0},
        {"Ctrl+PgUp at the first race", -1, Qt::Key_PageUp, Qt::ControlModifier, grid, 0},
        {"Alt+Right", -1, Qt::Key_Right, Qt::AltModifier, tree, 1},
        {"Ctrl+PgDn", -1, Qt::Key_PageDown, Qt::ControlModifier, grid, 2},
        {"Alt+Left", -1, Qt::Key_Left, Qt::AltModifier, grid, 1},
        {"into the next venue", secondVenue - 1, Qt::Key_PageDown, Qt::ControlModifier, grid,
         secondVenue},
        {"back into the first venue", -1, Qt::Key_Left, Qt::AltModifier, tree, secondVenue - 1},
        {"Alt+Right at the last race", last, Qt::Key_Right, Qt::AltModifier, tree, last},
        {"Ctrl+PgUp from the last race", -1, Qt::Key_PageUp, Qt::ControlModifier, grid, last - 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.how);
        if (s.start >= 0)
            doubleClick(*w, raceNode(*w, s.start));
        s.focus->setFocus();
        QTest::keyClick(s.focus, s.key, s.modifiers);
        EXPECT_EQ(heading(*w), headings.value(s.shown));
        EXPECT_EQ(raceIndex(*w)->currentItem(), raceNode(*w, s.shown));
    }

    const QTabWidget* pages = child<QTabWidget>(*w, "PageControl1");
    for (const auto& [key, page] : {std::pair{Qt::Key_2, "TabSheet1Odds"},
                                    {Qt::Key_3, "TabSheet1Cyo"},
                                    {Qt::Key_1, "TabSheet1Yosou"}}) {
        QTest::keyClick(grid, key, Qt::ControlModifier);
        EXPECT_EQ(pages->currentWidget()->objectName(), page);
    }

    QWidget* asked = nullptr;
    QTimer::singleShot(0, [&asked] {
        asked = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(asked))
            dialog->reject();
    });
    QTest::keyClick(tree, Qt::Key_O, Qt::ControlModifier);
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->objectName(), "OpenDialog1");
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

// What the user copies lands on the clipboard as shown: a cell, a whole grid for a
// spreadsheet in its sorted order, and the race heading as one line.
TEST_F(DayCommandsTest, TheGridsAndTheHeadingCopyWhatTheyShow) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    doubleClick(*w, raceNode(*w, 10)); // 東京 11R, seven runners
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QClipboard* clipboard = QGuiApplication::clipboard();
    const struct {
        const char* grid;
        Qt::Key page;
        int col, row;
        const char* heading; // the start of the first line of the whole grid
    } grids[] = {
        {"GridYosou", Qt::Key_1, 2, 3, "枠\t馬\t馬名\t性齢\t斤量\t騎手\t単勝\tＱ\tＰ\t\t5走前"},
        {"GridOddsTan", Qt::Key_2, 1, 4, "馬番\t単勝\t複勝"},
        {"GridCyo", Qt::Key_3, 1, 0, "1\t枠 1番 "},
    };
    for (const auto& g : grids) {
        SCOPED_TRACE(g.grid);
        TStrColGrid* grid = child<TStrColGrid>(*w, g.grid);
        QTest::keyClick(grid, g.page, Qt::ControlModifier);
        ASSERT_TRUE(QTest::qWaitFor([grid] { return grid->isVisible(); }, 2000));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, g.col, g.row));
        clipboard->clear();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), qsjis(grid->Cells(g.col, g.row)).trimmed());
        EXPECT_FALSE(clipboard->text().isEmpty());

        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QStringList lines = clipboard->text().split('\n');
        ASSERT_EQ(lines.size(), grid->RowCount() + 1); // each row ends its line
        EXPECT_TRUE(lines.first().startsWith(u(g.heading))) << lines.first().toStdString();
        for (const QString& line : lines.mid(0, grid->RowCount()))
            EXPECT_EQ(line.count('\t'), grid->ColCount() - 1) << line.toStdString();
    }

    // sorted by mark, the rows come in the order shown: 7番 (◎) first
    TStrColGrid* yosou = child<TStrColGrid>(*w, "GridYosou");
    QTest::keyClick(yosou, Qt::Key_1, Qt::ControlModifier);
    QTest::mouseClick(yosou->viewport(), Qt::LeftButton, {}, cellCentre(*yosou, 9, 0));
    QTest::keyClick(yosou, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text().section('\n', 1, 1).section('\t', 1, 2), u("7\tマルセイマレ"));

    QLabel* title = child<QLabel>(*w, "LabelTitle");
    const QPoint at = title->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, title->mapToGlobal(at));
    QApplication::sendEvent(title, &click);
    QMenu* menu = child<QMenu>(*w, "PopupMenuTitle");
    ASSERT_TRUE(menu->isVisible());
    child<QAction>(*w, "MCopyTitle")->trigger();
    menu->close();
    const QStringList headingLines = title->text().split('\n');
    ASSERT_EQ(headingLines.size(), 2);
    EXPECT_EQ(clipboard->text(), headingLines[0].trimmed() + ' ' + headingLines[1].trimmed());
    w->close();
}

// The days opened last come back in a later run, newest first, eight of them; a day
// whose file is gone is greyed, and choosing one opens it.
TEST_F(DayCommandsTest, TheRecentDaysListTheLastEightOpenedNewestFirst) {
    std::vector<fs::path> days;
    for (int d = 1; d <= 9; ++d) {
        days.push_back(folder() / ("rv0102" + std::to_string(10 + d) + ".lzh"));
        fs::copy_file(s_archive, days.back());
    }
    QString venues;
    {
        auto w = dayWindow();
        for (const fs::path& day : days)
            ASSERT_TRUE(w->OpenDay(day));
        ASSERT_TRUE(w->OpenDay(days[3])); // again: first, and listed once
        for (int g = 0; g < raceIndex(*w)->topLevelItemCount(); ++g)
            venues += ' ' + raceIndex(*w)->topLevelItem(g)->text(0);
        w->close();
    }
    fs::remove(days[5]);

    auto w = makeWindow(); // a later run, over the same settings file
    useForms(*w);
    w->show();
    QMenu* recent = child<QMenu>(*w, "MRecent");
    auto listed = [recent] {
        recent->popup({});
        QStringList items;
        for (const QAction* item : recent->actions())
            items.append(item->text() + (item->isEnabled() ? "" : " (greyed)"));
        recent->close();
        return items;
    };
    auto item = [&venues](int place, int day) {
        return QStringLiteral("&%1 2001-02-%2").arg(place).arg(10 + day + 1) + venues;
    };
    EXPECT_EQ(listed(),
              (QStringList{item(1, 3), item(2, 8), item(3, 7), item(4, 6), item(5, 5) + " (greyed)",
                           item(6, 4), item(7, 2), item(8, 1)}));

    recent->popup({});
    recent->actions().at(2)->trigger();
    recent->close();
    ASSERT_TRUE(w->Session()->IsDayOpen());
    EXPECT_EQ(w->Session()->DayCode(), "010218");
    EXPECT_EQ(listed().first(), item(1, 7));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

// The chart draws what the grid shows: the current row's runner and the ones added, a
// mark for each figure cell (hollow for dirt) and none where the cell has no figure, each
// mark explaining itself as its cell does; another race takes the added ones away, and
// the pane's height and switch come back in the next run.
TEST_F(DayCommandsTest, TheFigureChartDrawsTheGridsRunnersAndExplainsItsMarks) {
    auto w = dayWindow("[Pos]\r\nGraph=1\r\nGraphHeight=200\r\n");
    ASSERT_TRUE(w->OpenDay(s_archive));
    doubleClick(*w, raceNode(*w, 8)); // 東京 9R, eighteen runners
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    TStrColGrid* grid = child<TStrColGrid>(*w, "GridYosou");
    auto* chart = child<TFigureChartView>(*w, "ChartFigure");
    ASSERT_TRUE(chart->isVisible());
    EXPECT_EQ(chart->height(), 200);
    auto drawn = [chart] {
        std::vector<int> runners;
        for (const TChartRunner& runner : chart->Chart().Runners())
            runners.push_back(runner.number);
        return runners;
    };
    QMenu* menu = child<QMenu>(*w, "PopupMenuYosou");
    QAction* add = child<QAction>(*w, "MAddToChart");
    enum How { kNothing, kDown, kMenu, kClick };
    const struct {
        const char* what;
        How how;
        int row;    // the row clicked or opened a menu on; the rows moved down
        bool added; // the menu's グラフに追加 was enabled
        std::vector<int> runners;
    } steps[] = {
        {"the first row is current", kNothing, 0, false, {1}},
        {"two rows down", kDown, 2, false, {3}},
        {"the current row cannot be added", kMenu, 3, false, {3}},
        {"added", kMenu, 5, true, {3, 5}},
        {"added twice is once", kMenu, 5, false, {3, 5}},
        {"a second added", kMenu, 12, true, {3, 5, 12}},
        {"no fourth", kMenu, 18, false, {3, 5, 12}},
        {"a click on another row", kClick, 7, false, {7, 5, 12}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const QPoint at = cellCentre(*grid, 2, step.row);
        for (int i = 0; step.how == kDown && i < step.row; ++i)
            QTest::keyClick(grid, Qt::Key_Down);
        if (step.how == kClick)
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        if (step.how == kMenu) {
            QContextMenuEvent click(QContextMenuEvent::Mouse, at,
                                    grid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid->viewport(), &click);
            EXPECT_EQ(add->isEnabled(), step.added);
            if (add->isEnabled())
                add->trigger();
            menu->close();
        }
        EXPECT_EQ(drawn(), step.runners);
    }

    // every figure cell of the drawn runners has its mark, a dirt figure a hollow one, and
    // the mark's tooltip is the cell's
    const TFigureChart& shown = chart->Chart();
    int marks = 0;
    for (const TChartRunner& runner : shown.Runners()) {
        for (int cell = 0; cell < 5; ++cell) {
            SCOPED_TRACE(testing::Message() << runner.number << " cell " << cell);
            const int col = 14 - cell;
            const QString text = qsjis(grid->Cells(col, runner.number));
            const bool figure = text.contains(QRegularExpression("^\\+?D?\\d+$"));
            const auto mark =
                std::find_if(shown.Marks().begin(), shown.Marks().end(), [&](const TChartMark& m) {
                    return m.runner == runner.number && m.cell == cell;
                });
            ASSERT_EQ(mark != shown.Marks().end(), figure) << text.toStdString();
            if (!figure)
                continue;
            ++marks;
            EXPECT_EQ(mark->dirt, text.contains('D'));
            EXPECT_EQ(toolTipOn(chart, {mark->x, mark->y}), toolTipAt(*grid, col, runner.number));
        }
    }
    EXPECT_GT(marks, 6);
    // a line joins only races one after another: a race without a figure leaves a gap
    for (const auto& line : shown.Lines())
        for (std::size_t i = 1; i < line.size(); ++i)
            EXPECT_EQ(line[i - 1].cell, line[i].cell + 1);
    EXPECT_EQ(toolTipOn(chart, {2, 2}), "");

    doubleClick(*w, raceNode(*w, 9)); // 東京 10R
    EXPECT_EQ(drawn(), std::vector<int>{std::stoi(grid->Cells(1, grid->Row()))});
    child<QAction>(*w, "ActionGraph")->trigger();
    EXPECT_FALSE(chart->isVisible());
    w->close();
    const std::string ini = readIni();
    EXPECT_NE(ini.find("Graph=0\r\nGraphHeight=200\r\n"), std::string::npos) << ini;
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
}
