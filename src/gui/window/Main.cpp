// TFormMain: the main window: the race index, the race pages and the day's commands.
#include "gui/window/Main.h"

#include "session/DaySession.h"
#include "session/OutputReport.h"
#include "view/RaceIndex.h"
#include "session/Settings.h"
#include "ledger/SeasonLedger.h"
#include "season/SeasonFolder.h"
#include "gui/window/RaceView.h"
#include "platform/Cancel.h"
#include "platform/Cp932.h"
#include "race/RaceBase.h"
#include "gui/dialogs/Cfg.h"
#include "gui/dialogs/LedgerWindow.h"
#include "gui/support/AppHint.h"
#include "gui/support/FolderChoice.h"
#include "gui/support/Images.h"
#include "gui/widgets/MenuBar.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/Splitter.h"
#include "gui/dialogs/Ver.h"
#include "gui/dialogs/Wait.h"
#include "platform/Reasons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QProcess>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr int kDesignedTreeWidth = 183;
// A pane never gets wider than this from a stored width, so that a damaged settings
// file cannot push the window off every screen.
constexpr int kMaxPaneWidth = 2000;
constexpr int kTitlePixelSize = 16;
constexpr int kStatusPanelWidth = 100;
// How often a day handed over by another run is tried while the window is busy.
constexpr int kHandedDayRetryMs = 200;

// The race index's node data: -1 for a venue, else the race index.
constexpr int kNodeDataRole = Qt::UserRole;

// While an output command walks the day: the main window disabled, the progress dialog
// shown, the hourglass cursor; all undone on every way out.
class TOutputWalkGuard {
public:
    TOutputWalkGuard(QWidget* window, TFormWait* wait, int total) : m_window(window), m_wait(wait) {
        m_window->setEnabled(false);
        if (m_wait != nullptr) {
            m_wait->SetTotal(total);
            // a window of its own stays usable while its parent is disabled
            m_wait->setEnabled(true);
            m_wait->show(); // clears CancelRequested
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TOutputWalkGuard() {
        if (m_wait != nullptr)
            m_wait->hide();
        m_window->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    TOutputWalkGuard(const TOutputWalkGuard&) = delete;
    TOutputWalkGuard& operator=(const TOutputWalkGuard&) = delete;

private:
    QWidget* m_window;
    TFormWait* m_wait;
};

} // namespace

QFont TFormMain::DesignedFont() {
    QFont font(MappedFontFace(sjis("ＭＳ Ｐゴシック")));
    font.setPixelSize(12);
    return font;
}

TFormMain::TFormMain(TSettings& settings, fs::path programFile, QWidget* parent)
    : QMainWindow(parent), FramePosMain(this), m_settings(settings),
      m_programFile(std::move(programFile)) {
    m_iniFile = SettingsFilePath(m_programFile);
    m_helpFile = fs::path(m_programFile).replace_extension(".html");
    m_sampleFolder = m_programFile.parent_path() / "sample";
    FramePosMain.UseIni = true;
    FramePosMain.IniFile = m_iniFile;

    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(ProgramIcon());
    setFont(DesignedFont());
    resize(kDesignedWidth, kDesignedHeight);
    // no menu of tool bars on a right click: ツールバーの表示 is the one switch
    setContextMenuPolicy(Qt::NoContextMenu);

    // before the window shows (the time database at start), the box stands in the middle
    // of the screen rather than at the hidden window's corner
    ShowErrorBox = [this](const QString& text) {
        QMessageBox::critical(isVisible() ? this : nullptr, QStringLiteral("エラー"), text,
                              QMessageBox::Ok);
    };
    ShowWarningBox = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("警告"), text, QMessageBox::Ok);
    };

    ImageList1 = CommandImages();
    ImageList2 = NodeImages();
    makePanels();
    makeActions();
    makeMenus();
    makeToolBar();
}

void TFormMain::UseSettingsFile(const fs::path& iniFile) {
    m_iniFile = iniFile;
    FramePosMain.IniFile = iniFile;
}

void TFormMain::UseForms(TFormVer* formVer, TFormCfg* formCfg, TFormWait* formWait) {
    FormVer = formVer;
    FormCfg = formCfg;
    FormWait = formWait;
}

bool TFormMain::CanOpenDay() const {
    return ActionOpen->isEnabled();
}

TFormMain::~TFormMain() {
    // the about box gives the hint handler back when it ends, and that handler is ours
    delete FormVer;
    FormVer = nullptr;
    TAppHint::SetOnHint({});
}

