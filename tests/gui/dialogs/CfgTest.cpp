#include "gui/dialogs/Cfg.h"

#include "session/Settings.h"
#include "support/gui/NamedChild.h"
#include "gui/support/QtBoundary.h"
#include "platform/WorkFolder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::string str(const QString& text) {
    return text.toStdString();
}

// Every value the dialog may touch, so that "nothing changed" is one comparison.
std::string dump(const TSettings& s) {
    std::string d;
    for (const std::string* folder :
         {&s.Folder.InDenm, &s.Folder.OutTxt, &s.Folder.Time, &s.Folder.DrnRx, &s.Folder.Jrdb})
        d += *folder + "|";
    for (int v : std::initializer_list<int>{
             s.File.OutAtRead, s.File.TextOut, s.File.HtmlOut, s.File.WarsOut, s.File.WarsFormat,
             s.File.RuvOut, s.File.RuvFormat, s.Font.Size, s.Font.SizeOdds, s.Other.RaceClose,
             s.Other.DrnRx, s.Other.Jrdb, s.FontChanged ? 1 : 0})
        d += std::to_string(v) + ",";
    return d;
}

class CfgTest : public ::testing::Test {
protected:
    CfgTest() {
        for (const char* name : {"in", "out", "time", "rx", "jrdb", "other", "馬券"})
            fs::create_directory(m_folder.path() / name);
        std::ofstream(m_folder.path() / "file.txt") << "x";
        m_settings.ProgramFolder = m_folder.folderText();
        m_settings.Folder = {folder("in"), folder("out"), folder("time"), folder("rx"),
                             folder("jrdb")};
        m_settings.File = {1, 0, 1, 1, 0, 1, 1};
        m_settings.Other = {1, 1, 1};
    }

    // A folder of the test with its final '/'.
    std::string folder(const std::string& name) const {
        return (m_folder.path() / name / "").string();
    }

    TWorkFolder m_folder;
    TSettings m_settings;
};

// What the entry shows.
std::string shown(const TFormCfg& form, const char* entry) {
    return str(child<QLineEdit>(form, entry)->text());
}

// The user types text into the entry and leaves it.
void typeAndLeave(const TFormCfg& form, const char* entry, const QString& text) {
    QLineEdit* edit = child<QLineEdit>(form, entry);
    edit->setText(text);
    emit edit->editingFinished();
}

void click(const TFormCfg& form, const char* button) {
    child<QAbstractButton>(form, button)->click();
}

} // namespace

