#include "gui/window/Main.h"
#include "sampleday/DayWriter.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/SampleDays.h"
#include "race/RaceBase.h"

#include "WindowFixture.h"
#include "support/TestFiles.h"
#include "session/DaySession.h"
#include "platform/IniFile.h"
#include "gui/dialogs/Cfg.h"
#include "gui/support/AppHint.h"
#include "gui/support/Images.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/MenuBar.h"
#include "gui/widgets/Splitter.h"
#include "gui/widgets/URLLabel.h"
#include "gui/dialogs/Ver.h"
#include "sampleday/SampleDays.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

QStringList namesOf(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* action : actions)
        names.append(action->isSeparator() ? "-" : action->objectName());
    return names;
}

// The items of a menu as the user reads them; "-" for a separator.
QStringList captionsOf(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* action : actions)
        captions.append(action->isSeparator() ? "-" : action->text());
    return captions;
}

// The modal dialog that action opens, closed again; nullptr when it opens none.
QWidget* modalOf(QAction* action) {
    QWidget* modal = nullptr;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&modal] {
        modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    timer.start(0);
    action->trigger();
    timer.stop(); // not run when no dialog ran its loop
    return modal;
}

} // namespace

TEST_F(WindowTest, EveryCommandStartsWithItsCaptionHintPictureAndState) {
    writeTimeDb();
    auto w = makeWindow();
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    const struct {
        const char* name;
        const char* category;
        const char* caption;
        const char* hint;
        int image;
        bool enabled;
        bool checkable;
    } commands[] = {
        {"ActionOpen", "ファイル", "開く(&O)", "ファイルを開きます", 0, true, false},
        {"ActionClose", "ファイル", "閉じる(&C)", "閉じます", 1, false, false},
        {"ActionExit", "ファイル", "終了(&X)", "終了します", 4, true, false},
        {"ActionRaceIndex", "表示", "レース一覧の表示(&I)", "レース一覧を表示します", 5, false,
         true},
        {"ActionBamei", "表示", "馬名の表示(&B)", "馬名を表示します", 7, false, true},
        {"ActionGraph", "表示", "指数グラフ(&G)", "馬の指数の推移をグラフで表示します", -1, true,
         true},
        {"ActionCfg", "オプション", "環境設定(&C)", "環境設定を行います", 6, true, false},
        {"ActionContent", "ヘルプ", "目次(&C)", "ヘルプを表示します", 2, true, false},
        {"ActionAbout", "ヘルプ", "バージョン情報(&A)", "バージョン情報を表示します", 3, true,
         false},
        {"ActionOutAll", "出力", "一括出力(&A)", "ファイルに一括出力します", -1, false, false},
        {"ActionOutVerbose", "出力", "詳細テキストファイル出力(&T)",
         "詳細テキストファイルを出力します", -1, false, false},
        {"ActionOutHtml", "出力", "HTMLファイル出力(&H)", "HTMLファイルを出力します", -1, false,
         false},
        {"ActionOutWars", "出力", "WARSファイル出力(&W)", "WARSコンテストファイルを出力します", -1,
         false, false},
        {"ActionOutRuv", "出力", "RUVファイル出力(&Q)", "RUVファイルを出力します", -1, false,
         false},
        {"ActionOutCsv", "出力", "CSV出力(&C)", "CSVファイルを出力します", -1, false, false},
        {"ActionLedger", "出力", "成績集計(&L)",
         "フォルダの開催日をまとめて、印と買い目の成績を集計します", -1, true, false},
        {"ActionNextRace", "表示", "次のレース(&N)\tCtrl+PgDn, Alt+→", "次のレースを表示します", -1,
         false, false},
        {"ActionPrevRace", "表示", "前のレース(&P)\tCtrl+PgUp, Alt+←", "前のレースを表示します", -1,
         false, false},
        {"ActionPageYosou", "表示", "予想(&Y)", "予想のページを表示します", -1, false, false},
        {"ActionPageOdds", "表示", "オッズ(&D)", "オッズのページを表示します", -1, false, false},
        {"ActionPageCyo", "表示", "調教(&T)", "調教のページを表示します", -1, false, false},
    };
    // the window's commands are the actions with a category: these and no others
    QStringList names;
    for (const QAction* action : w->findChildren<QAction*>())
        if (action->property("Category").isValid())
            names.append(action->objectName());
    QStringList expected;
    for (const auto& c : commands)
        expected.append(u(c.name));
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);

    const QList<QIcon> pictures = CommandImages();
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        const QAction* action = child<QAction>(*w, c.name);
        EXPECT_EQ(action->property("Category").toString(), u(c.category));
        EXPECT_EQ(action->text(), u(c.caption));
        EXPECT_EQ(action->toolTip(), u(c.hint));
        EXPECT_EQ(action->statusTip(), u(c.hint));
        EXPECT_EQ(action->property("ImageIndex").toInt(), c.image);
        if (c.image < 0)
            EXPECT_TRUE(action->icon().isNull());
        else
            EXPECT_TRUE(samePicture(action->icon(), pictures[c.image]));
        EXPECT_EQ(action->isEnabled(), c.enabled);
        EXPECT_EQ(action->isCheckable(), c.checkable);
        EXPECT_EQ(action->isChecked(), c.name == std::string("ActionBamei")); // Bamei 1
    }
    ASSERT_NE(w->Session(), nullptr);
    EXPECT_TRUE(w->Session()->HasFocus());
    EXPECT_FALSE(w->Session()->IsDayOpen());
}

