#pragma once

#include "settings/FramePos.h"

#include <QFont>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>

struct TSettings;
class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class TDaySession;
class TFormCfg;
class TFormVer;
class TFormWait;
class TMenuBar;
class TSplitter;

// The main window "RUV PELTON": the frame of menus, tool bar, race index, race view and
// status bar over one TDaySession, which owns everything of a day that is not visual.
//
// Its commands are the actions of ActionList1; the menus and the tool bar only show
// them, so a disabled command runs nothing from anywhere. The commands of a day
// (ActionOpen, ActionClose, ActionRaceIndex and the five output commands) have their
// captions, hints, pictures and states here but no handler yet: they stay disabled,
// apart from ActionOpen, and triggering them does nothing. The race view fills the three
// pages of PageControl1 and the horse-name pane Panel5, and lays out its grids in
// GridHeadingSetUp and GridWidthSetUp.
class TFormMain : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "RUV PELTON";
    static constexpr int kDesignedWidth = 738;
    static constexpr int kDesignedHeight = 496;
    // The width of the bevel around the race tree inside its pane.
    static constexpr int kPanelBevel = 1;
    // The logo's size on the screen; the picture is drawn at twice this size.
    static constexpr int kLogoWidth = 320;
    static constexpr int kLogoHeight = 100;

    // The designed default font of the window: the proportional Gothic at 12 pixels.
    static QFont DesignedFont();

    // programFile is the program's own file: the settings file and the help file lie
    // beside it under its name. Builds the frame; FormCreate then brings it to life.
    TFormMain(TSettings& settings, std::filesystem::path programFile, QWidget* parent = nullptr);
    ~TFormMain() override;

    // The day's owned objects: from FormCreate to FormClose, unless the private work
    // folder could not be made.
    TDaySession* Session() const { return m_session.get(); }
    const std::filesystem::path& HelpFile() const { return m_helpFile; }
    bool IsClosed() const { return m_closed; }

    // Shows an error: a message box captioned "エラー" with the error icon, unless replaced.
    std::function<void(const QString& text)> ShowErrorBox;

    // The other forms of the run, made after this one; the commands that show them do
    // nothing while they are missing.
    TFormVer* FormVer = nullptr;
    TFormCfg* FormCfg = nullptr;
    TFormWait* FormWait = nullptr;

    // Restores the window's and the tool bar's place, routes the hints to the status bar,
    // reads the pane widths, sets the starting states, creates the odds container and
    // the prediction.
    void FormCreate();
    // Closes the day, frees the prediction and the odds container, stores the window's
    // and the tool bar's place and the pane widths. Runs once, when the window closes.
    void FormClose();

    // (Re)creates the prediction over the Time folder; enables ActionOpen on success,
    // shows the error and disables it on failure.
    bool FocusCreate();
    void FocusFree();

    void ActionExitExecute();
    // Shows the settings dialog; a changed font size lays out the grids' fonts again.
    void ActionCfgExecute();
    void ActionContentExecute();
    void ActionAboutExecute();
    // Runs after the click has inverted the item's check mark: the tool bar shows exactly
    // while it is checked.
    void MToolBarClick();
    // The menu "オプション(&O)" opens: a tool bar that is not visible loses its check mark.
    void MOptionClick();
    // The menu "表示(&S)" opens: ActionBamei is enabled exactly while the odds page is
    // the active page and a day is open.
    void MShowClick();
    // Runs after the click has inverted ActionBamei's check state: shows or hides the
    // horse-name pane with its splitter.
    void ActionBameiExecute();
    // The odds page became visible: ActionBamei is enabled.
    void TabSheet1OddsShow();
    void DisplayHint(const QString& hint);
    // Places the logo: centred across the window, and above the middle of the height
    // below the tool bar area by its own height.
    void Panel2Resize();
    // Another run asked this one to come forward: restored if minimized, raised, activated.
    void BringForward();

    // The race tree's width (Split1), the horse-name pane's width (Split2).
    int RaceTreeWidth() const;
    int HorseNamePaneWidth() const;
    // The height of the tool bar area at the top.
    int ControlBarHeight() const;

    QList<QIcon> ImageList1; // the commands' pictures, by image number
    QList<QIcon> ImageList2; // the race index's node pictures

    // ActionList1, in the order of the command table; each action carries its
    // category in the property "Category" and its picture number in "ImageIndex".
    QList<QAction*> ActionList1;
    QAction* ActionOpen;
    QAction* ActionClose;
    QAction* ActionExit;
    QAction* ActionRaceIndex;
    QAction* ActionBamei;
    QAction* ActionCfg;
    QAction* ActionContent;
    QAction* ActionAbout;
    QAction* ActionOutAll;
    QAction* ActionOutVerbose;
    QAction* ActionOutHtml;
    QAction* ActionOutWars;
    QAction* ActionOutRuv;

    // MainMenu1 and its menus; each item is the command it shows, apart from the
    // separator MN1 and the check item MToolBar.
    QMenu* MainMenu1;
    QMenu* MFile;
    QMenu* MOut;
    QMenu* MShow;
    QMenu* MOption;
    QMenu* MHelp;
    QAction* MN1;
    QAction* MToolBar;

    QFrame* CoolBar1;
    TMenuBar* MenuBar1;
    QToolBar* ToolBar1;
    QFrame* Panel1;
    QTreeWidget* TreeView1;
    TSplitter* Splitter1;
    QWidget* Panel2;
    QFrame* Panel4;
    QLabel* LabelTitle;
    QTabWidget* PageControl1;
    QWidget* TabSheet1Yosou;
    QWidget* TabSheet1Odds;
    QWidget* TabSheet1Cyo;
    QWidget* Panel5; // the horse-name pane on the odds page
    TSplitter* Splitter2;
    QLabel* Image1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    QFileDialog* OpenDialog1;
    TFramePos FramePosMain;

signals:
    // The window has closed and FormClose has run.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* makeAction(const char* name, const char* category, const char* caption,
                        const char* hint, int image);
    void makeActions();
    void makeMenus();
    void makeToolBar();
    void makePanels();
    void reportError(const std::exception& error);
    void showError(const QString& text);
    void setPaneWidth(QWidget* pane, int width);

    // The grids of the race view: their fixed rows, headings and colours once, at creation.
    void GridHeadingSetUp() {}
    // The grids' fonts, column widths and row heights, at creation and after a font size
    // has changed in the settings dialog.
    void GridWidthSetUp() {}

    TSettings& m_settings;
    std::filesystem::path m_programFile;
    std::filesystem::path m_iniFile;
    std::filesystem::path m_helpFile;
    std::unique_ptr<TDaySession> m_session;
    bool m_closed = false;
};