QAction* TFormMain::makeAction(const char* name, const char* category, const char* caption,
                               const char* hint, int image) {
    auto* action = new QAction(u(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("Category", u(category));
    action->setProperty("ImageIndex", image);
    action->setToolTip(u(hint));
    action->setStatusTip(u(hint));
    if (image >= 0)
        action->setIcon(ImageList1.at(image));
    ActionList1.append(action);
    return action;
}

void TFormMain::makeActions() {
    using namespace commandImage;
    ActionOpen = makeAction("ActionOpen", "ファイル", "開く(&O)", "ファイルを開きます", kOpen);
    ActionClose = makeAction("ActionClose", "ファイル", "閉じる(&C)", "閉じます", kClose);
    ActionExit = makeAction("ActionExit", "ファイル", "終了(&X)", "終了します", kExit);
    ActionRaceIndex = makeAction("ActionRaceIndex", "表示", "レース一覧の表示(&I)",
                                 "レース一覧を表示します", kRaceIndex);
    // the race view's own command, listed here in its place
    ActionBamei = m_raceView->ActionBamei();
    ActionBamei->setProperty("Category", u("表示"));
    ActionBamei->setProperty("ImageIndex", kHorseNames);
    ActionBamei->setIcon(ImageList1.at(kHorseNames));
    ActionList1.append(ActionBamei);
    ActionGraph = m_raceView->ActionGraph();
    ActionGraph->setProperty("Category", u("表示"));
    ActionGraph->setProperty("ImageIndex", -1);
    ActionList1.append(ActionGraph);
    ActionCfg =
        makeAction("ActionCfg", "オプション", "環境設定(&C)", "環境設定を行います", kSettings);
    ActionContent =
        makeAction("ActionContent", "ヘルプ", "目次(&C)", "ヘルプを表示します", kContents);
    ActionAbout = makeAction("ActionAbout", "ヘルプ", "バージョン情報(&A)",
                             "バージョン情報を表示します", kAbout);
    ActionOutAll =
        makeAction("ActionOutAll", "出力", "一括出力(&A)", "ファイルに一括出力します", -1);
    ActionOutVerbose = makeAction("ActionOutVerbose", "出力", "詳細テキストファイル出力(&T)",
                                  "詳細テキストファイルを出力します", -1);
    ActionOutHtml =
        makeAction("ActionOutHtml", "出力", "HTMLファイル出力(&H)", "HTMLファイルを出力します", -1);
    ActionOutWars = makeAction("ActionOutWars", "出力", "WARSファイル出力(&W)",
                               "WARSコンテストファイルを出力します", -1);
    ActionOutRuv =
        makeAction("ActionOutRuv", "出力", "RUVファイル出力(&Q)", "RUVファイルを出力します", -1);
    ActionOutCsv = makeAction("ActionOutCsv", "出力", "CSV出力(&C)", "CSVファイルを出力します", -1);
    ActionLedger = makeAction("ActionLedger", "出力", "成績集計(&L)",
                              "フォルダの開催日をまとめて、印と買い目の成績を集計します", -1);
    ActionNextRace = makeAction("ActionNextRace", "表示", "次のレース(&N)\tCtrl+PgDn, Alt+→",
                                "次のレースを表示します", -1);
    ActionNextRace->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::ALT | Qt::Key_Right)});
    ActionPrevRace = makeAction("ActionPrevRace", "表示", "前のレース(&P)\tCtrl+PgUp, Alt+←",
                                "前のレースを表示します", -1);
    ActionPrevRace->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), QKeySequence(Qt::ALT | Qt::Key_Left)});
    ActionPageYosou =
        makeAction("ActionPageYosou", "表示", "予想(&Y)", "予想のページを表示します", -1);
    ActionPageOdds =
        makeAction("ActionPageOdds", "表示", "オッズ(&D)", "オッズのページを表示します", -1);
    ActionPageCyo = makeAction("ActionPageCyo", "表示", "調教(&T)", "調教のページを表示します", -1);
    ActionOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ActionPageYosou->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    ActionPageOdds->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
    ActionPageCyo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    // the menus are shown by the tool bar's buttons, so the keys belong to the window
    addActions({ActionOpen, ActionNextRace, ActionPrevRace, ActionPageYosou, ActionPageOdds,
                ActionPageCyo});
    ActionRaceIndex->setCheckable(true);

    connect(ActionOpen, &QAction::triggered, this, &TFormMain::ActionOpenExecute);
    connect(ActionClose, &QAction::triggered, this, &TFormMain::ActionCloseExecute);
    connect(ActionRaceIndex, &QAction::triggered, this, &TFormMain::ActionRaceIndexExecute);
    connect(ActionOutAll, &QAction::triggered, this, &TFormMain::ActionOutAllExecute);
    connect(ActionOutVerbose, &QAction::triggered, this, &TFormMain::ActionOutVerboseExecute);
    connect(ActionOutHtml, &QAction::triggered, this, &TFormMain::ActionOutHtmlExecute);
    connect(ActionOutWars, &QAction::triggered, this, &TFormMain::ActionOutWarsExecute);
    connect(ActionOutRuv, &QAction::triggered, this, &TFormMain::ActionOutRuvExecute);
    connect(ActionOutCsv, &QAction::triggered, this, &TFormMain::ActionOutCsvExecute);
    connect(ActionLedger, &QAction::triggered, this, &TFormMain::ActionLedgerExecute);
    connect(ActionNextRace, &QAction::triggered, this, &TFormMain::ActionNextRaceExecute);
    connect(ActionPrevRace, &QAction::triggered, this, &TFormMain::ActionPrevRaceExecute);
    const std::array<std::pair<QAction*, QWidget*>, 3> pages{{{ActionPageYosou, TabSheet1Yosou},
                                                              {ActionPageOdds, TabSheet1Odds},
                                                              {ActionPageCyo, TabSheet1Cyo}}};
    for (const auto& pair : pages) {
        QWidget* page = pair.second;
        connect(pair.first, &QAction::triggered, this,
                [this, page] { PageControl1->setCurrentWidget(page); });
    }

    connect(ActionExit, &QAction::triggered, this, &TFormMain::ActionExitExecute);
    connect(ActionCfg, &QAction::triggered, this, &TFormMain::ActionCfgExecute);
    connect(ActionContent, &QAction::triggered, this, &TFormMain::ActionContentExecute);
    connect(ActionAbout, &QAction::triggered, this, &TFormMain::ActionAboutExecute);
}