TEST_F(WindowTest, WithoutThePredictionTheOpenCommandStaysDisabled) {
    auto w = makeWindow(); // no time.dbx in the Time folder
    const QAction* open = child<QAction>(*w, "ActionOpen");
    // the message first, then the folder searched and how to set it
    ASSERT_EQ(m_errors.size(), 1);
    const QStringList lines = m_errors.first().split('\n');
    ASSERT_EQ(lines.size(), 3) << m_errors.first().toStdString();
    EXPECT_EQ(lines[0], u("time.dbxがオープンできません"));
    EXPECT_EQ(lines[1], u("探したフォルダ: ") + QString::fromStdString(folderText()));
    EXPECT_TRUE(lines[2].contains(u("環境設定 > フォルダ の「タイムデータ(TIME.DBX)のフォルダ」")));
    EXPECT_TRUE(lines[2].contains(u("次回の起動から")));
    EXPECT_FALSE(open->isEnabled());
    EXPECT_FALSE(w->CanOpenDay());
    EXPECT_FALSE(w->Session()->HasFocus());
    EXPECT_TRUE(child<QAction>(*w, "ActionExit")->isEnabled());

    // a later success enables it, freeing disables it again
    writeTimeDb();
    EXPECT_TRUE(w->FocusCreate());
    EXPECT_TRUE(open->isEnabled());
    EXPECT_TRUE(w->CanOpenDay());
    w->FocusFree();
    EXPECT_FALSE(open->isEnabled());
    EXPECT_FALSE(w->Session()->HasFocus());

    // where the sample day lies, its time database is offered to try the program with
    fs::remove(folder() / "time.dbx");
    fs::create_directories(folder() / "sample" / "time");
    WriteTimeDb(folder() / "sample" / "time", TimeDbCovering(SmallTestDay()));
    EXPECT_FALSE(w->FocusCreate());
    ASSERT_EQ(m_errors.size(), 2);
    EXPECT_EQ(m_errors[1].split('\n').last(),
              u("試すには、見本の開催日のタイムデータのフォルダ ") +
                  QString::fromStdString((folder() / "sample" / "time").string()) +
                  u(" を指定してください。"));
}

// A race file cut short: the day opens with its whole races and a warning that names the
// archive, the file and the bytes left over.
TEST_F(WindowTest, ADayWithARecordFileCutShortOpensWithAWarning) {
    writeTimeDb();
    auto w = makeWindow();
    std::vector<LzhMember> members = DayMembers(SmallTestDay());
    members[0].data.resize(779 + 100);
    const fs::path archive = folder() / "rv010128.lzh";
    WriteBinaryFile(archive, MakeLzhArchive(members));
    ASSERT_TRUE(w->OpenDay(archive));
    EXPECT_EQ(m_warnings, QStringList{QString::fromStdString(archive.string()) +
                                      u("\nruv_den1.kd2 の 879 バイトは 779 バイトのレコードで割り"
                                        "切れません: 最後の 100 バイトは読みません")});
    EXPECT_EQ(w->Session()->Race().RaceCount(), 1);
}

