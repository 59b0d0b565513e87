#include "gui/window/Main.h"

#include "WindowFixture.h"
#include "app/DaySession.h"
#include "gui/window/RaceView.h"
#include "platform/IniFile.h"
#include "gui/dialogs/Cfg.h"
#include "gui/widgets/AppHint.h"
#include "gui/widgets/Images.h"
#include "gui/widgets/MenuBar.h"
#include "gui/widgets/Splitter.h"
#include "gui/widgets/URLLabel.h"
#include "gui/dialogs/Ver.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList namesOf(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* action : actions)
        names.append(
            action->isSeparator() && action->objectName().isEmpty() ? "-" : action->objectName());
    return names;
}

// Takes the place of the desktop for local files.
class FileOpener : public QObject {
    Q_OBJECT
public:
    FileOpener() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~FileOpener() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

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
        QAction* action;
        const char* name;
        const char* category;
        const char* caption;
        const char* hint;
        int image;
        bool enabled;
        bool checkable;
    } commands[] = {
        {w->ActionOpen, "ActionOpen", "ファイル", "開く(&O)", "ファイルを開きます", 0, true, false},
        {w->ActionClose, "ActionClose", "ファイル", "閉じる(&C)", "閉じます", 1, false, false},
        {w->ActionExit, "ActionExit", "ファイル", "終了(&X)", "終了します", 4, true, false},
        {w->ActionRaceIndex, "ActionRaceIndex", "表示", "レース一覧の表示(&I)",
         "レース一覧を表示します", 5, false, true},
        {w->ActionBamei, "ActionBamei", "表示", "馬名の表示(&B)", "馬名を表示します", 7, false,
         true},
        {w->ActionCfg, "ActionCfg", "オプション", "環境設定(&C)", "環境設定を行います", 6, true,
         false},
        {w->ActionContent, "ActionContent", "ヘルプ", "目次(&C)", "ヘルプを表示します", 2, true,
         false},
        {w->ActionAbout, "ActionAbout", "ヘルプ", "バージョン情報(&A)",
         "バージョン情報を表示します", 3, true, false},
        {w->ActionOutAll, "ActionOutAll", "出力", "一括出力(&A)", "ファイルに一括出力します", -1,
         false, false},
        {w->ActionOutVerbose, "ActionOutVerbose", "出力", "詳細テキストファイル出力(&T)",
         "詳細テキストファイルを出力します", -1, false, false},
        {w->ActionOutHtml, "ActionOutHtml", "出力", "HTMLファイル出力(&H)",
         "HTMLファイルを出力します", -1, false, false},
        {w->ActionOutWars, "ActionOutWars", "出力", "WARSファイル出力(&W)",
         "WARSコンテストファイルを出力します", -1, false, false},
        {w->ActionOutRuv, "ActionOutRuv", "出力", "RUVファイル出力(&Q)", "RUVファイルを出力します",
         -1, false, false},
    };
    ASSERT_EQ(w->ActionList1.size(), std::size(commands));
    for (qsizetype i = 0; i < w->ActionList1.size(); ++i) {
        const auto& c = commands[i];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(w->ActionList1[i], c.action);
        EXPECT_EQ(c.action->objectName(), u(c.name));
        EXPECT_EQ(c.action->property("Category").toString(), u(c.category));
        EXPECT_EQ(c.action->text(), u(c.caption));
        EXPECT_EQ(c.action->toolTip(), u(c.hint));
        EXPECT_EQ(c.action->statusTip(), u(c.hint));
        EXPECT_EQ(c.action->property("ImageIndex").toInt(), c.image);
        if (c.image < 0)
            EXPECT_TRUE(c.action->icon().isNull());
        else
            EXPECT_EQ(c.action->icon().cacheKey(), w->ImageList1[c.image].cacheKey());
        EXPECT_EQ(c.action->isEnabled(), c.enabled);
        EXPECT_EQ(c.action->isCheckable(), c.checkable);
        EXPECT_EQ(c.action->isChecked(), c.name == std::string("ActionBamei")); // Bamei 1
    }
    EXPECT_EQ(w->ImageList1.size(), commandImage::kCount);
    EXPECT_EQ(w->ImageList2.size(), nodeImage::kCount);
    ASSERT_NE(w->Session(), nullptr);
    EXPECT_TRUE(w->Session()->HasFocus());
    EXPECT_FALSE(w->Session()->IsDayOpen());
}

