// TFormCfg: the settings dialog (環境設定).
#include "gui/dialogs/Cfg.h"

#include "session/Settings.h"
#include "platform/IniFile.h"
#include "gui/support/QtBoundary.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
// The dialog's own face, the proportional Japanese Gothic at the forms' 12 pixels.
constexpr const char* kDialogFace = "IPAPGothic";
constexpr int kDialogPixelSize = 12;
constexpr int kFolderEditWidth = 330;
constexpr int kIndent = 20;

TFlag flagOf(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

QFont fixedFont(int pointSize) {
    QFont font(TFormCfg::kFixedFace);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize);
    return font;
}

QString withSeparator(QString folder) {
    if (!folder.endsWith(QChar(kSeparator)))
        folder.append(QChar(kSeparator));
    return folder;
}

bool isFolder(const QString& name) {
    return !name.isEmpty() && QFileInfo(name).isDir();
}

} // namespace

TFormCfg::TFormCfg(TSettings& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {
    setObjectName("FormCfg");
    setWindowTitle(u("環境設定"));
    setModal(true);
    QFont font(kDialogFace);
    font.setPixelSize(kDialogPixelSize);
    setFont(font);

    ChooseFolder = [](QWidget* parent, const QString& caption, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, caption, start);
    };

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    TabFolder = makeFolderPage();
    TabFile = makeFilePage();
    TabFont = makeFontPage();
    TabOther = makeOtherPage();
    PageControl1->addTab(TabFolder, u("フォルダ"));
    PageControl1->addTab(TabFile, u("ファイル"));
    PageControl1->addTab(TabFont, u("フォント"));
    PageControl1->addTab(TabOther, u("その他"));
    PageControl1->setCurrentWidget(TabFolder);

    ButtonOk = new QPushButton(u("OK"), this);
    ButtonOk->setObjectName("ButtonOk");
    ButtonCancel = new QPushButton(u("キャンセル"), this);
    ButtonCancel->setObjectName("ButtonCancel");
    ButtonOk->setDefault(true);
    for (QPushButton* button : {ButtonOk, ButtonCancel})
        button->setMinimumWidth(80);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormCfg::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TFormCfg::makeFolderPage() {
    auto* page = new QWidget;
    page->setObjectName("TabFolder");
    auto* layout = new QVBoxLayout(page);

    struct Entry {
        QLineEdit*& edit;
        QPushButton*& button;
        const char* editName;
        const char* buttonName;
        const char* caption;
    };
    const Entry entries[] = {
        {EditInDenm, ButtonInp, "EditInDenm", "ButtonInp", "RUVデータ(LZH形式)のフォルダ"},
        {EditOutTxt, ButtonOutTxt, "EditOutTxt", "ButtonOutTxt", "出力ファイルのフォルダ"},
        {EditTime, ButtonTime, "EditTime", "ButtonTime",
         "タイムデータ(TIME.DBX)のフォルダ(次回立ち上げ時に反映)"},
        {EditOddsDrn, ButtonOddsDrn, "EditOddsDrn", "ButtonOddsDrn",
         "DRNWinが出力するRXファイルのフォルダ"},
    };
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        const Entry& e = entries[i];
        auto* group = new QGroupBox(u(e.caption), page);
        e.edit = new QLineEdit(group);
        e.edit->setObjectName(e.editName);
        e.edit->setMinimumWidth(kFolderEditWidth);
        e.button = new QPushButton(u("参照"), group);
        e.button->setObjectName(e.buttonName);
        e.button->setAutoDefault(false);
        auto* column = new QVBoxLayout(group);
        auto* row = new QHBoxLayout;
        row->addWidget(e.edit, 1);
        row->addWidget(e.button);
        column->addLayout(row);
        // room for one line, kept while empty, so that a note does not move the dialog
        auto* note = new QLabel(group);
        note->setObjectName(QString::fromLatin1(e.editName) + QStringLiteral("Note"));
        note->setMinimumHeight(note->fontMetrics().height());
        QPalette red = note->palette();
        red.setColor(QPalette::WindowText, Qt::darkRed);
        note->setPalette(red);
        column->addWidget(note);
        layout->addWidget(group);
        m_folderNotes[i] = note;

        m_folderEdits[i] = e.edit;
        m_folderButtons[i] = e.button;
        m_folderCaptions[i] = u(e.caption);
        QLineEdit* edit = e.edit;
        QPushButton* button = e.button;
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { EditDirExit(edit); });
        connect(button, &QPushButton::clicked, this, [this, button] { ButtonDirClick(button); });
        if (i == 3) {
            CheckBoxOddsDrn = group;
            group->setObjectName("CheckBoxOddsDrn");
            group->setCheckable(true);
            connect(group, &QGroupBox::toggled, this, &TFormCfg::CheckBoxOddsDrnClick);
        }
    }
    layout->addStretch(1);
    return page;
}

