// TFormCfg: the settings dialog (環境設定).
#pragma once

#include "gui/widgets/RadioGroup.h"
#include "gui/widgets/UpDown.h"

#include <QDialog>
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

struct TSettings;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QTabWidget;
class QToolButton;

// The modal settings dialog "環境設定". It shows the run's settings on four pages
// (folders, files, fonts, other) and copies them back only on OK; the settings file
// is written when the run ends.
//
// Folder entries keep the last valid folder: an entry that is left with a name that is
// no existing folder shows that folder again, silently; a valid name gets a final '/'.
// The font sizes change only through the arrows, within 7 to 20.
class TFormCfg : public QDialog {
    Q_OBJECT
public:
    // The face of the font samples: the Japanese fixed-pitch Gothic.
    static constexpr const char* kFixedFace = "IPAGothic";
    static constexpr int kMinFontSize = 7;
    static constexpr int kMaxFontSize = 20;

    explicit TFormCfg(TSettings& settings, QWidget* parent = nullptr);

    // The folder chooser: (parent, caption, start folder) -> the chosen folder, empty when
    // the user cancels. QFileDialog::getExistingDirectory unless replaced.
    std::function<QString(QWidget*, const QString&, const QString&)> ChooseFolder;

    // Fills the controls from the settings; runs each time the dialog is shown.
    void FormShow();
    // Copies the controls into the settings, sets or clears their FontChanged and closes
    // the dialog with OK.
    void ButtonOkClick();
    // Checks the folder entry that was left.
    void EditDirExit(QLineEdit* sender);
    // Lets the user choose the folder of the 参照 button's entry.
    void ButtonDirClick(QPushButton* sender);
    void CheckBoxOddsDrnClick();
    void CheckBoxWarsClick();
    void CheckBoxRuvClick();
    void EditFontSizeChange();
    void EditFontSizeOddsChange();

private:
    // Every control carries its name as object name.
    QTabWidget* PageControl1;
    QWidget* TabFolder;
    QWidget* TabFile;
    QWidget* TabFont;
    QWidget* TabOther;

    QLineEdit* EditInDenm;
    QPushButton* ButtonInp;
    QLineEdit* EditOutTxt;
    QPushButton* ButtonOutTxt;
    QLineEdit* EditTime;
    QPushButton* ButtonTime;
    // The RX files' group, whose title is the check box that switches their use on.
    QGroupBox* CheckBoxOddsDrn;
    QLineEdit* EditOddsDrn;
    QPushButton* ButtonOddsDrn;

    QCheckBox* CheckBoxOutAtRead;
    QCheckBox* CheckBoxText;
    QCheckBox* CheckBoxHtml;
    QCheckBox* CheckBoxWars;
    TRadioGroup* RadioGroupWars;
    QCheckBox* CheckBoxRuv;
    TRadioGroup* RadioGroupRuv;

    QLineEdit* EditFontSize;
    TUpDown* UpDown1;
    QLabel* LabelFontSample;
    QLineEdit* EditFontSizeOdds;
    TUpDown* UpDown2;
    QLabel* LabelFontOddsSample;

    QCheckBox* CheckBoxRaceClose;

    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeFolderPage();
    QWidget* makeFilePage();
    QWidget* makeFontPage();
    QWidget* makeOtherPage();
    void fontSizeChange(QLineEdit* edit, const TUpDown& upDown, QLabel* sample,
                        const QString& sampleText, int& workingSize);

    TSettings& m_settings;
    // The working folders of the entries tagged 1 to 4 (InDenm, OutTxt, Time, DrnRx),
    // UTF-8 path text: always the last valid value of their entry.
    std::array<std::string, 4> m_folders;
    std::array<QLineEdit*, 4> m_folderEdits{};
    std::array<QPushButton*, 4> m_folderButtons{};
    std::array<QString, 4> m_folderCaptions;
    // beside each entry: a folder typed there did not exist and the last one came back
    std::array<QLabel*, 4> m_folderNotes{};
    int m_fontSize = 0;
    int m_fontSizeOdds = 0;
};
