#include "gui/window/Main.h"

#include "WindowFixture.h"
#include "app/DaySession.h"
#include "gui/window/RaceView.h"
#include "platform/Cancel.h"
#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/SampleDays.h"
#include "gui/dialogs/Cfg.h"
#include "gui/widgets/Images.h"
#include "gui/widgets/QtBoundary.h"
#include "gui/widgets/Splitter.h"
#include "gui/widgets/StrCGrid.h"
#include "gui/dialogs/Wait.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

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
        w->FormWait = new TFormWait(w.get());
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
    EXPECT_EQ(w.ActionOpen->isEnabled(), s.open);
    EXPECT_EQ(w.ActionClose->isEnabled(), s.close);
    EXPECT_EQ(w.ActionRaceIndex->isEnabled(), s.raceIndex);
    EXPECT_EQ(w.ActionRaceIndex->isChecked(), s.raceIndexChecked);
    for (QAction* output :
         {w.ActionOutAll, w.ActionOutVerbose, w.ActionOutHtml, w.ActionOutWars, w.ActionOutRuv})
        EXPECT_EQ(output->isEnabled(), s.outputs) << output->objectName().toStdString();
    // the commands of the whole run keep their state
    EXPECT_TRUE(w.ActionExit->isEnabled());
    EXPECT_TRUE(w.ActionCfg->isEnabled());
    EXPECT_TRUE(w.ActionContent->isEnabled());
    EXPECT_TRUE(w.ActionAbout->isEnabled());
    for (const QWidget* pane :
         {static_cast<QWidget*>(w.Panel1), static_cast<QWidget*>(w.Splitter1),
          static_cast<QWidget*>(w.TreeView1), static_cast<QWidget*>(w.PageControl1)})
        EXPECT_EQ(pane->isHidden(), !s.close) << pane->objectName().toStdString();
}

constexpr TActionStates kDayOpen{true, true, true, true, true};
constexpr TActionStates kNoDay{true, false, false, false, false};

QTreeWidgetItem* raceNode(const TFormMain& w, int index) {
    for (int g = 0; g < w.TreeView1->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = w.TreeView1->topLevelItem(g);
        for (int r = 0; r < group->childCount(); ++r)
            if (group->child(r)->data(0, Qt::UserRole).toInt() == index)
                return group->child(r);
    }
    return nullptr;
}

// A double click on the node, as the user gives it.
void doubleClick(const TFormMain& w, QTreeWidgetItem* node) {
    w.TreeView1->scrollToItem(node);
    const QPoint centre = w.TreeView1->visualItemRect(node).center();
    QTest::mouseClick(w.TreeView1->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(w.TreeView1->viewport(), Qt::LeftButton, {}, centre);
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
    w->PageControl1->setCurrentWidget(w->TabSheet1Cyo);
    ASSERT_TRUE(w->OpenDay(s_archive));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    expectStates(*w, kDayOpen);
    EXPECT_EQ(w->Session()->DayCode(), "010128");
    EXPECT_EQ(w->PageControl1->currentWidget(), w->TabSheet1Yosou);
    EXPECT_TRUE(written().empty()); // OutAtRead is off

    const char* const venues[] = {"東京", "京都", "小倉"};
    ASSERT_EQ(w->TreeView1->topLevelItemCount(), 3);
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        const QTreeWidgetItem* group = w->TreeView1->topLevelItem(g);
        EXPECT_EQ(group->text(0), u(venues[g]));
        EXPECT_EQ(group->data(0, Qt::UserRole).toInt(), -1);
        EXPECT_EQ(group->icon(0).cacheKey(), w->ImageList2[nodeImage::kVenue].cacheKey());
        EXPECT_TRUE(group->isExpanded());
        ASSERT_EQ(group->childCount(), 12);
        for (int r = 0; r < 12; ++r) {
            const QTreeWidgetItem* race = group->child(r);
            EXPECT_EQ(race->data(0, Qt::UserRole).toInt(), g * 12 + r);
            EXPECT_EQ(race->icon(0).cacheKey(), w->ImageList2[nodeImage::kRace].cacheKey());
            EXPECT_TRUE(race->text(0).startsWith(QString::number(r + 1) + u("R ")))
                << race->text(0).toStdString();
        }
    }
    EXPECT_EQ(w->TreeView1->topLevelItem(0)->child(0)->text(0), u("1R ３歳未勝利 芝2000m"));
    EXPECT_EQ(w->TreeView1->topLevelItem(0)->child(11)->text(0), u("12R 東京新聞杯 芝1200m"));

    // a race shown, then closed: everything of the day is gone
    doubleClick(*w, raceNode(*w, 0));
    ASSERT_FALSE(w->LabelTitle->text().isEmpty());
    w->ActionClose->trigger();
    expectStates(*w, kNoDay);
    EXPECT_FALSE(w->Session()->IsDayOpen());
    EXPECT_EQ(w->Session()->DayCode(), "");
    EXPECT_EQ(w->TreeView1->topLevelItemCount(), 0);
    EXPECT_EQ(w->LabelTitle->text(), QString());
    EXPECT_EQ(w->RaceView()->LabelKaime1()->text(), QString());
    EXPECT_EQ(w->RaceView()->GridYosou()->RowCount(), 2);
    EXPECT_TRUE(w->Image1->isVisible());
    w->close();
}