TEST_F(WindowTest, TheMenuBarShowsEachMenuWithItsCommandsInOrder) {
    auto w = makeWindow();
    const struct {
        const char* title;
        QStringList items; // "-": a separator
    } menus[] = {
        {"ファイル(&F)",
         {u("開く(&O)"), u("閉じる(&C)"), u("最近使った開催日(&R)"), u("終了(&X)")}},
        {"出力(&G)",
         {u("一括出力(&A)"), "-", u("詳細テキストファイル出力(&T)"), u("HTMLファイル出力(&H)"),
          u("WARSファイル出力(&W)"), u("RUVファイル出力(&Q)"), u("CSV出力(&C)"), "-",
          u("成績集計(&L)")}},
        {"表示(&S)",
         {u("レース一覧の表示(&I)"), u("馬名の表示(&B)"), u("指数グラフ(&G)"), "-",
          u("次のレース(&N)\tCtrl+PgDn, Alt+→"), u("前のレース(&P)\tCtrl+PgUp, Alt+←"), "-",
          u("予想(&Y)"), u("オッズ(&D)"), u("調教(&T)")}},
        {"オプション(&O)", {u("ツールバーの表示(&T)"), u("環境設定(&C)")}},
        {"ヘルプ(&H)", {u("目次(&C)"), u("バージョン情報(&A)")}},
    };
    const TMenuBar* menuBar = child<TMenuBar>(*w, "MenuBar1");
    ASSERT_EQ(menuBar->Buttons().size(), std::size(menus));
    for (std::size_t i = 0; i < std::size(menus); ++i) {
        const auto& m = menus[i];
        SCOPED_TRACE(m.title);
        const QToolButton* button = menuBar->Buttons()[static_cast<qsizetype>(i)];
        EXPECT_EQ(button->text(), u(m.title));
        EXPECT_TRUE(button->autoRaise());
        ASSERT_NE(button->menu(), nullptr);
        EXPECT_EQ(captionsOf(button->menu()->actions()), m.items);
        EXPECT_EQ(button->menu()->font().family(), u("IPAPGothic"));
    }
    const QAction* toolBarSwitch = child<QAction>(*w, "MToolBar");
    EXPECT_TRUE(toolBarSwitch->isCheckable());
    EXPECT_TRUE(toolBarSwitch->isChecked());
    const QFrame* coolBar = child<QFrame>(*w, "CoolBar1");
    EXPECT_EQ(w->menuWidget(), coolBar);
    EXPECT_EQ(menuBar->parentWidget(), coolBar);
}

TEST_F(WindowTest, TheToolBarHoldsItsButtonsInOrderAndCanFloat) {
    auto w = makeWindow();
    QToolBar* toolBar = child<QToolBar>(*w, "ToolBar1");
    EXPECT_EQ(namesOf(toolBar->actions()),
              (QStringList{"ActionOpen", "ActionClose", "ActionRaceIndex", "-", "ActionContent",
                           "ActionAbout", "-", "ActionExit"}));
    EXPECT_TRUE(toolBar->isMovable());
    EXPECT_TRUE(toolBar->isFloatable());
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(w->toolBarArea(toolBar), Qt::TopToolBarArea);
    auto* open =
        qobject_cast<QToolButton*>(toolBar->widgetForAction(child<QAction>(*w, "ActionOpen")));
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->autoRaise()); // flat
}