void TFormMain::makeMenus() {
    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto addMenu = [this](const char* name, const char* title) {
        QMenu* menu = MainMenu1->addMenu(u(title));
        menu->setObjectName(QString::fromLatin1(name));
        // a pop-up is a window of its own: it takes the window's font only when asked to
        menu->setAttribute(Qt::WA_WindowPropagation);
        menu->setFont(font());
        return menu;
    };
    MFile = addMenu("MFile", "ファイル(&F)");
    MFile->addActions({ActionOpen, ActionClose});
    MRecent = MFile->addMenu(u("最近使った開催日(&R)"));
    MRecent->setObjectName(QStringLiteral("MRecent"));
    MRecent->setFont(font());
    connect(MRecent, &QMenu::aboutToShow, this, &TFormMain::MRecentShow);
    MFile->addAction(ActionExit);

    MOut = addMenu("MOut", "出力(&G)");
    MOut->addAction(ActionOutAll);
    MN1 = MOut->addSeparator();
    MN1->setObjectName(QStringLiteral("MN1"));
    MOut->addActions({ActionOutVerbose, ActionOutHtml, ActionOutWars, ActionOutRuv, ActionOutCsv});
    MOut->addSeparator();
    MOut->addAction(ActionLedger);

    MShow = addMenu("MShow", "表示(&S)");
    MShow->addActions({ActionRaceIndex, ActionBamei, ActionGraph});
    MShow->addSeparator();
    MShow->addActions({ActionNextRace, ActionPrevRace});
    MShow->addSeparator();
    MShow->addActions({ActionPageYosou, ActionPageOdds, ActionPageCyo});
    connect(MShow, &QMenu::aboutToShow, this,
            [this] { m_raceView->MShowClick(m_session && m_session->IsDayOpen()); });

    MOption = addMenu("MOption", "オプション(&O)");
    MToolBar = MOption->addAction(u("ツールバーの表示(&T)"));
    MToolBar->setObjectName(QStringLiteral("MToolBar"));
    MToolBar->setCheckable(true);
    MToolBar->setChecked(true);
    MOption->addAction(ActionCfg);
    connect(MToolBar, &QAction::triggered, this, &TFormMain::MToolBarClick);
    connect(MOption, &QMenu::aboutToShow, this, &TFormMain::MOptionClick);

    MHelp = addMenu("MHelp", "ヘルプ(&H)");
    MHelp->addActions({ActionContent, ActionAbout});

    CoolBar1 = new QFrame(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setFrameShape(QFrame::StyledPanel);
    CoolBar1->setFrameShadow(QFrame::Raised);
    MenuBar1 = new TMenuBar(CoolBar1);
    MenuBar1->setObjectName(QStringLiteral("MenuBar1"));
    MenuBar1->setMovable(false);
    MenuBar1->setFloatable(false);
    MenuBar1->SetMenu(MainMenu1);
    auto* layout = new QHBoxLayout(CoolBar1);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->addWidget(MenuBar1);
    layout->addStretch();
    setMenuWidget(CoolBar1);
}

void TFormMain::makeToolBar() {
    ToolBar1 = new QToolBar(u("ツールバー"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(true);
    ToolBar1->setFloatable(true);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->toggleViewAction()->setVisible(false);
    ToolBar1->addActions({ActionOpen, ActionClose, ActionRaceIndex});
    ToolBar1->addSeparator();
    ToolBar1->addActions({ActionContent, ActionAbout});
    ToolBar1->addSeparator();
    ToolBar1->addAction(ActionExit);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
}

void TFormMain::makePanels() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    TreeView1 = new QTreeWidget(Panel1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setIconSize(QSize(16, 16));
    // every line whole, as wide as the widest; the pane scrolls sideways when it is narrower
    TreeView1->header()->setStretchLastSection(false);
    TreeView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { TreeView1DblClick(); });
    TreeView1->installEventFilter(this); // Enter chooses the current race, as a double click
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(kPanelBevel, kPanelBevel, kPanelBevel, kPanelBevel);
    panel1Layout->addWidget(TreeView1);
    setPaneWidth(Panel1, kDesignedTreeWidth + 2 * kPanelBevel);
    Splitter1 = new TSplitter(Panel1, client);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));

    Panel2 = new QWidget(client);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    // made first, so that the pages cover it while they are seen
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
    QPixmap logo = LogoImage().scaled(QSize(kLogoWidth, kLogoHeight) * ratio, Qt::KeepAspectRatio,
                                      Qt::SmoothTransformation);
    logo.setDevicePixelRatio(ratio);
    Image1->setPixmap(logo);
    Image1->setFixedSize(kLogoWidth, kLogoHeight);

    Panel4 = new QFrame(Panel2);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    LabelTitle = new QLabel(Panel4);
    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    QFont title(MappedFontFace(sjis("ＭＳ 明朝")));
    title.setPixelSize(kTitlePixelSize);
    title.setBold(true);
    LabelTitle->setFont(title);
    QPalette blue = LabelTitle->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    LabelTitle->setPalette(blue);
    // the race heading has two lines; a heading wider than the pane is cut at its edge
    // rather than widening the window
    LabelTitle->setMinimumHeight(2 * QFontMetrics(title).lineSpacing());
    LabelTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* panel4Layout = new QHBoxLayout(Panel4);
    panel4Layout->setContentsMargins(6, 2, 6, 2);
    panel4Layout->addWidget(LabelTitle);
    LabelChooseRace = new QLabel(u("左のレース一覧でレースをダブルクリックするか、"
                                   "選んで Enter キーを押すと、ここに表示されます。"),
                                 Panel4);
    LabelChooseRace->setObjectName(QStringLiteral("LabelChooseRace"));
    LabelChooseRace->setWordWrap(true);
    LabelChooseRace->hide();
    panel4Layout->addWidget(LabelChooseRace, 1);

    PageControl1 = new QTabWidget(Panel2);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto addPage = [this](const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl1->addTab(page, u(caption));
        return page;
    };
    TabSheet1Yosou = addPage("TabSheet1Yosou", "予　想");
    TabSheet1Odds = addPage("TabSheet1Odds", "オッズ");
    TabSheet1Cyo = addPage("TabSheet1Cyo", "調　教");
    m_raceView = new TRaceView(TabSheet1Yosou, TabSheet1Odds, TabSheet1Cyo, LabelTitle, this);

    auto* panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->setSpacing(0);
    panel2Layout->addWidget(Panel4);
    panel2Layout->addWidget(PageControl1, 1);
    Panel2->installEventFilter(this);

    auto* clientLayout = new QHBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(Panel1);
    clientLayout->addWidget(Splitter1);
    clientLayout->addWidget(Panel2, 1);
    setCentralWidget(client);

    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMinimumWidth(kStatusPanelWidth);
    StatusPanel0->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel0->setIndent(3);
    StatusBar1->addWidget(StatusPanel0, 1);

    OpenDialog1 = makeOpenDialog();
}

