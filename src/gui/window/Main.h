// TFormMain: the main window: the race index, the race pages and the day's commands.
#pragma once

#include "gui/window/FramePos.h"

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
class QTimer;
class QToolBar;
class QTreeWidget;
class TDaySession;
class TFormCfg;
class TFormVer;
class TFormWait;
class TMenuBar;
class TRaceIndex;
class TRaceView;
class TSplitter;
enum class TOutputCommand;

// The main window "RUV PELTON": the frame of menus, tool bar, race index, race view and
// status bar over one TDaySession, which owns everything of a day that is not visual.
//
//   CoolBar1     the tool bar area: MenuBar1 with the menus of MainMenu1 (MFile, MOut,
//                MShow, MOption, MHelp) and ToolBar1;
//   Panel1       the race index TreeView1 (venues, then races), Splitter1 on its right;
//   Panel2       the race side: the logo Image1 while no day is open, Panel4 with the race
//                heading LabelTitle (LabelChooseRace until a race is chosen), and PageControl1 with
//                the pages TabSheet1Yosou, TabSheet1Odds and TabSheet1Cyo, which TRaceView fills;
//   StatusBar1   the hints, in StatusPanel0;
//   OpenDialog1  the day archive chooser; FormVer, FormCfg and FormWait the other forms.
//
// Its commands are the actions of ActionList1; the menus and the tool bar only show
// them, so a disabled command runs nothing from anywhere. The race view (TRaceView) fills
// the three pages of PageControl1 and owns ActionBamei, which this window lists, shows in
// its menu 表示(&S) and stores in section "Pos".
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

    // The settings file that receives the window's place and pane widths; by default the
    // one beside the program file. Set before FormCreate.
    void UseSettingsFile(const std::filesystem::path& iniFile);
    // The help file that 目次 opens; by default the one beside the program file.
    void UseHelpFile(const std::filesystem::path& helpFile) { m_helpFile = helpFile; }
    // The folder of the sample day, whose time database the error of a missing one
    // offers; by default "sample" beside the program file.
    void UseSampleFolder(const std::filesystem::path& folder) { m_sampleFolder = folder; }

    // The day's owned objects: from FormCreate to FormClose, unless the private work
    // folder could not be made.
    TDaySession* Session() const { return m_session.get(); }
    const std::filesystem::path& HelpFile() const { return m_helpFile; }
    bool IsClosed() const { return m_closed; }

    // Shows an error: a message box captioned "エラー" with the error icon, unless replaced.
    std::function<void(const QString& text)> ShowErrorBox;
    // Shows a warning: a message box captioned "警告" with the warning icon, unless replaced.
    std::function<void(const QString& text)> ShowWarningBox;

    // The other forms of the run, made after this one as its children: the about box,
    // the settings dialog and the progress dialog. The commands that show one do nothing
    // while it is missing (nullptr).
    void UseForms(TFormVer* formVer, TFormCfg* formCfg, TFormWait* formWait);
    // The open command is enabled: the prediction exists.
    bool CanOpenDay() const;

    // Restores the window's and the tool bar's place, routes the hints to the status bar,
    // reads the pane widths, sets the starting states, creates the odds container and
    // the prediction.
    void FormCreate();
    // Closes the day, frees the prediction and the odds container, stores the window's
    // and the tool bar's place and the pane widths. Runs once, when the window closes.
    void FormClose();

    // (Re)creates the prediction over the Time folder; enables ActionOpen on success,
    // shows the error and disables it on failure: under the time database's own message,
    // the folder searched, the setting that names it and what a time database is.
    bool FocusCreate();
    void FocusFree();

    void ActionExitExecute();
    // Shows the settings dialog; a changed font size lays out the grids' fonts again.
    void ActionCfgExecute();
    // Opens the help file beside the program in the desktop's viewer (xdg-open); a missing
    // file, or a viewer that fails, is shown in the error box with the file's path.
    void ActionContentExecute();
    void ActionAboutExecute();
    // Runs after the click has inverted the item's check mark: the tool bar shows exactly
    // while it is checked.
    void MToolBarClick();
    // The menu "オプション(&O)" opens: a tool bar that is not visible loses its check mark.
    void MOptionClick();

    // Closes the open day, asks for a day archive in OpenDialog1 and opens it. A
    // cancelled dialog leaves no day open.
    void ActionOpenExecute();
    // Opens the day archive as if it had been chosen in the open dialog: the open day is
    // closed first; a failure is shown in the error box and leaves no day open. Then the
    // day's commands are enabled, the race index is built and expanded, the prediction
    // page is activated and, when OutAtRead is on, the batch output runs. True when the
    // day is open.
    bool OpenDay(const std::filesystem::path& archive);
    // Empties the race view and the race index, hides them and closes the day.
    void ActionCloseExecute();
    // Runs after the click has inverted ActionRaceIndex's check state: the race index
    // shows exactly while it is checked.
    void ActionRaceIndexExecute();
    // A double click in the race index: a race node's race is prepared (its odds read and
    // its prediction computed) and shown; a venue node does nothing. An error is shown and
    // leaves the view as it was.
    void TreeView1DblClick();
    // 次のレース and 前のレース: the race after or before the one shown, in the order of the
    // race index across venues; the first and the last race stop there. With no race shown
    // 次のレース shows the first race.
    void ActionNextRaceExecute();
    void ActionPrevRaceExecute();

    // The output commands: each walks every race of the day with FormWait showing
    // its progress and writes its files; キャンセル stops the walk before the next race.
    void ActionOutAllExecute();
    void ActionOutVerboseExecute();
    void ActionOutHtmlExecute();
    void ActionOutWarsExecute();
    void ActionOutRuvExecute();
    // The day for a spreadsheet, c + date + .csv, with the same progress and cancel.
    void ActionOutCsvExecute();
    // Asks for a folder of day archives (starting at InDenm), walks its days with FormWait
    // showing the progress by day (キャンセル stops before the next day) and shows the
    // season ledger in a window of its own.
    void ActionLedgerExecute();
    void DisplayHint(const QString& hint);
    // Places the logo: centred across the window, and above the middle of the height
    // below the tool bar area by its own height.
    void Panel2Resize();
    // Another run asked this one to come forward: restored if minimized, raised, activated.
    void BringForward();
    // Another run handed this one a day archive: it opens as OpenDay opens it once the
    // window is idle (no output or ledger walk, no modal dialog, no day being opened);
    // a later one handed meanwhile takes its place. Nothing opens while 開く is disabled.
    void OpenHandedDay(const std::filesystem::path& archive);

    // The race tree's width (Split1), the horse-name pane's width (Split2).
    int RaceTreeWidth() const;
    int HorseNamePaneWidth() const;
    // The height of the tool bar area at the top.
    int ControlBarHeight() const;

