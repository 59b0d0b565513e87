#include "app/window/Main.h"

#include "app/DaySession.h"
#include "app/Settings.h"
#include "platform/Cp932.h"
#include "settings/Cfg.h"
#include "widgets/AppHint.h"
#include "widgets/Images.h"
#include "widgets/MenuBar.h"
#include "widgets/QtBoundary.h"
#include "widgets/Splitter.h"
#include "widgets/Ver.h"
#include "widgets/Wait.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

constexpr int kDesignedTreeWidth = 183;
constexpr int kDesignedHorseNameWidth = 113;
// A pane never gets wider than this from a stored width, so that a damaged settings
// file cannot push the window off every screen.
constexpr int kMaxPaneWidth = 2000;
constexpr int kTitlePixelSize = 16;
constexpr int kStatusPanelWidth = 100;

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

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
    FramePosMain.UseIni = true;
    FramePosMain.IniFile = m_iniFile;

    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(ProgramIcon());
    setFont(DesignedFont());
    resize(kDesignedWidth, kDesignedHeight);
    // no menu of tool bars on a right click: ツールバーの表示 is the one switch
    setContextMenuPolicy(Qt::NoContextMenu);

    ShowErrorBox = [this](const QString& text) {
        QMessageBox::critical(this, QStringLiteral("エラー"), text, QMessageBox::Ok);
    };

    ImageList1 = CommandImages();
    ImageList2 = NodeImages();
    makeActions();
    makeMenus();
    makeToolBar();
    makePanels();
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
    ActionBamei =
        makeAction("ActionBamei", "表示", "馬名の表示(&B)", "馬名を表示します", kHorseNames);
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
    ActionRaceIndex->setCheckable(true);
    ActionBamei->setCheckable(true);

    connect(ActionExit, &QAction::triggered, this, &TFormMain::ActionExitExecute);
    connect(ActionCfg, &QAction::triggered, this, &TFormMain::ActionCfgExecute);
    connect(ActionContent, &QAction::triggered, this, &TFormMain::ActionContentExecute);
    connect(ActionAbout, &QAction::triggered, this, &TFormMain::ActionAboutExecute);
    connect(ActionBamei, &QAction::triggered, this, &TFormMain::ActionBameiExecute);
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
    MFile->addActions({ActionOpen, ActionClose, ActionExit});

    MOut = addMenu("MOut", "出力(&G)");
    MOut->addAction(ActionOutAll);
    MN1 = MOut->addSeparator();
    MN1->setObjectName(QStringLiteral("MN1"));
    MOut->addActions({ActionOutVerbose, ActionOutHtml, ActionOutWars, ActionOutRuv});

    MShow = addMenu("MShow", "表示(&S)");
    MShow->addActions({ActionRaceIndex, ActionBamei});
    connect(MShow, &QMenu::aboutToShow, this, &TFormMain::MShowClick);

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
    // the race heading has two lines
    LabelTitle->setMinimumHeight(2 * QFontMetrics(title).lineSpacing());
    auto* panel4Layout = new QHBoxLayout(Panel4);
    panel4Layout->setContentsMargins(6, 2, 6, 2);
    panel4Layout->addWidget(LabelTitle);

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
    TabSheet1Odds->installEventFilter(this);

    // the horse-name pane at the left of the odds page; the race view puts its caption
    // and grid into it and the odds pages after Splitter2
    Panel5 = new QWidget(TabSheet1Odds);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    setPaneWidth(Panel5, kDesignedHorseNameWidth);
    Splitter2 = new TSplitter(Panel5, TabSheet1Odds);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    auto* oddsLayout = new QHBoxLayout(TabSheet1Odds);
    oddsLayout->setContentsMargins(0, 0, 0, 0);
    oddsLayout->setSpacing(0);
    oddsLayout->addWidget(Panel5);
    oddsLayout->addWidget(Splitter2);
    oddsLayout->addStretch(1);

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

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
}

void TFormMain::setPaneWidth(QWidget* pane, int width) {
    pane->setFixedWidth(std::clamp(width, 0, kMaxPaneWidth));
}

int TFormMain::RaceTreeWidth() const {
    return std::max(0, Panel1->width() - 2 * kPanelBevel);
}

int TFormMain::HorseNamePaneWidth() const {
    return Panel5->width();
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
    setPaneWidth(Panel5, m_settings.Pos.Split2);
    ActionBamei->setChecked(m_settings.Pos.Bamei != 0);

    for (QAction* action : {ActionClose, ActionRaceIndex, ActionOutAll, ActionOutVerbose,
                            ActionOutHtml, ActionOutWars, ActionOutRuv, ActionBamei})
        action->setEnabled(false);
    ActionOpen->setEnabled(false); // until the prediction exists
    for (QWidget* hidden : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Splitter1),
                            static_cast<QWidget*>(TreeView1), static_cast<QWidget*>(PageControl1)})
        hidden->hide();

    GridHeadingSetUp();
    GridWidthSetUp();

    Panel5->setVisible(ActionBamei->isChecked());
    Splitter2->setVisible(ActionBamei->isChecked());

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
        reportError(error);
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

void TFormMain::reportError(const std::exception& error) {
    showError(qsjis(error.what()));
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
    // a missing help file is named, rather than handed to a viewer that cannot show it
    if (!fs::is_regular_file(m_helpFile)) {
        showError(QString::fromStdString(m_helpFile.string()) +
                  QStringLiteral("がオープンできません"));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_helpFile.string())));
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

void TFormMain::MShowClick() {
    ActionBamei->setEnabled(PageControl1->currentWidget() == TabSheet1Odds && m_session &&
                            m_session->IsDayOpen());
}

void TFormMain::ActionBameiExecute() {
    if (ActionBamei->isChecked()) {
        Panel5->show();
        Splitter2->show();
    } else {
        Splitter2->hide();
        Panel5->hide();
    }
}

void TFormMain::TabSheet1OddsShow() {
    if (!ActionBamei->isEnabled())
        ActionBamei->setEnabled(true);
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
    else if (watched == TabSheet1Odds && event->type() == QEvent::Show)
        TabSheet1OddsShow();
    return QMainWindow::eventFilter(watched, event);
}