QFileDialog* TFormMain::makeOpenDialog() {
    auto* dialog = new QFileDialog(this);
    dialog->setObjectName(QStringLiteral("OpenDialog1"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(u("RUVデータ(*.lzh);;全てのファイル(*.*)"));
    return dialog;
}

void TFormMain::setPaneWidth(QWidget* pane, int width) {
    pane->setFixedWidth(std::clamp(width, 0, kMaxPaneWidth));
}

int TFormMain::RaceTreeWidth() const {
    return std::max(0, Panel1->width() - 2 * kPanelBevel);
}

int TFormMain::HorseNamePaneWidth() const {
    return m_raceView->bameiWidth();
}

int TFormMain::ControlBarHeight() const {
    const int menuBottom = menuWidget() ? menuWidget()->geometry().bottom() + 1 : 0;
    return std::max(0, centralWidget()->geometry().top() - menuBottom);
}

void TFormMain::FormCreate() {
    try {
        FramePosMain.LoadFormPos();
        FramePosMain.LoadToolBarPos(ToolBar1);
    } catch (const std::exception& error) {
        // the window opens where it was designed to
        reportError(error);
    }
    TAppHint::SetOnHint([this](const QString& hint) { DisplayHint(hint); });

    setPaneWidth(Panel1, m_settings.Pos.Split1 + 2 * kPanelBevel);
    m_raceView->setBameiWidth(std::clamp(m_settings.Pos.Split2, 0, kMaxPaneWidth));
    ActionBamei->setChecked(m_settings.Pos.Bamei != 0);
    m_raceView->setChartHeight(m_settings.Pos.GraphHeight);
    ActionGraph->setChecked(m_settings.Pos.Graph != 0);

    for (QAction* action :
         {ActionClose, ActionRaceIndex, ActionOutAll, ActionOutVerbose, ActionOutHtml,
          ActionOutWars, ActionOutRuv, ActionOutCsv, ActionBamei, ActionNextRace, ActionPrevRace,
          ActionPageYosou, ActionPageOdds, ActionPageCyo})
        action->setEnabled(false);
    ActionOpen->setEnabled(false); // until the prediction exists
    for (QWidget* hidden : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Splitter1),
                            static_cast<QWidget*>(TreeView1), static_cast<QWidget*>(PageControl1)})
        hidden->hide();

    GridHeadingSetUp();
    GridWidthSetUp();

    try {
        m_session = std::make_unique<TDaySession>(m_settings);
    } catch (const std::exception& error) {
        reportError(error);
        return;
    }
    FocusCreate();
}