TEST_F(WindowTest, TheFrameStartsWithOnlyTheLogoSeen) {
    writeTimeDb();
    auto w = makeWindow();
    w->show();
    EXPECT_EQ(w->windowTitle(), u("RUV PELTON"));
    EXPECT_EQ(w->size(), QSize(738, 496));
    EXPECT_EQ(w->font().family(), u("IPAPGothic"));
    EXPECT_EQ(w->font().pixelSize(), 12);
    const QLabel* title = child<QLabel>(*w, "LabelTitle");
    EXPECT_EQ(title->font().family(), u("IPAMincho"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(Qt::blue));

    const QTabWidget* pageControl = child<QTabWidget>(*w, "PageControl1");
    ASSERT_EQ(pageControl->count(), 3);
    const std::pair<const char*, const char*> pages[] = {
        {"TabSheet1Yosou", "予　想"}, {"TabSheet1Odds", "オッズ"}, {"TabSheet1Cyo", "調　教"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pageControl->widget(i), child<QWidget>(*w, pages[i].first));
        EXPECT_EQ(pageControl->tabText(i), u(pages[i].second));
    }
    for (const char* hidden : {"Panel1", "Splitter1", "TreeView1", "PageControl1"})
        EXPECT_TRUE(child<QWidget>(*w, hidden)->isHidden()) << hidden;
    EXPECT_TRUE(child<QLabel>(*w, "Image1")->isVisible());
    EXPECT_TRUE(child<QFrame>(*w, "Panel4")->isVisible());
    const QFrame* panel1 = child<QFrame>(*w, "Panel1");
    EXPECT_EQ(child<QTreeWidget>(*w, "TreeView1")->parentWidget(), panel1);
    EXPECT_EQ(child<TSplitter>(*w, "Splitter1")->Pane(), panel1);
    EXPECT_TRUE(child<QWidget>(*w, "TabSheet1Odds")->isAncestorOf(child<QWidget>(*w, "Panel5")));
    EXPECT_EQ(w->RaceTreeWidth(), 183);
    EXPECT_EQ(panel1->width(), 185);
    EXPECT_EQ(w->HorseNamePaneWidth(), 113);
    EXPECT_EQ(child<QStatusBar>(*w, "StatusBar1"), w->statusBar());
    EXPECT_GE(child<QLabel>(*w, "StatusPanel0")->width(), 100);
    EXPECT_EQ(child<QFileDialog>(*w, "OpenDialog1")->parentWidget(), w.get());
    w->close();
}

TEST_F(WindowTest, TheLogoStandsWhereThePlacementRulePutsIt) {
    writeTimeDb();
    auto w = makeWindow();
    w->show();
    QToolBar* toolBar = child<QToolBar>(*w, "ToolBar1");
    const QLabel* image = child<QLabel>(*w, "Image1");
    for (const QSize size : {QSize(738, 496), QSize(1000, 700), QSize(600, 420)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(w->size(), size);
        const int T = toolBar->height();
        EXPECT_EQ(w->ControlBarHeight(), T);
        const QRect logo = image->geometry();
        EXPECT_EQ(logo.size(), QSize(TFormMain::kLogoWidth, TFormMain::kLogoHeight));
        EXPECT_EQ(logo.left(), (size.width() - 320) / 2);
        EXPECT_EQ(logo.top(), T + (size.height() - T - 100) / 2 - 100);
        // nothing of it is cut off
        EXPECT_TRUE(child<QWidget>(*w, "Panel2")->rect().contains(logo));
    }
    // a hidden tool bar leaves no tool bar area
    toolBar->hide();
    QApplication::processEvents();
    EXPECT_EQ(w->ControlBarHeight(), 0);
    EXPECT_EQ(image->y(), (420 - 100) / 2 - 100);
    w->close();
}

TEST_F(WindowTest, HintsReachTheStatusBarExceptWhileTheAboutBoxShows) {
    writeTimeDb();
    auto w = makeWindow();
    useForms(*w);
    w->show();
    auto hint = [](QWidget* target, const QString& text) {
        QStatusTipEvent event(text);
        QApplication::sendEvent(target, &event);
    };
    QToolBar* toolBar = child<QToolBar>(*w, "ToolBar1");
    const QLabel* panel = child<QLabel>(*w, "StatusPanel0");
    QMenu* help = child<QMenu>(*w, "MHelp");
    QAction* open = child<QAction>(*w, "ActionOpen");
    QAction* about = child<QAction>(*w, "ActionAbout");
    QAction* exit = child<QAction>(*w, "ActionExit");
    TFormVer* formVer = child<TFormVer>(*w, "FormVer");
    TURLLabel* mail = child<TURLLabel>(*formVer, "URLLabel2");
    hint(toolBar->widgetForAction(open), open->statusTip());
    EXPECT_EQ(panel->text(), u("ファイルを開きます"));
    help->popup(QPoint(10, 10));
    help->setActiveAction(child<QAction>(*w, "ActionContent")); // the pointer on a menu item
    EXPECT_EQ(panel->text(), u("ヘルプを表示します"));
    help->hide();
    EXPECT_EQ(panel->text(), QString()); // the menu closed under the pointer
    hint(toolBar->widgetForAction(about), about->statusTip());

    bool handlerWhileShown = true;
    QTimer::singleShot(0, [&] {
        handlerWhileShown = static_cast<bool>(TAppHint::OnHint());
        hint(mail, mail->statusTip());
        formVer->Button1Click();
    });
    about->trigger();
    EXPECT_FALSE(handlerWhileShown);
    EXPECT_EQ(panel->text(), u("バージョン情報を表示します"));
    hint(toolBar->widgetForAction(exit), exit->statusTip());
    EXPECT_EQ(panel->text(), u("終了します"));
    hint(toolBar, QString()); // the pointer left
    EXPECT_EQ(panel->text(), QString());
    w->close();
}

TEST_F(WindowTest, TheAboutAndSettingsCommandsShowTheirDialogsModally) {
    writeTimeDb();
    auto w = makeWindow();
    w->show();
    QAction* about = child<QAction>(*w, "ActionAbout");
    EXPECT_EQ(modalOf(about), nullptr); // no about box made: nothing happens
    useForms(*w);
    const auto* formVer = child<TFormVer>(*w, "FormVer");
    const auto* formCfg = child<TFormCfg>(*w, "FormCfg");
    EXPECT_EQ(modalOf(about), formVer);
    EXPECT_EQ(child<QLabel>(*formVer, "Label2")->text(), u("Version 2.5.1"));
    EXPECT_EQ(modalOf(child<QAction>(*w, "ActionCfg")), formCfg);
    EXPECT_FALSE(formCfg->isVisible());
    w->close();
}

TEST_F(WindowTest, ContentsOpensTheHelpFileInTheViewerAndNamesItOnAnyFailure) {
    auto w = makeWindow();
    QAction* contents = child<QAction>(*w, "ActionContent");
    const QString help = QString::fromStdString((folder() / "ruvpelton.html").string());
    m_errors.clear();
    contents->trigger();
    EXPECT_EQ(m_errors, QStringList{help + u("がオープンできません")});
    WriteBinaryFile(folder() / "ruvpelton.html", "<html></html>");

    // xdg-open as the desktop has it: it notes what it was handed and ends as told
    const fs::path bin = folder() / "bin";
    fs::create_directories(bin);
    const QByteArray path = qgetenv("PATH");
    struct Case {
        const char* viewer; // the script; nullptr: no xdg-open at all
        bool fails;
    } const cases[] = {{"exit 0", false}, {"exit 3", true}, {"kill -9 $$", true}, {nullptr, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.viewer ? c.viewer : "none");
        fs::remove(bin / "xdg-open");
        fs::remove(folder() / "opened");
        if (c.viewer != nullptr) {
            WriteBinaryFile(bin / "xdg-open", std::string("#!/bin/sh\necho \"$1\" > ") +
                                                  (folder() / "opened").string() + "\n" + c.viewer +
                                                  "\n");
            fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        }
        qputenv("PATH", QByteArray::fromStdString(bin.string()));
        m_errors.clear();
        contents->trigger();
        qputenv("PATH", path);
        const QStringList failure{u("ヘルプファイル ") + help + u(" を開けませんでした")};
        if (c.fails)
            EXPECT_TRUE(QTest::qWaitFor([&] { return m_errors == failure; }, 5000));
        else
            EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(folder() / "opened"); }, 5000));
        QTest::qWait(50);
        EXPECT_EQ(m_errors, c.fails ? failure : QStringList{});
        if (c.viewer != nullptr)
            EXPECT_EQ(ReadBytes(folder() / "opened"), help.toStdString() + "\n");
    }
}