TEST_F(CfgTest, ShowingFillsEveryControlFromTheSettings) {
    TFormCfg form(m_settings);
    form.show();
    EXPECT_EQ(str(form.windowTitle()), "環境設定");
    const QTabWidget* pages = child<QTabWidget>(form, "PageControl1");
    EXPECT_EQ(pages->currentWidget(), child<QWidget>(form, "TabFolder"));
    EXPECT_EQ(pages->count(), 4);
    const char* captions[] = {"フォルダ", "ファイル", "フォント", "その他"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(str(pages->tabText(i)), captions[i]);

    const std::pair<const char*, std::string> entries[] = {
        {"EditInDenm", folder("in")},  {"EditOutTxt", folder("out")}, {"EditTime", folder("time")},
        {"EditOddsDrn", folder("rx")}, {"EditFontSize", "11"},        {"EditFontSizeOdds", "9"},
    };
    for (const auto& [entry, text] : entries)
        EXPECT_EQ(shown(form, entry), text) << entry;
    EXPECT_TRUE(child<QGroupBox>(form, "CheckBoxOddsDrn")->isChecked());
    EXPECT_TRUE(child<QLineEdit>(form, "EditOddsDrn")->isEnabled());

    const std::pair<const char*, bool> boxes[] = {
        {"CheckBoxOutAtRead", true}, {"CheckBoxText", false}, {"CheckBoxHtml", true},
        {"CheckBoxWars", true},      {"CheckBoxRuv", true},   {"CheckBoxRaceClose", true},
    };
    for (const auto& [box, checked] : boxes)
        EXPECT_EQ(child<QCheckBox>(form, box)->isChecked(), checked) << box;
    const TRadioGroup* wars = child<TRadioGroup>(form, "RadioGroupWars");
    EXPECT_EQ(wars->ItemIndex(), 0);
    EXPECT_TRUE(wars->isEnabled());
    const TRadioGroup* ruv = child<TRadioGroup>(form, "RadioGroupRuv");
    EXPECT_EQ(ruv->ItemIndex(), 1);
    EXPECT_EQ(str(ruv->Button(1)->text()), "新OVERS形式");

    EXPECT_EQ(child<TUpDown>(form, "UpDown1")->Position(), 11);
    const QLabel* sample = child<QLabel>(form, "LabelFontSample");
    EXPECT_EQ(str(sample->text()), "ＭＳ ゴシック 11pt");
    EXPECT_EQ(sample->font().pointSize(), 11);
    EXPECT_EQ(str(sample->font().family()), "IPAGothic");
    const QLabel* oddsSample = child<QLabel>(form, "LabelFontOddsSample");
    EXPECT_EQ(str(oddsSample->text()), "99.9-999.9 9pt");
    EXPECT_EQ(oddsSample->font().pointSize(), 9);
    EXPECT_TRUE(child<QLineEdit>(form, "EditFontSize")->isReadOnly());
}

TEST_F(CfgTest, ALeftFolderEntryKeepsOnlyExistingFoldersAndSaysWhenItRestored) {
    struct Case {
        std::string typed;
        std::string shown; // also what OK stores
        bool noted;        // the note beside the entry says the folder came back
    };
    const Case cases[] = {
        {folder("nowhere"), folder("in"), true},
        {"", folder("in"), true},                                       // cleared: restored
        {(m_folder.path() / "file.txt").string(), folder("in"), true},  // a file is no folder
        {(m_folder.path() / "other").string(), folder("other"), false}, // the separator added
        {folder("other"), folder("other"), false},
        {(m_folder.path() / "馬券").string(), folder("馬券"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TSettings settings = m_settings;
        TFormCfg form(settings);
        form.show();
        typeAndLeave(form, "EditInDenm", q(c.typed));
        EXPECT_EQ(shown(form, "EditInDenm"), c.shown);
        EXPECT_EQ(child<QLabel>(form, "EditInDenmNote")->text(),
                  c.noted ? u("フォルダがないため元に戻しました") : QString());
        EXPECT_TRUE(form.isVisible()); // nothing stops the user
        click(form, "ButtonOk");
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(settings.Folder.InDenm, c.shown);
    }
}

TEST_F(CfgTest, EachFolderEntryHasItsOwnWorkingFolder) {
    TFormCfg form(m_settings);
    form.show();
    typeAndLeave(form, "EditTime", q((m_folder.path() / "other").string()));
    // a bad name in another entry brings back that entry's folder, not the last one taken
    typeAndLeave(form, "EditOddsDrn", "/no/such/folder");
    EXPECT_EQ(shown(form, "EditOddsDrn"), folder("rx"));
    click(form, "ButtonOk");
    EXPECT_EQ(m_settings.Folder.InDenm, folder("in"));
    EXPECT_EQ(m_settings.Folder.OutTxt, folder("out"));
    EXPECT_EQ(m_settings.Folder.Time, folder("other"));
    EXPECT_EQ(m_settings.Folder.DrnRx, folder("rx"));
}

TEST_F(CfgTest, TheFolderChooserStartsAtTheEntrysFolder) {
    TFormCfg form(m_settings);
    QString startedAt;
    QString caption;
    QString answer = q((m_folder.path() / "other").string());
    form.ChooseFolder = [&](QWidget*, const QString& title, const QString& start) {
        caption = title;
        startedAt = start;
        return answer;
    };
    form.show();
    click(form, "ButtonOutTxt");
    EXPECT_EQ(str(startedAt), folder("out"));
    EXPECT_EQ(str(caption), "出力ファイルのフォルダ");
    EXPECT_EQ(shown(form, "EditOutTxt"), folder("other"));

    // cancelling the chooser changes nothing
    answer.clear();
    click(form, "ButtonOddsDrn");
    EXPECT_EQ(str(startedAt), folder("rx"));
    EXPECT_EQ(shown(form, "EditOddsDrn"), folder("rx"));

    click(form, "ButtonOk");
    EXPECT_EQ(m_settings.Folder.OutTxt, folder("other"));
    EXPECT_EQ(m_settings.Folder.DrnRx, folder("rx"));
}

TEST_F(CfgTest, UncheckedBoxesGreyOutTheirPartnersWhichKeepTheirChoice) {
    TFormCfg form(m_settings);
    form.show();
    const TRadioGroup* wars = child<TRadioGroup>(form, "RadioGroupWars");
    const TRadioGroup* ruv = child<TRadioGroup>(form, "RadioGroupRuv");
    click(form, "CheckBoxWars");
    EXPECT_FALSE(wars->isEnabled());
    EXPECT_EQ(wars->ItemIndex(), 0);
    ruv->Button(0)->click();
    click(form, "CheckBoxRuv");
    EXPECT_FALSE(ruv->isEnabled());
    child<QGroupBox>(form, "CheckBoxOddsDrn")->setChecked(false);
    EXPECT_FALSE(child<QLineEdit>(form, "EditOddsDrn")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(form, "ButtonOddsDrn")->isEnabled());

    click(form, "ButtonOk");
    EXPECT_EQ(m_settings.File.WarsOut, 0);
    EXPECT_EQ(m_settings.File.WarsFormat, 0);
    EXPECT_EQ(m_settings.File.RuvOut, 0);
    EXPECT_EQ(m_settings.File.RuvFormat, 0);
    EXPECT_EQ(m_settings.Other.DrnRx, 0);
    EXPECT_EQ(m_settings.Folder.DrnRx, folder("rx"));

    form.show();
    EXPECT_FALSE(wars->isEnabled());
    click(form, "CheckBoxWars");
    EXPECT_TRUE(wars->isEnabled());
    EXPECT_TRUE(wars->Button(0)->isChecked());
}

TEST_F(CfgTest, FontSizesStayWithinSevenToTwenty) {
    struct Case {
        const char* text;
        const char* corrected;
    };
    const Case cases[] = {
        {"21", "20"},         {"5", "7"},   {"abc", "7"}, {"", "7"},    {"-3", "7"},
        {"99999999999", "7"}, {"20", "20"}, {"7", "7"},   {"12", "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TSettings settings = m_settings;
        TFormCfg form(settings);
        form.show();
        child<QLineEdit>(form, "EditFontSize")->setText(c.text);
        child<QLineEdit>(form, "EditFontSizeOdds")->setText(c.text);
        EXPECT_EQ(shown(form, "EditFontSize"), c.corrected);
        EXPECT_EQ(shown(form, "EditFontSizeOdds"), c.corrected);
        const QLabel* sample = child<QLabel>(form, "LabelFontSample");
        EXPECT_EQ(str(sample->text()), std::string("ＭＳ ゴシック ") + c.corrected + "pt");
        EXPECT_EQ(str(child<QLabel>(form, "LabelFontOddsSample")->text()),
                  std::string("99.9-999.9 ") + c.corrected + "pt");
        EXPECT_EQ(sample->font().pointSize(), std::stoi(c.corrected));
        click(form, "ButtonOk");
        EXPECT_EQ(settings.Font.Size, std::stoi(c.corrected));
        EXPECT_EQ(settings.Font.SizeOdds, std::stoi(c.corrected));
    }
}

TEST_F(CfgTest, TheArrowsStepTheSizeWithinItsRange) {
    TFormCfg form(m_settings);
    form.show();
    const TUpDown* upDown1 = child<TUpDown>(form, "UpDown1");
    const QLabel* sample = child<QLabel>(form, "LabelFontSample");
    upDown1->ButtonDown->click();
    EXPECT_EQ(shown(form, "EditFontSize"), "10");
    EXPECT_EQ(str(sample->text()), "ＭＳ ゴシック 10pt");
    EXPECT_EQ(sample->font().pointSize(), 10);
    for (int i = 0; i < 3; ++i)
        child<TUpDown>(form, "UpDown2")->ButtonDown->click();
    EXPECT_EQ(shown(form, "EditFontSizeOdds"), "7");
    child<QLineEdit>(form, "EditFontSize")->setText("20");
    upDown1->ButtonUp->click();
    EXPECT_EQ(shown(form, "EditFontSize"), "20");
    EXPECT_EQ(upDown1->Position(), 20);
}

TEST_F(CfgTest, TheFontFlagTellsWhetherASizeChanged) {
    struct Case {
        const char* name;
        const char* size;
        const char* sizeOdds;
        bool changed;
    };
    const Case cases[] = {
        {"odds size only", "11", "10", true},
        {"size only", "12", "9", true},
        {"both", "8", "8", true},
        {"neither", "11", "9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSettings settings = m_settings;
        settings.FontChanged = !c.changed; // a flag left from an earlier showing
        TFormCfg form(settings);
        form.show();
        child<QLineEdit>(form, "EditFontSize")->setText(c.size);
        child<QLineEdit>(form, "EditFontSizeOdds")->setText(c.sizeOdds);
        click(form, "ButtonOk");
        EXPECT_EQ(settings.FontChanged, c.changed);
        EXPECT_EQ(settings.Font.Size, std::stoi(c.size));
        EXPECT_EQ(settings.Font.SizeOdds, std::stoi(c.sizeOdds));
    }
}

TEST_F(CfgTest, AStoredSizeOutsideTheRangeIsCorrectedAtOk) {
    m_settings.Font.Size = 30;
    m_settings.Font.SizeOdds = 3;
    TFormCfg form(m_settings);
    form.show();
    EXPECT_EQ(shown(form, "EditFontSize"), "20");
    EXPECT_EQ(shown(form, "EditFontSizeOdds"), "7");
    click(form, "ButtonOk");
    EXPECT_EQ(m_settings.Font.Size, 20);
    EXPECT_EQ(m_settings.Font.SizeOdds, 7);
    EXPECT_TRUE(m_settings.FontChanged);
}

TEST_F(CfgTest, CancelChangesNothingAndTheNextShowingStartsAfresh) {
    const std::string before = dump(m_settings);
    TFormCfg form(m_settings);
    form.ChooseFolder = [&](QWidget*, const QString&, const QString&) {
        return q(folder("other"));
    };
    form.show();
    typeAndLeave(form, "EditInDenm", q(folder("other")));
    click(form, "ButtonTime");
    child<QGroupBox>(form, "CheckBoxOddsDrn")->setChecked(false);
    for (const char* box : {"CheckBoxOutAtRead", "CheckBoxText", "CheckBoxHtml", "CheckBoxWars",
                            "CheckBoxRuv", "CheckBoxRaceClose"})
        click(form, box);
    child<TRadioGroup>(form, "RadioGroupWars")->Button(1)->click();
    child<TUpDown>(form, "UpDown1")->ButtonUp->click();
    child<TUpDown>(form, "UpDown2")->ButtonUp->click();
    click(form, "ButtonCancel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(dump(m_settings), before);

    form.show();
    EXPECT_EQ(shown(form, "EditInDenm"), folder("in"));
    EXPECT_EQ(shown(form, "EditTime"), folder("time"));
    EXPECT_EQ(shown(form, "EditFontSize"), "11");
    EXPECT_EQ(str(child<QLabel>(form, "LabelFontSample")->text()), "ＭＳ ゴシック 11pt");
    EXPECT_EQ(child<TRadioGroup>(form, "RadioGroupWars")->ItemIndex(), 0);
    EXPECT_TRUE(child<QCheckBox>(form, "CheckBoxRaceClose")->isChecked());
    click(form, "ButtonOk");
    EXPECT_EQ(dump(m_settings), before);
}