void TFormMain::FormClose() {
    ActionClose->trigger();
    FocusFree();
    m_session.reset();
    try {
        FramePosMain.SaveFormPos();
        FramePosMain.SaveToolBarPos(ToolBar1);
        m_settings.Pos.Split1 = RaceTreeWidth();
        m_settings.Pos.Split2 = HorseNamePaneWidth();
        m_settings.Pos.Bamei = ActionBamei->isChecked() ? 1 : 0;
        m_settings.Pos.Graph = ActionGraph->isChecked() ? 1 : 0;
        m_settings.Pos.GraphHeight = m_raceView->chartHeight();
        m_settings.SavePos(m_iniFile);
    } catch (const std::exception& error) {
        reportError(error);
    }
}

bool TFormMain::FocusCreate() {
    if (!m_session)
        return false;
    try {
        m_session->FocusCreate();
    } catch (const std::exception& error) {
        ActionOpen->setEnabled(false);
        showError(timeDatabaseError(error));
        return false;
    }
    ActionOpen->setEnabled(true);
    return true;
}

void TFormMain::FocusFree() {
    if (m_session && m_session->HasFocus()) {
        m_session->FocusFree();
        ActionOpen->setEnabled(false);
    }
}

QString TFormMain::timeDatabaseError(const std::exception& error) const {
    // the time database's own message names the folder it searched
    QString text =
        qsjis(MessageOf(error)) +
        u("\nタイムデータ(time.dbx)は、指数の計算に使う距離係数・基準タイム・馬場差の"
          "表です。このフォルダは 環境設定 > フォルダ の「タイムデータ(TIME.DBX)の"
          "フォルダ」(設定 Time) で変えられ、新しいフォルダは次回の起動から使われます。");
    const fs::path sampleTime = m_sampleFolder / "time";
    std::error_code ec;
    if (fs::is_regular_file(sampleTime / "time.dbx", ec))
        text += u("\n試すには、見本の開催日のタイムデータのフォルダ ") +
                QString::fromStdString(sampleTime.string()) + u(" を指定してください。");
    return text;
}

void TFormMain::reportError(const std::exception& error) {
    showError(qsjis(MessageOf(error)));
}

void TFormMain::showError(const QString& text) {
    if (ShowErrorBox)
        ShowErrorBox(text);
}