TEST_F(DayCommandsTest, AFailedOpenNamesTheMissingFileAndLeavesNoDayOpen) {
    auto w = dayWindow();
    const fs::path broken = folder() / "rv010204.lzh";
    WriteBinaryFile(broken, MakeLzhArchive({{"readme.txt", "no race files"}}));
    ASSERT_TRUE(w->OpenDay(s_archive));

    // the open day is closed before the broken one is tried
    EXPECT_FALSE(w->OpenDay(broken));
    EXPECT_EQ(m_errors, QStringList{u("ruv_den1.kd2がオープンできません")});
    expectStates(*w, kNoDay);
    EXPECT_FALSE(w->Session()->IsDayOpen());
    EXPECT_EQ(w->TreeView1->topLevelItemCount(), 0);

    // and the next open works
    EXPECT_TRUE(w->OpenDay(s_archive));
    expectStates(*w, kDayOpen);
    w->close();
}

TEST_F(DayCommandsTest, TheOpenDialogOpensTheChosenDayAndItsCancelLeavesNoDayOpen) {
    auto w = dayWindow();
    QString directory;
    QStringList filters;
    withModal(w->ActionOpen, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_EQ(dialog, w->OpenDialog1);
        directory = dialog->directory().absolutePath() + '/';
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(s_archive.string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(directory.toStdString(), s_day->folderText());
    EXPECT_EQ(filters, (QStringList{u("RUVデータ(*.lzh)"), u("全てのファイル(*.*)")}));
    expectStates(*w, kDayOpen);
    EXPECT_EQ(w->TreeView1->topLevelItemCount(), 3);

    withModal(w->ActionOpen, [&](QWidget* modal) {
        ASSERT_EQ(modal, w->OpenDialog1);
        EXPECT_EQ(w->OpenDialog1->selectedFiles().value(0).section('/', -1), QString());
        w->OpenDialog1->reject();
    });
    expectStates(*w, kNoDay);
    EXPECT_FALSE(w->Session()->IsDayOpen());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

TEST_F(DayCommandsTest, ADoubleClickOnARaceShowsItAndOnAVenueDoesNothing) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    TRaceView& view = *w->RaceView();
    const struct {
        int race;
        const char* bets;
    } races[] = {
        {0, "<買い目> 馬番連勝 "},
        {2, "<買い目> 枠番連勝 "},
        {3, "<買い目> 見送り"},
    };
    for (const auto& r : races) {
        SCOPED_TRACE(r.race);
        doubleClick(*w, raceNode(*w, r.race));
        const TRaceBase& race = w->Session()->Race();
        EXPECT_EQ(w->LabelTitle->text(), qsjis(race.RaceHeading()).replace(u("\r\n"), u("\n")));
        EXPECT_EQ(view.GridYosou()->RowCount(), race.RunnerCount() + 1);
        EXPECT_EQ(view.GridYosou()->Cells(1, 1), "1");
        EXPECT_TRUE(view.LabelKaime1()->text().startsWith(u(r.bets)))
            << view.LabelKaime1()->text().toStdString();
    }
    EXPECT_EQ(view.LabelKaime1()->text(), u("<買い目> 見送り"));
    EXPECT_TRUE(w->Panel1->isVisible()); // RaceClose is off

    // a venue node leaves the race that is shown
    const QString title = w->LabelTitle->text();
    doubleClick(*w, w->TreeView1->topLevelItem(1));
    EXPECT_EQ(w->LabelTitle->text(), title);
    EXPECT_EQ(view.LabelKaime1()->text(), u("<買い目> 見送り"));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

TEST_F(DayCommandsTest, RaceCloseHidesTheIndexOnceARaceIsChosen) {
    auto w = dayWindow("[Other]\r\nRaceClose=1\r\n");
    ASSERT_TRUE(w->OpenDay(s_archive));
    doubleClick(*w, raceNode(*w, 12));
    EXPECT_TRUE(w->LabelTitle->text().contains(u("京都")));
    EXPECT_TRUE(w->Panel1->isHidden());
    EXPECT_TRUE(w->Splitter1->isHidden());
    EXPECT_FALSE(w->ActionRaceIndex->isChecked());
    EXPECT_TRUE(w->ActionRaceIndex->isEnabled());
    w->ActionRaceIndex->trigger(); // the user shows it again
    EXPECT_TRUE(w->Panel1->isVisible());
    EXPECT_TRUE(w->Splitter1->isVisible());
    EXPECT_TRUE(w->ActionRaceIndex->isChecked());
    w->close();
}

TEST_F(DayCommandsTest, ARaceThatCannotBeReadIsReportedAndTheViewStaysAsItWas) {
    SampleDay day = DemoDay();
    day.races[5].runnerCount = "19"; // more runners than a race can hold
    const fs::path archive = folder() / kDemoArchiveName;
    WriteDayArchive(archive, day);
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(archive));
    doubleClick(*w, raceNode(*w, 0));
    const QString title = w->LabelTitle->text();
    const std::string name = w->RaceView()->GridYosou()->Cells(2, 1);
    const int rows = w->RaceView()->GridYosou()->RowCount();
    doubleClick(*w, raceNode(*w, 5));
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors[0].startsWith(u("該当するデータがありません(2001")))
        << m_errors[0].toStdString();
    EXPECT_EQ(w->LabelTitle->text(), title);
    EXPECT_EQ(w->RaceView()->GridYosou()->Cells(2, 1), name);
    EXPECT_EQ(w->RaceView()->GridYosou()->RowCount(), rows);
    w->close();
}

TEST_F(DayCommandsTest, OutAtReadRunsTheBatchOutputOnceTheIndexIsBuilt) {
    auto w = dayWindow("[File]\r\nOutAtRead=1\r\nTextOut=1\r\nWarsOut=1\r\n");
    int steps = 0;
    QObject::connect(w->FormWait->ProgressBar1(), &QProgressBar::valueChanged, [&](int value) {
        if (value != 1)
            return;
        ++steps;
        EXPECT_EQ(w->TreeView1->topLevelItemCount(), 3);
        EXPECT_EQ(w->PageControl1->currentWidget(), w->TabSheet1Yosou);
        EXPECT_FALSE(w->isEnabled());
        EXPECT_TRUE(w->FormWait->isVisible());
        EXPECT_TRUE(w->FormWait->ButtonCancel()->isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    });
    ASSERT_TRUE(w->OpenDay(s_archive));
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(written(), (std::set<std::string>{"s2001012800.txt", "s2001012803.txt",
                                                "s2001012804.txt", "w20010128.txt"}));
    EXPECT_EQ(w->FormWait->ProgressBar1()->maximum(), 36);
    EXPECT_EQ(w->FormWait->Label2()->text(), u("処理数 36/36"));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->FormWait->isVisible());
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
    const struct {
        QAction* action;
        std::set<std::string> files;
    } commands[] = {
        {w->ActionOutVerbose, {"s2001012800.txt", "s2001012803.txt", "s2001012804.txt"}},
        {w->ActionOutHtml, {"s2001012800.htm", "s2001012803.htm", "s2001012804.htm"}},
        {w->ActionOutWars, {"w20010128.txt"}},
        {w->ActionOutRuv, {"q20010128.txt"}},
        {w->ActionOutAll,
         {"s2001012800.txt", "s2001012803.txt", "s2001012804.txt", "s2001012800.htm",
          "s2001012803.htm", "s2001012804.htm", "w20010128.txt", "q20010128.txt"}},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.action->objectName().toStdString());
        fs::remove_all(out());
        fs::create_directories(out());
        c.action->trigger();
        EXPECT_EQ(written(), c.files);
        EXPECT_EQ(w->FormWait->Label2()->text(), u("処理数 36/36"));
        EXPECT_TRUE(w->isEnabled());
    }
    // the WARS contest file and the RUV text file are told apart by their first line
    EXPECT_TRUE(readFile(out() / "w20010128.txt") != readFile(out() / "q20010128.txt"));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    w->close();
}