TEST_F(WindowTest, TheToolBarSwitchFollowsTheToolBar) {
    auto w = makeWindow();
    w->show();
    QAction* toolBarSwitch = child<QAction>(*w, "MToolBar");
    QToolBar* toolBar = child<QToolBar>(*w, "ToolBar1");
    QMenu* options = child<QMenu>(*w, "MOption");
    toolBarSwitch->trigger();
    EXPECT_FALSE(toolBarSwitch->isChecked());
    EXPECT_FALSE(toolBar->isVisible());
    toolBarSwitch->trigger();
    EXPECT_TRUE(toolBarSwitch->isChecked());
    EXPECT_TRUE(toolBar->isVisible());

    // hidden some other way (restored hidden, or closed while floating): opening the
    // options menu takes the check mark away
    toolBar->hide();
    EXPECT_TRUE(toolBarSwitch->isChecked());
    emit options->aboutToShow();
    EXPECT_FALSE(toolBarSwitch->isChecked());
    emit options->aboutToShow();
    EXPECT_FALSE(toolBarSwitch->isChecked());
    w->close();
}

TEST_F(WindowTest, TheHorseNameSwitchNeedsTheOddsPageAndAnOpenDay) {
    auto w = makeWindow();
    w->show();
    QAction* bamei = child<QAction>(*w, "ActionBamei");
    const QWidget* pane = child<QWidget>(*w, "Panel5");
    const QWidget* splitter = child<QWidget>(*w, "Splitter2");
    EXPECT_FALSE(bamei->isEnabled());
    bamei->trigger(); // disabled: nothing happens
    EXPECT_TRUE(bamei->isChecked());

    // the odds page shown enables it; the click hides the pane, the next shows it again
    QTabWidget* pageControl = child<QTabWidget>(*w, "PageControl1");
    pageControl->show();
    pageControl->setCurrentWidget(child<QWidget>(*w, "TabSheet1Odds"));
    EXPECT_TRUE(bamei->isEnabled());
    bamei->trigger();
    EXPECT_FALSE(bamei->isChecked());
    EXPECT_TRUE(pane->isHidden());
    EXPECT_TRUE(splitter->isHidden());
    bamei->trigger();
    EXPECT_FALSE(pane->isHidden());
    EXPECT_FALSE(splitter->isHidden());

    // opening 表示 without an open day disables it again
    emit child<QMenu>(*w, "MShow")->aboutToShow();
    EXPECT_FALSE(bamei->isEnabled());
    w->close();
}