void TFormMain::ActionExitExecute() {
    close();
}

void TFormMain::ActionCfgExecute() {
    if (FormCfg == nullptr)
        return;
    FormCfg->exec();
    if (m_settings.FontChanged)
        GridWidthSetUp();
}

void TFormMain::ActionContentExecute() {
    const QString help = QString::fromStdString(m_helpFile.string());
    // a missing help file is named, rather than handed to a viewer that cannot show it
    if (!fs::is_regular_file(m_helpFile))
        showError(help + QStringLiteral("がオープンできません"));
    else
        openInViewer(help);
}

void TFormMain::openInViewer(const QString& help) {
    // xdg-open ends once the viewer has started: its exit status says whether it did
    auto* viewer = new QProcess(this);
    const QString failure = u("ヘルプファイル ") + help + u(" を開けませんでした");
    connect(viewer, &QProcess::finished, this,
            [this, viewer, failure](int exitCode, QProcess::ExitStatus status) {
                viewer->deleteLater();
                if (status != QProcess::NormalExit || exitCode != 0)
                    showError(failure);
            });
    connect(viewer, &QProcess::errorOccurred, this,
            [this, viewer, failure](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return; // the end of the run is served by finished
                viewer->deleteLater();
                showError(failure);
            });
    viewer->start(QStringLiteral("xdg-open"), {help});
}

void TFormMain::ActionAboutExecute() {
    if (FormVer != nullptr)
        FormVer->exec();
}

void TFormMain::MToolBarClick() {
    ToolBar1->setVisible(MToolBar->isChecked());
}

void TFormMain::MOptionClick() {
    if (!ToolBar1->isVisible())
        MToolBar->setChecked(false);
}

void TFormMain::GridHeadingSetUp() {
    m_raceView->SetUpHeadings();
}

void TFormMain::GridWidthSetUp() {
    m_raceView->SetUpWidths(m_settings);
}

void TFormMain::setDayCommandsEnabled(bool enabled) {
    for (QAction* action :
         {ActionClose, ActionRaceIndex, ActionOutAll, ActionOutVerbose, ActionOutHtml,
          ActionOutWars, ActionOutRuv, ActionOutCsv, ActionNextRace, ActionPrevRace,
          ActionPageYosou, ActionPageOdds, ActionPageCyo})
        action->setEnabled(enabled);
    ActionRaceIndex->setChecked(enabled);
}

void TFormMain::setDayPanesVisible(bool visible) {
    for (QWidget* pane : {static_cast<QWidget*>(Splitter1), static_cast<QWidget*>(Panel1),
                          static_cast<QWidget*>(TreeView1), static_cast<QWidget*>(PageControl1)})
        pane->setVisible(visible);
    // the logo would show through a short race view
    Image1->setVisible(!visible);
    // until a race is chosen
    LabelChooseRace->setVisible(visible);
}

void TFormMain::ActionOpenExecute() {
    ActionClose->trigger(); // runs only while a day is open
    // a fresh dialog each time: the file dialog cannot be told to forget the last name
    delete OpenDialog1;
    OpenDialog1 = makeOpenDialog();
    OpenDialog1->setDirectory(QString::fromStdString(m_settings.Folder.InDenm));
    if (OpenDialog1->exec() != QDialog::Accepted)
        return;
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (chosen.isEmpty())
        return;
    OpenDay(fs::path(chosen.first().toStdString()));
}

bool TFormMain::OpenDay(const fs::path& archive) {
    const QScopedValueRollback busy(m_busy, true);
    ActionClose->trigger();
    if (!m_session)
        return false;
    try {
        m_session->OpenDay(archive.string());
    } catch (const std::exception& error) {
        reportError(error);
        return false;
    }
    setDayCommandsEnabled(true);
    setDayPanesVisible(true);
    buildRaceIndex();
    TreeView1->expandAll();
    rememberDay(archive);
    PageControl1->setCurrentWidget(TabSheet1Yosou);
    // a record file cut short: its whole records are shown, and the user is told
    if (!m_session->FileWarnings().empty() && ShowWarningBox) {
        std::string text = toCp932Lenient(archive.string());
        for (const std::string& warning : m_session->FileWarnings())
            text += "\n" + warning;
        ShowWarningBox(qsjis(text));
    }
    if (m_settings.File.OutAtRead != 0)
        ActionOutAll->trigger();
    return true;
}