QWidget* TFormCfg::makeFilePage() {
    auto* page = new QWidget;
    page->setObjectName("TabFile");
    auto* layout = new QVBoxLayout(page);

    CheckBoxOutAtRead = new QCheckBox(u("出馬表読込時に一括ファイル出力をする"), page);
    layout->addWidget(CheckBoxOutAtRead);

    auto* group = new QGroupBox(u("一括出力時に出力するファイル"), page);
    auto* inner = new QVBoxLayout(group);
    CheckBoxText = new QCheckBox(u("詳細テキストファイル"), group);
    CheckBoxHtml = new QCheckBox(u("HTML形式ファイル"), group);
    CheckBoxWars = new QCheckBox(u("WARSコンテストファイル"), group);
    RadioGroupWars = new TRadioGroup({u("旧形式"), u("2000年対応形式")}, 2, group);
    CheckBoxRuv = new QCheckBox(u("RUVテキスト形式ファイル"), group);
    RadioGroupRuv = new TRadioGroup({u("旧OVERS形式"), u("新OVERS形式")}, 2, group);
    // the two choices stand in the same columns in both frames
    const int column = std::max({RadioGroupWars->Button(0)->sizeHint().width(),
                                 RadioGroupRuv->Button(0)->sizeHint().width()});
    for (TRadioGroup* radio : {RadioGroupWars, RadioGroupRuv})
        static_cast<QGridLayout*>(radio->layout())->setColumnMinimumWidth(0, column);

    inner->addWidget(CheckBoxText);
    inner->addWidget(CheckBoxHtml);
    for (auto [check, radio] :
         {std::pair{CheckBoxWars, RadioGroupWars}, {CheckBoxRuv, RadioGroupRuv}}) {
        inner->addWidget(check);
        auto* indented = new QHBoxLayout;
        indented->addSpacing(kIndent);
        indented->addWidget(radio, 1);
        inner->addLayout(indented);
    }
    layout->addWidget(group);
    layout->addStretch(1);

    CheckBoxOutAtRead->setObjectName("CheckBoxOutAtRead");
    CheckBoxText->setObjectName("CheckBoxText");
    CheckBoxHtml->setObjectName("CheckBoxHtml");
    CheckBoxWars->setObjectName("CheckBoxWars");
    RadioGroupWars->setObjectName("RadioGroupWars");
    CheckBoxRuv->setObjectName("CheckBoxRuv");
    RadioGroupRuv->setObjectName("RadioGroupRuv");
    connect(CheckBoxWars, &QCheckBox::toggled, this, &TFormCfg::CheckBoxWarsClick);
    connect(CheckBoxRuv, &QCheckBox::toggled, this, &TFormCfg::CheckBoxRuvClick);
    return page;
}