TEST_F(WindowTest, WithoutThePredictionTheOpenCommandStaysDisabled) {
    auto w = makeWindow(); // no time.dbx in the Time folder
    EXPECT_EQ(m_errors, QStringList{u("time.dbxがオープンできません")});
    EXPECT_FALSE(w->ActionOpen->isEnabled());
    EXPECT_FALSE(w->Session()->HasFocus());
    EXPECT_TRUE(w->ActionExit->isEnabled());

    // a later success enables it, freeing disables it again
    writeTimeDb();
    EXPECT_TRUE(w->FocusCreate());
    EXPECT_TRUE(w->ActionOpen->isEnabled());
    w->FocusFree();
    EXPECT_FALSE(w->ActionOpen->isEnabled());
    EXPECT_FALSE(w->Session()->HasFocus());
}

TEST_F(WindowTest, TheMenusShowTheCommandsAndTheMenuBarShowsTheMenus) {
    auto w = makeWindow();
    const struct {
        QMenu* menu;
        const char* name;
        const char* title;
        QStringList items;
    } menus[] = {
        {w->MFile, "MFile", "ファイル(&F)", {"ActionOpen", "ActionClose", "ActionExit"}},
        {w->MOut,
         "MOut",
         "出力(&G)",
         {"ActionOutAll", "MN1", "ActionOutVerbose", "ActionOutHtml", "ActionOutWars",
          "ActionOutRuv"}},
        {w->MShow, "MShow", "表示(&S)", {"ActionRaceIndex", "ActionBamei"}},
        {w->MOption, "MOption", "オプション(&O)", {"MToolBar", "ActionCfg"}},
        {w->MHelp, "MHelp", "ヘルプ(&H)", {"ActionContent", "ActionAbout"}},
    };
    ASSERT_EQ(w->MainMenu1->actions().size(), std::size(menus));
    ASSERT_EQ(w->MenuBar1->Menu(), w->MainMenu1);
    ASSERT_EQ(w->MenuBar1->Buttons().size(), std::size(menus));
    for (std::size_t i = 0; i < std::size(menus); ++i) {
        const auto& m = menus[i];
        SCOPED_TRACE(m.name);
        EXPECT_EQ(m.menu->objectName(), u(m.name));
        EXPECT_EQ(m.menu->title(), u(m.title));
        EXPECT_EQ(w->MainMenu1->actions()[static_cast<qsizetype>(i)], m.menu->menuAction());
        EXPECT_EQ(namesOf(m.menu->actions()), m.items);
        QToolButton* button = w->MenuBar1->Buttons()[static_cast<qsizetype>(i)];
        EXPECT_EQ(button->text(), u(m.title));
        EXPECT_EQ(button->menu(), m.menu);
        EXPECT_TRUE(button->autoRaise());
        EXPECT_EQ(m.menu->font().family(), u("IPAPGothic"));
    }
    EXPECT_TRUE(w->MN1->isSeparator());
    EXPECT_EQ(w->MToolBar->text(), u("ツールバーの表示(&T)"));
    EXPECT_TRUE(w->MToolBar->isCheckable());
    EXPECT_TRUE(w->MToolBar->isChecked());
    EXPECT_EQ(w->menuWidget(), w->CoolBar1);
    EXPECT_EQ(w->MenuBar1->parentWidget(), w->CoolBar1);
}