void TFormMain::buildRaceIndex() {
    std::vector<std::string> lines;
    const TRaceBase& race = m_session->Race();
    const int count = race.RaceCount();
    lines.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        lines.push_back(race.RaceLine(i));
    m_raceIndex = std::make_unique<TRaceIndex>(lines);
    for (const auto& group : m_raceIndex->Roots()) {
        auto* groupItem = new QTreeWidgetItem(TreeView1, QStringList{qsjis(group->text)});
        groupItem->setIcon(0, ImageList2.at(nodeImage::kVenue));
        groupItem->setData(0, kNodeDataRole, group->data);
        for (const auto& raceNode : group->children) {
            auto* raceItem = new QTreeWidgetItem(groupItem, QStringList{qsjis(raceNode->text)});
            raceItem->setIcon(0, ImageList2.at(nodeImage::kRace));
            raceItem->setData(0, kNodeDataRole, raceNode->data);
        }
    }
}

void TFormMain::rememberDay(const fs::path& archive) {
    const int date = SeasonDate(m_session->DayCode());
    std::string caption = date != 0 ? DateText(date) : toCp932Lenient(archive.filename().string());
    for (const auto& venue : m_raceIndex->Roots())
        caption += " " + venue->text;
    m_settings.AddRecent(fs::absolute(archive).lexically_normal(), caption);
    try {
        m_settings.SaveRecent(m_iniFile);
    } catch (const std::exception& error) {
        reportError(error);
    }
}

void TFormMain::MRecentShow() {
    MRecent->clear();
    if (m_settings.Recent.empty()) {
        MRecent->addAction(u("(なし)"))->setEnabled(false);
        return;
    }
    int place = 0;
    for (const TSettings::TRecentDay& day : m_settings.Recent) {
        const fs::path file = day.File;
        QAction* item =
            MRecent->addAction(QStringLiteral("&%1 ").arg(++place) + qsjis(day.Caption));
        item->setStatusTip(QString::fromStdString(day.File));
        std::error_code ec;
        item->setEnabled(CanOpenDay() && fs::is_regular_file(file, ec));
        connect(item, &QAction::triggered, this, [this, file] { OpenDay(file); });
    }
}

void TFormMain::ActionCloseExecute() {
    m_raceView->Clear();
    setDayCommandsEnabled(false);
    setDayPanesVisible(false);
    TreeView1->clear();
    LabelTitle->clear();
    m_raceIndex.reset();
    m_shownRace = -1;
    if (m_session)
        m_session->CloseDay();
}

void TFormMain::ActionRaceIndexExecute() {
    if (ActionRaceIndex->isChecked()) {
        Panel1->show();
        Splitter1->show();
    } else {
        Splitter1->hide();
        Panel1->hide();
    }
}

void TFormMain::TreeView1DblClick() {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (node == nullptr || !m_session || !m_session->IsDayOpen())
        return;
    bool isRace = false;
    const int index = node->data(0, kNodeDataRole).toInt(&isRace);
    if (!isRace || index == -1)
        return;
    if (m_settings.Other.RaceClose != 0)
        ActionRaceIndex->trigger();
    showRace(index);
}

bool TFormMain::showRace(int index) {
    try {
        m_session->PrepareRace(index, true);
        // the view clears itself once the race's data has been read
        m_raceView->Fill(*m_session);
        LabelChooseRace->hide();
    } catch (const std::exception& error) {
        reportError(error);
        return false;
    }
    m_shownRace = index;
    for (QTreeWidgetItemIterator it(TreeView1); *it != nullptr; ++it) {
        if ((*it)->data(0, kNodeDataRole).toInt() == index && (*it)->parent() != nullptr) {
            TreeView1->setCurrentItem(*it);
            break;
        }
    }
    return true;
}

void TFormMain::ActionNextRaceExecute() {
    stepRace(1);
}

void TFormMain::ActionPrevRaceExecute() {
    stepRace(-1);
}

void TFormMain::stepRace(int step) {
    if (!m_raceIndex || !m_session || !m_session->IsDayOpen())
        return;
    const int next = m_raceIndex->Neighbour(m_shownRace, step);
    if (next >= 0)
        showRace(next);
}

void TFormMain::ActionOutAllExecute() {
    runOutput(TOutputCommand::All);
}

void TFormMain::ActionOutVerboseExecute() {
    runOutput(TOutputCommand::Text);
}

void TFormMain::ActionOutHtmlExecute() {
    runOutput(TOutputCommand::Html);
}

void TFormMain::ActionOutWarsExecute() {
    runOutput(TOutputCommand::Wars);
}

void TFormMain::ActionOutRuvExecute() {
    runOutput(TOutputCommand::Ruv);
}

void TFormMain::ActionOutCsvExecute() {
    runOutput(TOutputCommand::Csv);
}