QWidget* TFormCfg::makeFontPage() {
    auto* page = new QWidget;
    page->setObjectName("TabFont");
    auto* layout = new QVBoxLayout(page);

    // a sample frame is tall and wide enough for the largest size
    const QFontMetrics largest(fixedFont(kMaxFontSize));
    const int sampleHeight = largest.height() + 8;
    const int sampleWidth = largest.horizontalAdvance(u("ＭＳ ゴシック 20pt")) + 16;

    struct Size {
        QLineEdit*& edit;
        TUpDown*& upDown;
        QLabel*& sample;
        const char* editName;
        const char* upDownName;
        const char* sampleName;
        const char* caption;
    };
    const Size sizes[] = {
        {EditFontSize, UpDown1, LabelFontSample, "EditFontSize", "UpDown1", "LabelFontSample",
         "フォントサイズ"},
        {EditFontSizeOdds, UpDown2, LabelFontOddsSample, "EditFontSizeOdds", "UpDown2",
         "LabelFontOddsSample", "オッズフォントサイズ"},
    };
    // the two entries stand in one column whatever their labels' widths
    auto* grid = new QGridLayout;
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(1, 8);
    int row = 0;
    for (const Size& s : sizes) {
        auto* label = new QLabel(u(s.caption), page);
        s.edit = new QLineEdit(page);
        s.edit->setObjectName(s.editName);
        s.edit->setReadOnly(true);
        s.edit->setFocusPolicy(Qt::NoFocus);
        s.edit->setAlignment(Qt::AlignRight);
        s.edit->setFixedWidth(QFontMetrics(s.edit->font()).horizontalAdvance("0000") + 12);
        s.upDown = new TUpDown(s.edit, kMinFontSize, kMaxFontSize, page);
        s.upDown->setObjectName(s.upDownName);
        auto* entry = new QHBoxLayout;
        entry->setSpacing(0);
        entry->addWidget(s.edit);
        entry->addWidget(s.upDown);
        grid->addWidget(label, row, 0);
        grid->addLayout(entry, row, 2);
        ++row;

        auto* group = new QGroupBox(u("サンプル"), page);
        s.sample = new QLabel(group);
        s.sample->setObjectName(s.sampleName);
        s.sample->setFont(fixedFont(kMinFontSize));
        s.sample->setFixedHeight(sampleHeight);
        s.sample->setMinimumWidth(sampleWidth);
        s.sample->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        auto* inner = new QVBoxLayout(group);
        inner->addWidget(s.sample);
        grid->addWidget(group, row, 0, 1, 4);
        ++row;
        grid->setRowMinimumHeight(row++, 6);
    }
    layout->addLayout(grid);
    layout->addStretch(1);

    connect(EditFontSize, &QLineEdit::textChanged, this, &TFormCfg::EditFontSizeChange);
    connect(EditFontSizeOdds, &QLineEdit::textChanged, this, &TFormCfg::EditFontSizeOddsChange);
    return page;
}

QWidget* TFormCfg::makeOtherPage() {
    auto* page = new QWidget;
    page->setObjectName("TabOther");
    auto* layout = new QVBoxLayout(page);
    CheckBoxRaceClose = new QCheckBox(u("レース一覧で選択後、レース一覧ウインドウを閉じる"), page);
    CheckBoxRaceClose->setObjectName("CheckBoxRaceClose");
    layout->addWidget(CheckBoxRaceClose);
    layout->addStretch(1);
    return page;
}

void TFormCfg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFormCfg::FormShow() {
    const TSettings& s = m_settings;
    m_folders = {s.Folder.InDenm, s.Folder.OutTxt, s.Folder.Time, s.Folder.DrnRx};
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        m_folderEdits[i]->setText(QString::fromStdString(m_folders[i]));
        m_folderNotes[i]->clear();
    }

    CheckBoxOddsDrn->setChecked(s.Other.DrnRx != 0);
    CheckBoxOddsDrnClick();

    CheckBoxOutAtRead->setChecked(s.File.OutAtRead != 0);
    CheckBoxText->setChecked(s.File.TextOut != 0);
    CheckBoxHtml->setChecked(s.File.HtmlOut != 0);
    CheckBoxWars->setChecked(s.File.WarsOut != 0);
    RadioGroupWars->SetItemIndex(s.File.WarsFormat);
    CheckBoxWarsClick();
    CheckBoxRuv->setChecked(s.File.RuvOut != 0);
    RadioGroupRuv->SetItemIndex(s.File.RuvFormat);
    CheckBoxRuvClick();

    // the entry's change handler corrects a stored size outside 7..20 and draws the
    // sample; it runs also when the text stays the same
    m_fontSize = s.Font.Size;
    EditFontSize->setText(QString::number(m_fontSize));
    EditFontSizeChange();
    UpDown1->SetPosition(m_fontSize);
    m_fontSizeOdds = s.Font.SizeOdds;
    EditFontSizeOdds->setText(QString::number(m_fontSizeOdds));
    EditFontSizeOddsChange();
    UpDown2->SetPosition(m_fontSizeOdds);

    CheckBoxRaceClose->setChecked(s.Other.RaceClose != 0);
    PageControl1->setCurrentWidget(TabFolder);
}

