#include "gui/window/FramePos.h"
#include "support/TestFiles.h"
#include "sampleday/LzhWriter.h"

#include "platform/WorkFolder.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

// The main window as the program builds it: named, with a named tool bar at the top.
struct Window {
    Window() {
        window.setObjectName("FormMain");
        window.setCentralWidget(new QWidget);
        toolBar = new QToolBar("ToolBar1", &window);
        toolBar->setObjectName("ToolBar1");
        for (const char* text : {"Open", "Race", "Text", "Html"})
            toolBar->addAction(text);
        window.addToolBar(Qt::TopToolBarArea, toolBar);
        window.setGeometry(40, 30, 500, 360);
    }
    QMainWindow window;
    QToolBar* toolBar;
};

class FramePosTest : public ::testing::Test {
protected:
    fs::path ini() const { return m_folder.path() / "ruvpelton.ini"; }

    TFramePos iniPos(QMainWindow& window) const {
        TFramePos pos(&window);
        pos.UseIni = true;
        pos.IniFile = ini();
        return pos;
    }

    void store(const std::string& posLines) { WriteBinaryFile(ini(), "[Pos]\r\n" + posLines); }

    TWorkFolder m_folder;
};

} // namespace

TEST_F(FramePosTest, TheIniStoreAddressesSectionPosOfTheSettingsFile) {
    Window w;
    TFramePos pos(&w.window);
    EXPECT_FALSE(pos.UseIni);
    EXPECT_EQ(pos.IniFile.filename().string(),
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString() +
                  ".ini");

    WriteBinaryFile(ini(), "[Folder]\r\nInDenm=/in/\r\n");
    TFramePos stored = iniPos(w.window);
    stored.WritePosValue("Split1", "200");
    EXPECT_EQ(stored.ReadPosValue("Split1"), "200");
    EXPECT_EQ(stored.ReadPosValue("Missing"), "");
    EXPECT_EQ(ReadBytes(ini()), "[Folder]\r\nInDenm=/in/\r\n[Pos]\r\nSplit1=200\r\n");
}