void TFormMain::runOutput(TOutputCommand command) {
    const QScopedValueRollback busy(m_busy, true);
    QApplication::processEvents();
    if (!m_session || !m_session->IsDayOpen())
        return;
    QString failure;
    QString report;
    {
        const TOutputWalkGuard walk(this, FormWait, m_session->Race().RaceCount());
        try {
            const auto summary =
                m_session->RunOutput(command, [this](int position, int, const std::string& text) {
                    return walkStep(position, text);
                });
            report = QString::fromStdString(OutputReport(summary, command, m_settings.File));
        } catch (const std::exception& error) {
            failure = qsjis(MessageOf(error));
        }
    }
    // shown once the window is usable again and the hourglass is gone
    if (!failure.isNull())
        showError(failure);
    else
        DisplayHint(report); // until the next hint takes its place
}

bool TFormMain::walkStep(int position, const std::string& text) {
    if (FormWait != nullptr)
        FormWait->SetProgress(position, qsjis(text));
    QApplication::processEvents(); // serves a click on キャンセル
    return !CancelRequested();
}

void TFormMain::ActionLedgerExecute() {
    const QScopedValueRollback busy(m_busy, true);
    const fs::path folder =
        ChooseFolder(this, "FolderDialogLedger", "開催日アーカイブのフォルダ",
                     m_settings.Folder.InDenm, "開催日アーカイブ (rv*.lzh RV*.LZH)");
    if (folder.empty())
        return;
    // the ledger's own time database when one was chosen in its window
    TSettings ledgerSettings = m_settings;
    if (!m_settings.Season.Time.empty())
        ledgerSettings.Folder.Time = m_settings.Season.Time;
    std::optional<TLedger> ledger;
    QString failure;
    try {
        TSeasonLedger season(ledgerSettings, folder, {}, m_settings.Season.Store);
        const TOutputWalkGuard walk(this, FormWait, season.DayCount());
        ledger = season.Run([this](int position, int, const std::string& text) {
            return walkStep(position, text);
        });
    } catch (const std::exception& error) {
        failure = qsjis(MessageOf(error));
    }
    if (!failure.isNull()) {
        showError(failure);
        return;
    }
    if (ledger->cancelled) {
        // nothing half-made is shown; what was read stays in the store for the next run
        DisplayHint(u("成績集計を中止しました。読み終えた開催日は成績データベースに残り、"
                      "次回はその続きから読みます。"));
        return;
    }
    auto* form = new TFormLedger(std::move(*ledger), m_settings, this);
    form->StoreChosen = [this](const fs::path& file) {
        m_settings.Season.Store = file.string();
        m_settings.SaveSeason(m_iniFile);
    };
    form->TimeChosen = [this](const fs::path& folder) {
        m_settings.Season.Time = (folder / "").string();
        m_settings.SaveSeason(m_iniFile);
    };
    form->show();
}

void TFormMain::DisplayHint(const QString& hint) {
    StatusPanel0->setText(hint);
}

void TFormMain::Panel2Resize() {
    // W and H the window's client size, T the tool bar area's height, w and h the logo's
    const int W = width();
    const int H = height();
    const int T = ControlBarHeight();
    const int w = Image1->width();
    const int h = Image1->height();
    const int left = (W - w) / 2;
    const int top = T + (H - T - h) / 2 - h;
    // in a window too small for the rule the logo keeps to the top left, never cut off there
    Image1->move(std::max(0, left), std::max(0, top));
}

void TFormMain::BringForward() {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TFormMain::OpenHandedDay(const fs::path& archive) {
    m_handedDay = archive;
    if (m_handedDayTimer == nullptr) {
        m_handedDayTimer = new QTimer(this);
        m_handedDayTimer->setSingleShot(true);
        m_handedDayTimer->setInterval(kHandedDayRetryMs);
        connect(m_handedDayTimer, &QTimer::timeout, this, [this] { openHandedDayWhenIdle(); });
    }
    // from the message loop, never from inside whatever is running now
    QTimer::singleShot(0, this, [this] { openHandedDayWhenIdle(); });
}

void TFormMain::openHandedDayWhenIdle() {
    if (m_handedDay.empty() || m_closed)
        return;
    if (m_busy || !isEnabled() || QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr) {
        m_handedDayTimer->start();
        return;
    }
    const fs::path archive = std::exchange(m_handedDay, {});
    if (CanOpenDay())
        OpenDay(archive);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    event->accept();
    emit closed();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::Resize)
        Panel2Resize();
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TreeView1DblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