TEST_F(WindowTest, TheToolBarHoldsItsButtonsInOrderAndCanFloat) {
    auto w = makeWindow();
    EXPECT_EQ(namesOf(w->ToolBar1->actions()),
              (QStringList{"ActionOpen", "ActionClose", "ActionRaceIndex", "-", "ActionContent",
                           "ActionAbout", "-", "ActionExit"}));
    EXPECT_EQ(w->ToolBar1->objectName(), u("ToolBar1"));
    EXPECT_TRUE(w->ToolBar1->isMovable());
    EXPECT_TRUE(w->ToolBar1->isFloatable());
    EXPECT_EQ(w->ToolBar1->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(w->toolBarArea(w->ToolBar1), Qt::TopToolBarArea);
    auto* open = qobject_cast<QToolButton*>(w->ToolBar1->widgetForAction(w->ActionOpen));
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
    EXPECT_EQ(w->LabelTitle->font().family(), u("IPAMincho"));
    EXPECT_TRUE(w->LabelTitle->font().bold());
    EXPECT_EQ(w->LabelTitle->palette().color(QPalette::WindowText), QColor(Qt::blue));

    ASSERT_EQ(w->PageControl1->count(), 3);
    const std::pair<QWidget*, const char*> pages[] = {
        {w->TabSheet1Yosou, "予　想"}, {w->TabSheet1Odds, "オッズ"}, {w->TabSheet1Cyo, "調　教"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(w->PageControl1->widget(i), pages[i].first);
        EXPECT_EQ(w->PageControl1->tabText(i), u(pages[i].second));
    }
    for (QWidget* hidden :
         {static_cast<QWidget*>(w->Panel1), static_cast<QWidget*>(w->Splitter1),
          static_cast<QWidget*>(w->TreeView1), static_cast<QWidget*>(w->PageControl1)})
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    EXPECT_TRUE(w->Image1->isVisible());
    EXPECT_TRUE(w->Panel4->isVisible());
    EXPECT_EQ(w->TreeView1->parentWidget(), w->Panel1);
    EXPECT_EQ(w->Splitter1->Pane(), w->Panel1);
    EXPECT_TRUE(w->TabSheet1Odds->isAncestorOf(w->RaceView()->Panel5()));
    EXPECT_EQ(w->RaceView()->LabelTitle(), w->LabelTitle);
    EXPECT_EQ(w->RaceTreeWidth(), 183);
    EXPECT_EQ(w->Panel1->width(), 185);
    EXPECT_EQ(w->HorseNamePaneWidth(), 113);
    EXPECT_EQ(w->StatusBar1, w->statusBar());
    EXPECT_GE(w->StatusPanel0->width(), 100);
    EXPECT_EQ(w->OpenDialog1->parentWidget(), w.get());
    w->close();
}

TEST_F(WindowTest, TheLogoStandsWhereThePlacementRulePutsIt) {
    writeTimeDb();
    auto w = makeWindow();
    w->show();
    for (const QSize size : {QSize(738, 496), QSize(1000, 700), QSize(600, 420)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(w->size(), size);
        const int T = w->ToolBar1->height();
        EXPECT_EQ(w->ControlBarHeight(), T);
        const QRect logo = w->Image1->geometry();
        EXPECT_EQ(logo.size(), QSize(TFormMain::kLogoWidth, TFormMain::kLogoHeight));
        EXPECT_EQ(logo.left(), (size.width() - 320) / 2);
        EXPECT_EQ(logo.top(), T + (size.height() - T - 100) / 2 - 100);
        // nothing of it is cut off
        EXPECT_TRUE(w->Panel2->rect().contains(logo));
    }
    // a hidden tool bar leaves no tool bar area
    w->ToolBar1->hide();
    QApplication::processEvents();
    EXPECT_EQ(w->ControlBarHeight(), 0);
    EXPECT_EQ(w->Image1->y(), (420 - 100) / 2 - 100);
    w->close();
}

TEST_F(WindowTest, HintsReachTheStatusBarExceptWhileTheAboutBoxShows) {
    writeTimeDb();
    auto w = makeWindow();
    w->FormVer = new TFormVer(QCoreApplication::applicationFilePath().toStdString(), w.get());
    w->show();
    auto hint = [](QWidget* target, const QString& text) {
        QStatusTipEvent event(text);
        QApplication::sendEvent(target, &event);
    };
    hint(w->ToolBar1->widgetForAction(w->ActionOpen), w->ActionOpen->statusTip());
    EXPECT_EQ(w->StatusPanel0->text(), u("ファイルを開きます"));
    w->MHelp->popup(QPoint(10, 10));
    w->MHelp->setActiveAction(w->ActionContent); // the pointer on a menu item
    EXPECT_EQ(w->StatusPanel0->text(), u("ヘルプを表示します"));
    w->MHelp->hide();
    EXPECT_EQ(w->StatusPanel0->text(), QString()); // the menu closed under the pointer
    hint(w->ToolBar1->widgetForAction(w->ActionAbout), w->ActionAbout->statusTip());

    bool handlerWhileShown = true;
    QTimer::singleShot(0, [&] {
        handlerWhileShown = static_cast<bool>(TAppHint::OnHint());
        hint(w->FormVer->URLLabel2, w->FormVer->URLLabel2->statusTip());
        w->FormVer->Button1Click();
    });
    w->ActionAbout->trigger();
    EXPECT_FALSE(handlerWhileShown);
    EXPECT_EQ(w->StatusPanel0->text(), u("バージョン情報を表示します"));
    hint(w->ToolBar1->widgetForAction(w->ActionExit), w->ActionExit->statusTip());
    EXPECT_EQ(w->StatusPanel0->text(), u("終了します"));
    hint(w->ToolBar1, QString()); // the pointer left
    EXPECT_EQ(w->StatusPanel0->text(), QString());
    w->close();
}

TEST_F(WindowTest, TheAboutAndSettingsCommandsShowTheirDialogsModally) {
    writeTimeDb();
    auto w = makeWindow();
    w->show();
    EXPECT_EQ(modalOf(w->ActionAbout), nullptr); // no about box made: nothing happens
    w->FormVer = new TFormVer(QCoreApplication::applicationFilePath().toStdString(), w.get());
    w->FormCfg = new TFormCfg(m_settings, w.get());
    EXPECT_EQ(modalOf(w->ActionAbout), w->FormVer);
    EXPECT_EQ(w->FormVer->Label2->text(), u("Version 2.5.1"));
    EXPECT_EQ(modalOf(w->ActionCfg), w->FormCfg);
    EXPECT_FALSE(w->FormCfg->isVisible());
    w->close();
}

TEST_F(WindowTest, ContentsOpensTheHelpFileBesideTheProgram) {
    auto w = makeWindow();
    FileOpener desktop;
    w->ActionContent->trigger();
    const QString help = QString::fromStdString((folder() / "ruvpelton.html").string());
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_EQ(m_errors.last(), help + u("がオープンできません"));

    writeFile(folder() / "ruvpelton.html", "<html></html>");
    w->ActionContent->trigger();
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(help)});
    EXPECT_EQ(w->HelpFile(), folder() / "ruvpelton.html");
}

TEST_F(WindowTest, TheToolBarSwitchFollowsTheToolBar) {
    auto w = makeWindow();
    w->show();
    w->MToolBar->trigger();
    EXPECT_FALSE(w->MToolBar->isChecked());
    EXPECT_FALSE(w->ToolBar1->isVisible());
    w->MToolBar->trigger();
    EXPECT_TRUE(w->MToolBar->isChecked());
    EXPECT_TRUE(w->ToolBar1->isVisible());

    // hidden some other way (restored hidden, or closed while floating): opening the
    // options menu takes the check mark away
    w->ToolBar1->hide();
    EXPECT_TRUE(w->MToolBar->isChecked());
    emit w->MOption->aboutToShow();
    EXPECT_FALSE(w->MToolBar->isChecked());
    emit w->MOption->aboutToShow();
    EXPECT_FALSE(w->MToolBar->isChecked());
    w->close();
}

TEST_F(WindowTest, TheHorseNameSwitchNeedsTheOddsPageAndAnOpenDay) {
    auto w = makeWindow();
    w->show();
    EXPECT_FALSE(w->ActionBamei->isEnabled());
    w->ActionBamei->trigger(); // disabled: nothing happens
    EXPECT_TRUE(w->ActionBamei->isChecked());

    // the odds page shown enables it; the click hides the pane, the next shows it again
    w->PageControl1->show();
    w->PageControl1->setCurrentWidget(w->TabSheet1Odds);
    EXPECT_TRUE(w->ActionBamei->isEnabled());
    w->ActionBamei->trigger();
    EXPECT_FALSE(w->ActionBamei->isChecked());
    EXPECT_TRUE(w->RaceView()->Panel5()->isHidden());
    EXPECT_TRUE(w->RaceView()->Splitter2()->isHidden());
    w->ActionBamei->trigger();
    EXPECT_FALSE(w->RaceView()->Panel5()->isHidden());
    EXPECT_FALSE(w->RaceView()->Splitter2()->isHidden());

    // opening 表示 without an open day disables it again
    emit w->MShow->aboutToShow();
    EXPECT_FALSE(w->ActionBamei->isEnabled());
    w->close();
}

TEST_F(WindowTest, BameiZeroStartsWithThePaneHiddenAndIsWrittenBack) {
    writeIni("[Pos]\r\nBamei=0\r\n");
    {
        auto w = makeWindow();
        w->show();
        EXPECT_FALSE(w->ActionBamei->isChecked());
        EXPECT_TRUE(w->RaceView()->Panel5()->isHidden());
        EXPECT_TRUE(w->RaceView()->Splitter2()->isHidden());
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
        w->MToolBar->trigger();
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
    EXPECT_TRUE(w->ToolBar1->isHidden());
    EXPECT_TRUE(w->MToolBar->isChecked()); // until the options menu opens
    w->show();
    EXPECT_EQ(w->normalGeometry(), QRect(90, 70, 640, 420));
    EXPECT_EQ(w->RaceTreeWidth(), 240);
    EXPECT_EQ(w->Panel1->width(), 242);
    EXPECT_EQ(w->HorseNamePaneWidth(), 150);
    w->close();
}

TEST_F(WindowTest, StoredPaneWidthsOutsideReasonAreKeptInBounds) {
    writeIni("[Pos]\r\nSplit1=-40\r\nSplit2=99999\r\n");
    auto w = makeWindow();
    EXPECT_EQ(w->Panel1->width(), 0);
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
    w->ActionExit->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->IsClosed());
    EXPECT_EQ(w->Session(), nullptr);
    EXPECT_FALSE(w->ActionOpen->isEnabled());
    EXPECT_EQ(closings, 1);
    EXPECT_NE(GetPrivateProfileString("Pos", "FormMain", "", ini()), "");
}

#include "MainTest.moc"