TEST_F(DayCommandsTest, CancelStopsTheWalkBeforeTheNextRace) {
    auto w = dayWindow();
    ASSERT_TRUE(w->OpenDay(s_archive));
    QObject::connect(w->FormWait->ProgressBar1(), &QProgressBar::valueChanged, [&](int value) {
        // the click arrives while race 3's step lets the window system work
        if (value == 3)
            QTimer::singleShot(0, w->FormWait->ButtonCancel(), &QPushButton::click);
    });
    w->ActionOutRuv->trigger();
    EXPECT_TRUE(CancelRequested());
    EXPECT_EQ(w->FormWait->ProgressBar1()->value(), 3);
    EXPECT_EQ(w->FormWait->Label2()->text(), u("処理数  3/36"));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->FormWait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(written(), std::set<std::string>{"q20010128.txt"});

    // the last race reached is race 2 (index 1); race 3 was never selected
    const std::string reached = w->Session()->Race().RaceKey();
    w->Session()->PrepareRace(1, false);
    EXPECT_EQ(w->Session()->Race().RaceKey(), reached);

    // the next command starts afresh: showing the dialog clears the flag
    QObject::disconnect(w->FormWait->ProgressBar1(), nullptr, nullptr, nullptr);
    w->ActionOutRuv->trigger();
    EXPECT_FALSE(CancelRequested());
    EXPECT_EQ(w->FormWait->Label2()->text(), u("処理数 36/36"));
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
    w->ActionOutWars->trigger();
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors[0].contains(QString::fromStdString((out() / "w20010128.txt").string())))
        << m_errors[0].toStdString();
    EXPECT_TRUE(enabledAtTheBox);
    EXPECT_EQ(w->FormWait->ProgressBar1()->value(), 1); // the first race's writer failed
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->FormWait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    expectStates(*w, kDayOpen);
    w->close();
}