void TFormCfg::ButtonOkClick() {
    TSettings& s = m_settings;
    s.Folder.InDenm = m_folders[0];
    s.Folder.OutTxt = m_folders[1];
    s.Folder.Time = m_folders[2];
    s.Folder.DrnRx = m_folders[3];

    s.Other.DrnRx = CheckBoxOddsDrn->isChecked() ? 1 : 0;
    s.File.OutAtRead = flagOf(CheckBoxOutAtRead);
    s.File.TextOut = flagOf(CheckBoxText);
    s.File.HtmlOut = flagOf(CheckBoxHtml);
    s.File.WarsOut = flagOf(CheckBoxWars);
    s.File.WarsFormat = static_cast<TFlag>(RadioGroupWars->ItemIndex());
    s.File.RuvOut = flagOf(CheckBoxRuv);
    s.File.RuvFormat = static_cast<TFlag>(RadioGroupRuv->ItemIndex());

    s.FontChanged = false;
    if (m_fontSize != s.Font.Size) {
        s.Font.Size = m_fontSize;
        s.FontChanged = true;
    }
    if (m_fontSizeOdds != s.Font.SizeOdds) {
        s.Font.SizeOdds = m_fontSizeOdds;
        s.FontChanged = true;
    }

    s.Other.RaceClose = flagOf(CheckBoxRaceClose);
    accept();
}

void TFormCfg::EditDirExit(QLineEdit* sender) {
    const auto at = std::find(m_folderEdits.begin(), m_folderEdits.end(), sender);
    if (at == m_folderEdits.end())
        return;
    const auto tag = static_cast<std::size_t>(at - m_folderEdits.begin());
    std::string& working = m_folders[tag];
    const QString text = sender->text();
    const bool restored = !isFolder(text);
    if (!restored)
        working = withSeparator(text).toStdString();
    // said beside the entry, without stopping the user
    m_folderNotes[tag]->setText(restored && text != QString::fromStdString(working)
                                    ? u("フォルダがないため元に戻しました")
                                    : QString());
    sender->setText(QString::fromStdString(working));
}

void TFormCfg::ButtonDirClick(QPushButton* sender) {
    const auto at = std::find(m_folderButtons.begin(), m_folderButtons.end(), sender);
    if (at == m_folderButtons.end())
        return;
    const auto tag = static_cast<std::size_t>(at - m_folderButtons.begin());
    const QString chosen =
        ChooseFolder(this, m_folderCaptions[tag], QString::fromStdString(m_folders[tag]));
    if (!isFolder(chosen))
        return;
    m_folders[tag] = withSeparator(chosen).toStdString();
    m_folderEdits[tag]->setText(QString::fromStdString(m_folders[tag]));
}

void TFormCfg::CheckBoxOddsDrnClick() {
    const bool on = CheckBoxOddsDrn->isChecked();
    EditOddsDrn->setEnabled(on);
    ButtonOddsDrn->setEnabled(on);
}

void TFormCfg::CheckBoxWarsClick() {
    RadioGroupWars->setEnabled(CheckBoxWars->isChecked());
}

void TFormCfg::CheckBoxRuvClick() {
    RadioGroupRuv->setEnabled(CheckBoxRuv->isChecked());
}

void TFormCfg::EditFontSizeChange() {
    fontSizeChange(EditFontSize, *UpDown1, LabelFontSample, u("ＭＳ ゴシック "), m_fontSize);
}

void TFormCfg::EditFontSizeOddsChange() {
    fontSizeChange(EditFontSizeOdds, *UpDown2, LabelFontOddsSample, u("99.9-999.9 "),
                   m_fontSizeOdds);
}

void TFormCfg::fontSizeChange(QLineEdit* edit, const TUpDown& upDown, QLabel* sample,
                              const QString& sampleText, int& workingSize) {
    const int n = ProfileTextToInteger(edit->text().toStdString()).value_or(0);
    workingSize = n;
    // correcting the text runs this handler again, which draws the sample
    if (n < upDown.Min()) {
        workingSize = upDown.Min();
        edit->setText(QString::number(upDown.Min()));
    } else if (n > upDown.Max()) {
        workingSize = upDown.Max();
        edit->setText(QString::number(upDown.Max()));
    } else {
        QFont font = sample->font();
        font.setPointSize(n);
        sample->setFont(font);
        sample->setText(sampleText + edit->text() + u("pt"));
    }
}