TEST_F(FramePosTest, AWindowRoundTripsInEachState) {
    struct Case {
        const char* name;
        Qt::WindowState state;
        const char* value;
    };
    const Case cases[] = {
        {"normal", Qt::WindowNoState, "FormMain=120,80,620,440,-1,-1,-1,-1,0"},
        {"minimized", Qt::WindowMinimized, "FormMain=120,80,620,440,-1,-1,-1,-1,1"},
        {"maximized", Qt::WindowMaximized, "FormMain=120,80,620,440,-1,-1,-1,-1,2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(ini());
        {
            Window closing;
            closing.window.setGeometry(120, 80, 500, 360);
            closing.window.show();
            closing.window.setWindowState(c.state);
            iniPos(closing.window).SaveFormPos();
        }
        EXPECT_EQ(ReadBytes(ini()), std::string("[Pos]\r\n") + c.value + "\r\n");

        Window opening; // created, not yet shown
        iniPos(opening.window).LoadFormPos();
        EXPECT_FALSE(opening.window.isVisible());
        EXPECT_EQ(opening.window.windowState(), c.state);
        opening.window.show();
        EXPECT_EQ(opening.window.normalGeometry(), QRect(120, 80, 500, 360));
        EXPECT_EQ(opening.window.isMinimized(), c.state == Qt::WindowMinimized);
        EXPECT_EQ(opening.window.isMaximized(), c.state == Qt::WindowMaximized);
    }
}

TEST_F(FramePosTest, AVisibleWindowIsShownInTheStoredState) {
    store("FormMain=60,50,460,350,-1,-1,-1,-1,2\r\n");
    Window w;
    w.window.show();
    iniPos(w.window).LoadFormPos();
    EXPECT_TRUE(w.window.isMaximized());
    EXPECT_EQ(w.window.normalGeometry(), QRect(60, 50, 400, 300));

    store("FormMain=70,40,470,340,-1,-1,-1,-1,0\r\n");
    iniPos(w.window).LoadFormPos();
    EXPECT_FALSE(w.window.isMaximized());
    EXPECT_EQ(w.window.geometry(), QRect(70, 40, 400, 300));
}

TEST_F(FramePosTest, AWindowKeepsItsDesignedPlaceWithoutAUsableValue) {
    const char* values[] = {
        "",                                       // a first start: no value at all
        "FormMain=1,2,3,4,5,6,7,8\r\n",           // fewer than nine items
        "FormMain=300,300,300,500,0,0,0,0,0\r\n", // a rectangle without width
    };
    for (const char* value : values) {
        SCOPED_TRACE(value);
        store(value);
        Window w;
        iniPos(w.window).LoadFormPos();
        EXPECT_EQ(w.window.geometry(), QRect(40, 30, 500, 360));
        EXPECT_EQ(w.window.windowState(), Qt::WindowNoState);
    }
}

TEST_F(FramePosTest, ADamagedStateOpensTheWindowNormal) {
    store("FormMain=100,90,400,290,-1,-1,-1,-1,max\r\n");
    Window w;
    iniPos(w.window).LoadFormPos();
    EXPECT_EQ(w.window.geometry(), QRect(100, 90, 300, 200));
    EXPECT_EQ(w.window.windowState(), Qt::WindowNoState);
}

TEST_F(FramePosTest, AWindowStoredOffEveryScreenComesBackOnTheScreen) {
    store("FormMain=5000,4000,5300,4200,-1,-1,-1,-1,0\r\n");
    Window w;
    iniPos(w.window).LoadFormPos();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(w.window.geometry(), QRect(screen.topLeft(), QSize(300, 200)));
}

TEST_F(FramePosTest, ADockedToolBarRoundTrips) {
    {
        Window closing;
        closing.window.addToolBar(Qt::LeftToolBarArea, closing.toolBar);
        closing.window.show();
        iniPos(closing.window).SaveToolBarPos(closing.toolBar);
        const QToolBar& bar = *closing.toolBar;
        const QSize undocked = bar.sizeHint();
        EXPECT_EQ(iniPos(closing.window).ReadPosValue("FormMain.ToolBar1"),
                  "1,1," + std::to_string(bar.y()) + "," + std::to_string(bar.x()) + "," +
                      std::to_string(undocked.width()) + "," + std::to_string(undocked.height()) +
                      "," + std::to_string(bar.width()) + "," + std::to_string(bar.width()) +
                      ",LeftToolBarArea");
    }
    Window opening;
    ASSERT_EQ(opening.window.toolBarArea(opening.toolBar), Qt::TopToolBarArea);
    iniPos(opening.window).LoadToolBarPos(opening.toolBar);
    EXPECT_EQ(opening.window.toolBarArea(opening.toolBar), Qt::LeftToolBarArea);
    EXPECT_FALSE(opening.toolBar->isFloating());
    EXPECT_FALSE(opening.toolBar->isHidden());
}

TEST_F(FramePosTest, AHiddenToolBarStaysHidden) {
    {
        Window closing;
        closing.window.show();
        closing.toolBar->hide();
        iniPos(closing.window).SaveToolBarPos(closing.toolBar);
    }
    EXPECT_EQ(ReadBytes(ini()).substr(0, 31), "[Pos]\r\nFormMain.ToolBar1=0,1,0,");
    Window opening;
    iniPos(opening.window).LoadToolBarPos(opening.toolBar);
    EXPECT_TRUE(opening.toolBar->isHidden());
    EXPECT_EQ(opening.window.toolBarArea(opening.toolBar), Qt::TopToolBarArea);
}

TEST_F(FramePosTest, AFloatingToolBarRoundTripsAndDocksAgain) {
    store("FormMain.ToolBar1=1,0,200,150,260,40,30,30,nil\r\n");
    Window w;
    w.window.show();
    TFramePos pos = iniPos(w.window);
    pos.LoadToolBarPos(w.toolBar);
    EXPECT_TRUE(w.toolBar->isFloating());
    EXPECT_TRUE(w.toolBar->isVisible());
    EXPECT_EQ(w.toolBar->geometry(), QRect(150, 200, 260, 40));

    pos.SaveToolBarPos(w.toolBar);
    // a tool bar is as thick at every side: both dock sizes are its height
    EXPECT_EQ(pos.ReadPosValue("FormMain.ToolBar1"), "1,0,200,150,260,40,40,40,nil");

    pos.WritePosValue("FormMain.ToolBar1", "1,1,0,0,0,0,0,0,BottomToolBarArea");
    pos.LoadToolBarPos(w.toolBar);
    EXPECT_FALSE(w.toolBar->isFloating());
    EXPECT_TRUE(w.toolBar->isVisible());
    EXPECT_EQ(w.window.toolBarArea(w.toolBar), Qt::BottomToolBarArea);

    // a dock site of another program's window keeps the present area
    pos.WritePosValue("FormMain.ToolBar1", "1,1,0,0,0,0,0,0,ControlBar1");
    pos.LoadToolBarPos(w.toolBar);
    EXPECT_EQ(w.window.toolBarArea(w.toolBar), Qt::BottomToolBarArea);
}

TEST_F(FramePosTest, AToolBarValueOfFewerThanNineItemsIsIgnored) {
    store("FormMain.ToolBar1=0,0,200,150,260,40,30,30\r\n");
    Window w;
    iniPos(w.window).LoadToolBarPos(w.toolBar);
    EXPECT_FALSE(w.toolBar->isFloating());
    EXPECT_FALSE(w.toolBar->isHidden());
    EXPECT_EQ(w.window.toolBarArea(w.toolBar), Qt::TopToolBarArea);
}

TEST_F(FramePosTest, TheRegistryStoreKeepsValuesBelowItsKey) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(m_folder.path().string()));
    const std::string base =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
    struct Case {
        const char* keyName;
        fs::path file;
        const char* begins;
    };
    const Case cases[] = {
        {"", fs::path("ZAQ") / (base + ".conf"),
         "[Pos]\nFormMain=\"100,60,500,360,-1,-1,-1,-1,0\"\nFormMain.ToolBar1=\"1,1,"},
        {"Horse\\Pelton", fs::path("Horse") / "Pelton.conf",
         "[Pos]\nFormMain=\"100,60,500,360,-1,-1,-1,-1,0\"\nFormMain.ToolBar1=\"1,1,"},
        {"Horse/Trainer\\Test", fs::path("Horse") / "Trainer.conf",
         "[Test]\nPos\\FormMain=\"100,60,500,360,-1,-1,-1,-1,0\"\nPos\\FormMain.ToolBar1=\"1,1,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyName);
        {
            Window closing;
            closing.window.setGeometry(100, 60, 400, 300);
            closing.window.show();
            TFramePos pos(&closing.window);
            pos.KeyName = c.keyName;
            EXPECT_EQ(pos.ReadPosValue("FormMain"), "");
            pos.SaveFormPos();
            pos.SaveToolBarPos(closing.toolBar);
            EXPECT_EQ(pos.ReadPosValue("FormMain"), "100,60,500,360,-1,-1,-1,-1,0");
        }
        const std::string begins = c.begins;
        EXPECT_EQ(ReadBytes(m_folder.path() / c.file).substr(0, begins.size()), begins);

        Window opening;
        opening.window.addToolBar(Qt::RightToolBarArea, opening.toolBar);
        TFramePos pos(&opening.window);
        pos.KeyName = c.keyName;
        pos.LoadFormPos();
        pos.LoadToolBarPos(opening.toolBar);
        EXPECT_EQ(opening.window.geometry(), QRect(100, 60, 400, 300));
        EXPECT_EQ(opening.window.toolBarArea(opening.toolBar), Qt::TopToolBarArea);
    }
    EXPECT_FALSE(fs::exists(ini()));
}

TEST_F(FramePosTest, MisuseIsReportedByName) {
    QWidget form;
    QWidget child(&form);
    try {
        TFramePos pos(&child);
        FAIL() << "a child widget was taken as owner";
    } catch (const EFramePosError& e) {
        EXPECT_STREQ(e.what(), "TFramePos: Owner must be a FORM");
    }
    EXPECT_THROW(TFramePos(nullptr), EFramePosError);

    Window w;
    QToolBar stranger;
    stranger.setObjectName("ToolBar2");
    try {
        iniPos(w.window).SaveToolBarPos(&stranger);
        FAIL() << "a tool bar of no window was stored";
    } catch (const EFramePosError& e) {
        EXPECT_STREQ(e.what(), "TFramePos: ToolBar must be one of the owner's");
    }
    w.window.setObjectName("");
    try {
        iniPos(w.window).SaveFormPos();
        FAIL() << "a window without a name was stored";
    } catch (const EFramePosError& e) {
        EXPECT_STREQ(e.what(), "TFramePos: Owner must have a name");
    }
    EXPECT_FALSE(fs::exists(ini()));
}