TEST_F(WindowTest, BameiZeroStartsWithThePaneHiddenAndIsWrittenBack) {
    writeIni("[Pos]\r\nBamei=0\r\n");
    {
        auto w = makeWindow();
        w->show();
        EXPECT_FALSE(child<QAction>(*w, "ActionBamei")->isChecked());
        EXPECT_TRUE(child<QWidget>(*w, "Panel5")->isHidden());
        EXPECT_TRUE(child<QWidget>(*w, "Splitter2")->isHidden());
        w->close();
    }
    EXPECT_EQ(GetPrivateProfileString("Pos", "Bamei", "", ini()), "0");
}

TEST_F(WindowTest, ThePlaceOfTheWindowAndItsToolBarRoundTripsThroughPos) {
    writeIni("[Pos]\r\nSplit1=240\r\nSplit2=150\r\n");
    {
        auto w = makeWindow();
        w->show();
        w->setGeometry(90, 70, 640, 420);
        child<QAction>(*w, "MToolBar")->trigger();
        w->close();
    }
    EXPECT_EQ(GetPrivateProfileString("Pos", "FormMain", "", ini()), "90,70,730,490,-1,-1,-1,-1,0");
    const std::string toolBar = GetPrivateProfileString("Pos", "FormMain.ToolBar1", "", ini());
    EXPECT_TRUE(toolBar.starts_with("0,1,")) << toolBar;
    EXPECT_TRUE(toolBar.ends_with(",TopToolBarArea")) << toolBar;
    EXPECT_EQ(GetPrivateProfileString("Pos", "Split1", "", ini()), "240");
    EXPECT_EQ(GetPrivateProfileString("Pos", "Split2", "", ini()), "150");
    EXPECT_EQ(GetPrivateProfileString("Pos", "Bamei", "", ini()), "1");

    auto w = makeWindow();
    EXPECT_TRUE(child<QToolBar>(*w, "ToolBar1")->isHidden());
    EXPECT_TRUE(child<QAction>(*w, "MToolBar")->isChecked()); // until the options menu opens
    w->show();
    EXPECT_EQ(w->normalGeometry(), QRect(90, 70, 640, 420));
    EXPECT_EQ(w->RaceTreeWidth(), 240);
    EXPECT_EQ(child<QWidget>(*w, "Panel1")->width(), 242);
    EXPECT_EQ(w->HorseNamePaneWidth(), 150);
    w->close();
}

TEST_F(WindowTest, StoredPaneWidthsOutsideReasonAreKeptInBounds) {
    writeIni("[Pos]\r\nSplit1=-40\r\nSplit2=99999\r\n");
    auto w = makeWindow();
    EXPECT_EQ(child<QWidget>(*w, "Panel1")->width(), 0);
    EXPECT_EQ(w->HorseNamePaneWidth(), 2000);
}

TEST_F(WindowTest, ComingForwardRestoresTheWindowAndExitClosesItOnce) {
    writeTimeDb();
    auto w = makeWindow();
    int closings = 0;
    QObject::connect(w.get(), &TFormMain::closed, [&closings] { ++closings; });
    w->showMinimized();
    w->BringForward(); // as when another run asks this one to come forward
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());
    child<QAction>(*w, "ActionExit")->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->IsClosed());
    EXPECT_EQ(w->Session(), nullptr);
    EXPECT_FALSE(child<QAction>(*w, "ActionOpen")->isEnabled());
    EXPECT_EQ(closings, 1);
    EXPECT_NE(GetPrivateProfileString("Pos", "FormMain", "", ini()), "");
}