TEST_F(DayCommandsTest, ANewFontSizeFromTheSettingsDialogReachesTheGrids) {
    auto w = dayWindow("[Font]\r\nSize=11\r\nSizeOdds=9\r\n");
    w->FormCfg = new TFormCfg(m_settings, w.get());
    TStrColGrid& yosou = *w->RaceView()->GridYosou();
    TStrColGrid& tan = *w->RaceView()->GridOddsTan();
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
        withModal(w->ActionCfg, [&](QWidget* modal) {
            ASSERT_EQ(modal, w->FormCfg);
            w->FormCfg->EditFontSize->setText(QString::fromLatin1(a.size));
            if (a.ok)
                w->FormCfg->ButtonOk->click();
            else
                w->FormCfg->reject();
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
    ASSERT_EQ(w->TreeView1->topLevelItemCount(), 2);
    const QTreeWidgetItem* tokyo = w->TreeView1->topLevelItem(0);
    EXPECT_EQ(tokyo->text(0), u("東京"));
    ASSERT_EQ(tokyo->childCount(), 2);
    EXPECT_EQ(tokyo->child(0)->data(0, Qt::UserRole).toInt(), 0);
    EXPECT_EQ(tokyo->child(1)->data(0, Qt::UserRole).toInt(), 2);
    EXPECT_EQ(tokyo->child(1)->text(0), u("2R ３歳以上未勝利 芝1600m"));
    EXPECT_EQ(w->TreeView1->topLevelItem(1)->text(0), u("中山"));
    EXPECT_EQ(w->TreeView1->topLevelItem(1)->childCount(), 1);
    w->close();
}
