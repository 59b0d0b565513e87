#include "gui/dialogs/LedgerWindow.h"

#include "session/Settings.h"
#include "ledger/LedgerChart.h"
#include "ledger/LedgerFiles.h"
#include "ledger/LedgerTables.h"
#include "platform/Cp932.h"

#include "gui/dialogs/ChartView.h"
#include "gui/dialogs/LedgerBreakdownPage.h"
#include "gui/dialogs/LedgerMarketPage.h"
#include "gui/dialogs/LedgerRaceListPage.h"
#include "gui/dialogs/LedgerViews.h"
#include "gui/dialogs/LedgerWhatIfPage.h"
#include "gui/support/FolderChoice.h"
#include "gui/support/QtBoundary.h"
#include "gui/widgets/StrCGrid.h"
#include "platform/Reasons.h"

#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace {

QDate dateOf(int yyyymmdd) {
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

int numberOf(const QDate& date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QDateEdit* dateEdit(const char* name, int yyyymmdd, QWidget* parent) {
    auto* edit = new QDateEdit(yyyymmdd != 0 ? dateOf(yyyymmdd) : QDate::currentDate(), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

// Hands a choice for the next ledger to its callback; false, after an error box, when it
// could not be kept.
bool keptForNextLedger(const std::function<void(const std::filesystem::path&)>& chosen,
                       const std::filesystem::path& path,
                       const std::function<void(const QString&)>& showError) {
    try {
        if (chosen)
            chosen(path);
    } catch (const std::exception& error) {
        if (showError)
            showError(qsjis(MessageOf(error)));
        return false;
    }
    return true;
}

} // namespace

TFormLedger::TFormLedger(TLedger ledger, const TSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ledger(std::move(ledger)), m_summary(Summarize(m_ledger)),
      m_settings(settings) {
    setObjectName(QStringLiteral("FormLedger"));
    setWindowTitle(u("成績集計"));
    setAttribute(Qt::WA_DeleteOnClose);
    // the designed size, or the screen's free area less the frame where that is smaller
    // (1366 x 768 leaves about 728 pixels)
    QSize size(kDesignedWidth, kDesignedHeight);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(0, kFrameHeight));
    resize(size);
    ShowErrorBox = [this](const QString& text) {
        QMessageBox::critical(this, QStringLiteral("エラー"), text, QMessageBox::Ok);
    };

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("TabsLedger"));
    auto* overview = new QWidget(tabs);
    overview->setObjectName(QStringLiteral("PageOverview"));
    tabs->addTab(overview, u("概要(&O)"));
    auto* breakdowns = new TLedgerBreakdownPage(Breakdowns(m_ledger.races), tabs);
    tabs->addTab(breakdowns, u("条件別(&B)"));
    auto* raceList = new TLedgerRaceListPage(m_ledger.races, tabs);
    tabs->addTab(raceList, u("レース一覧(&L)"));
    breakdowns->ValueChosen = [raceList](TDimension dimension, const std::string& value) {
        raceList->Filter(dimension, value);
    };
    raceList->RaceOpened = [this](const TLedgerRace& race) {
        const auto archive = m_ledger.archives.find(race.date);
        if (archive == m_ledger.archives.end() || !OpenRace)
            return QString();
        return OpenRace(archive->second, race.seq, m_ledger.timeDatabase);
    };
    const int firstDay = m_ledger.races.empty() ? 0 : m_ledger.races.front().date;
    const int lastDay = m_ledger.races.empty() ? 0 : m_ledger.races.back().date;
    auto* whatIf = new TLedgerWhatIfPage(m_ledger.store, firstDay, lastDay, tabs);
    whatIf->ShowErrorBox = [this](const QString& text) { ShowErrorBox(text); };
    whatIf->setEnabled(!m_ledger.races.empty());
    tabs->addTab(whatIf, u("条件を変えて再計算(&W)"));
    tabs->addTab(new TLedgerMarketPage(m_summary.market, tabs), u("市場との比較(&M)"));

    auto* layout = new QVBoxLayout(overview);
    layout->addWidget(LedgerTextLabel("LabelOverview", OverviewText(m_summary), this));
    auto* timeRow = new QHBoxLayout;
    m_labelTime = LedgerTextLabel("LabelTime", TimeDatabaseText(m_summary), this);
    m_labelTime->setTextInteractionFlags(Qt::TextSelectableByMouse);
    timeRow->addWidget(m_labelTime, 1);
    auto* time = new QPushButton(u("タイムデータの変更(&T)..."), this);
    time->setObjectName(QStringLiteral("ButtonTime"));
    time->setToolTip(u("次回からの集計で使うタイムデータ(time.dbx)のフォルダを選びます。"
                       "メインウインドウのタイムデータは変わりません"));
    connect(time, &QPushButton::clicked, this, &TFormLedger::ButtonTimeClick);
    timeRow->addWidget(time);
    layout->addLayout(timeRow);
    // what the store's update did besides reading days (days dropped with their archives,
    // a damaged store set aside), the archives and races left out, then the days read with
    // something wrong
    std::string problems;
    for (const auto* lines : {&m_ledger.storeNotes, &m_ledger.problems, &m_ledger.warnings})
        for (const std::string& line : *lines)
            problems += (problems.empty() ? "" : "\n") + line;
    if (!problems.empty())
        layout->addWidget(LedgerTextLabel("LabelProblems", problems, this));
    QLabel* note = LedgerTextLabel("LabelNote", SnapshotNote(), this);
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, QColor(0x8A, 0x1F, 0x11));
    note->setPalette(red);
    layout->addWidget(note);
    layout->addWidget(LedgerTableGrid("GridMarks", MarkTable(m_summary), this), 0, Qt::AlignLeft);
    QLabel* placeNote = LedgerTextLabel("LabelPlaceNote", PlaceNote(), this);
    placeNote->setWordWrap(true);
    layout->addWidget(placeNote);
    layout->addWidget(LedgerTableGrid("GridBets", BetTable(m_summary), this), 0, Qt::AlignLeft);
    if (m_summary.settled > 0) {
        auto* chart = new TChartView(LedgerChart(m_summary), this);
        chart->setObjectName(QStringLiteral("ChartLedger"));
        layout->addWidget(chart, 1);
    }
    if (const std::string text = ChartNote(m_summary); !text.empty())
        layout->addWidget(LedgerTextLabel("LabelChartNote", text, this));

    auto* window = new QVBoxLayout(this);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(new QLabel(u("期間"), this));
    m_from = dateEdit("EditFrom", firstDay, this);
    rangeRow->addWidget(m_from);
    rangeRow->addWidget(new QLabel(u("～"), this));
    m_to = dateEdit("EditTo", lastDay, this);
    rangeRow->addWidget(m_to);
    auto* range = new QPushButton(u("この期間で集計し直す(&R)"), this);
    range->setObjectName(QStringLiteral("ButtonRange"));
    range->setToolTip(u("同じフォルダの、この期間の開催日だけを集計します"));
    connect(range, &QPushButton::clicked, this, &TFormLedger::ButtonRangeClick);
    rangeRow->addWidget(range);
    rangeRow->addStretch(1);
    window->addWidget(tabs, 1);
    window->addLayout(rangeRow);
    auto* storeRow = new QHBoxLayout;
    m_labelStore = LedgerTextLabel(
        "LabelStore", sjis("成績データベース: ") + toCp932Lenient(m_ledger.store.string()), this);
    m_labelStore->setTextInteractionFlags(Qt::TextSelectableByMouse);
    storeRow->addWidget(m_labelStore, 1);
    auto* store = new QPushButton(u("保存場所の変更(&D)..."), this);
    store->setObjectName(QStringLiteral("ButtonStore"));
    store->setToolTip(u("次回からの集計で使う成績データベースのファイルを選びます"));
    connect(store, &QPushButton::clicked, this, &TFormLedger::ButtonStoreClick);
    storeRow->addWidget(store);
    window->addLayout(storeRow);

    auto* buttons = new QHBoxLayout;
    m_labelSaved = new QLabel(this);
    m_labelSaved->setObjectName(QStringLiteral("LabelSaved"));
    m_labelSaved->setTextFormat(Qt::PlainText);
    buttons->addWidget(m_labelSaved, 1);
    auto* save = new QPushButton(u("CSV・HTML保存(&S)"), this);
    save->setObjectName(QStringLiteral("ButtonSave"));
    save->setToolTip(u("集計をledger.csv、breakdown.csv、ledger.html、market.csv、"
                       "calibration.csvに書き出します"));
    connect(save, &QPushButton::clicked, this, &TFormLedger::ButtonSaveClick);
    auto* close = new QPushButton(u("閉じる(&C)"), this);
    close->setObjectName(QStringLiteral("ButtonClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(save);
    buttons->addWidget(close);
    window->addLayout(buttons);
}

void TFormLedger::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QWidget::showEvent(event);
}

void TFormLedger::ButtonRangeClick() {
    const int from = numberOf(m_from->date());
    const int to = numberOf(m_to->date());
    if (from > to) {
        if (ShowErrorBox)
            ShowErrorBox(u("期間の始めが終わりより後です"));
        return;
    }
    if (RangeChosen)
        RangeChosen({from, to});
}

void TFormLedger::ButtonStoreClick() {
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialogStore"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(u("SQLite (*.sqlite *.db)"));
    dialog.setDefaultSuffix(QStringLiteral("sqlite"));
    dialog.selectFile(QString::fromStdString(m_ledger.store.string()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::filesystem::path file = dialog.selectedFiles().first().toStdString();
    if (!keptForNextLedger(StoreChosen, file, ShowErrorBox))
        return;
    m_labelStore->setText(u("成績データベース: ") + QString::fromStdString(file.string()) +
                          u(" (次回の集計から)"));
}

void TFormLedger::ButtonTimeClick() {
    const std::filesystem::path folder = ChooseFolder(
        this, "FolderDialogTime", "タイムデータ(time.dbx)のフォルダ",
        m_ledger.timeDatabase.parent_path().string(), "タイムデータ (time.dbx TIME.DBX)");
    if (folder.empty() || !keptForNextLedger(TimeChosen, folder, ShowErrorBox))
        return;
    m_labelTime->setText(u("タイムデータ: ") +
                         QString::fromStdString((folder / "time.dbx").string()) +
                         u(" (次回の集計から)"));
}

void TFormLedger::ButtonSaveClick() {
    const std::filesystem::path folder =
        ChooseFolder(this, "SaveDialogLedger", "保存先フォルダ", m_settings.Folder.OutTxt);
    if (folder.empty())
        return;
    try {
        WriteLedgerFiles(m_ledger, m_summary, folder);
    } catch (const std::exception& error) {
        if (ShowErrorBox)
            ShowErrorBox(qsjis(MessageOf(error)));
        return;
    }
    m_labelSaved->setText(QString::fromStdString(folder.string()) +
                          u(" に ledger.csv、breakdown.csv、ledger.html、market.csv、"
                            "calibration.csv を書きました"));
}