private:
    // Every component carries its name as object name.
    QList<QIcon> ImageList1; // the commands' pictures, by image number
    QList<QIcon> ImageList2; // the race index's node pictures

    // ActionList1, in the order of the command table; each action carries its
    // category in the property "Category" and its picture number in "ImageIndex".
    QList<QAction*> ActionList1;
    QAction* ActionOpen;
    QAction* ActionClose;
    QAction* ActionExit;
    QAction* ActionRaceIndex;
    QAction* ActionBamei; // the race view's
    QAction* ActionGraph; // the race view's
    QAction* ActionCfg;
    QAction* ActionContent;
    QAction* ActionAbout;
    QAction* ActionOutAll;
    QAction* ActionOutVerbose;
    QAction* ActionOutHtml;
    QAction* ActionOutWars;
    QAction* ActionOutRuv;
    QAction* ActionOutCsv;
    QAction* ActionLedger;
    QAction* ActionNextRace;
    QAction* ActionPrevRace;
    // the race pages 予想, オッズ and 調教, chosen from the keyboard
    QAction* ActionPageYosou;
    QAction* ActionPageOdds;
    QAction* ActionPageCyo;

    // MainMenu1 and its menus; each item is the command it shows, apart from the
    // separator MN1 and the check item MToolBar.
    QMenu* MainMenu1;
    QMenu* MFile;
    QMenu* MOut;
    QMenu* MShow;
    QMenu* MOption;
    QMenu* MHelp;
    QMenu* MRecent; // 最近使った開催日: the days of TSettings::Recent
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
    QLabel* LabelChooseRace; // how to choose a race, while the day has none shown
    QTabWidget* PageControl1;
    QWidget* TabSheet1Yosou;
    QWidget* TabSheet1Odds;
    QWidget* TabSheet1Cyo;
    QLabel* Image1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    QFileDialog* OpenDialog1;
    TFramePos FramePosMain;
    TFormVer* FormVer = nullptr;
    TFormCfg* FormCfg = nullptr;
    TFormWait* FormWait = nullptr;

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
    // Runs xdg-open on the help file; a viewer that cannot start or ends with an error
    // is shown in the error box with the file's path.
    void openInViewer(const QString& help);
    void showError(const QString& text);
    QString timeDatabaseError(const std::exception& error) const;
    void setPaneWidth(QWidget* pane, int width);
    QFileDialog* makeOpenDialog();
    void setDayCommandsEnabled(bool enabled);
    void setDayPanesVisible(bool visible);
    void buildRaceIndex();
    // The open day first in the recent days, with its date and venues, in the settings file.
    void rememberDay(const std::filesystem::path& archive);
    // Lists the recent days in MRecent; a day whose file is gone is greyed.
    void MRecentShow();
    // Prepares and shows race index; the race index's current node follows it. An error
    // is shown and leaves the view as it was. True when the race is shown.
    bool showRace(int index);
    void stepRace(int step);
    void runOutput(TOutputCommand command);
    // One step of a walk under FormWait: the bar and the count move, a click on キャンセル
    // is served; false once it was clicked.
    bool walkStep(int position, const std::string& text);
    // Opens the handed day if the window is idle, else tries again a little later.
    void openHandedDayWhenIdle();

    // The grids of the race view: their fixed rows, headings and colours once, at creation.
    void GridHeadingSetUp();
    // The grids' fonts, column widths and row heights, at creation and after a font size
    // has changed in the settings dialog.
    void GridWidthSetUp();

    TSettings& m_settings;
    std::filesystem::path m_programFile;
    std::filesystem::path m_iniFile;
    std::filesystem::path m_helpFile;
    std::filesystem::path m_sampleFolder;
    std::unique_ptr<TDaySession> m_session;
    TRaceView* m_raceView = nullptr;
    std::unique_ptr<TRaceIndex> m_raceIndex; // of the open day
    int m_shownRace = -1;                    // the race index shown, -1 for none
    bool m_closed = false;
    // a day is being opened, or a walk runs
    bool m_busy = false;
    // the day another run handed over, waiting for the window to be idle
    std::filesystem::path m_handedDay;
    QTimer* m_handedDayTimer = nullptr;
};
