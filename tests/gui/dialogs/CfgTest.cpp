#include "gui/dialogs/Cfg.h"

#include "app/Settings.h"
#include "platform/WorkFolder.h"

#include <QCheckBox>
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

} // namespace

TEST_F(CfgTest, ShowingFillsEveryControlFromTheSettings) {
    TFormCfg form(m_settings);
    form.show();
    EXPECT_EQ(str(form.windowTitle()), "環境設定");
    EXPECT_EQ(form.PageControl1->currentWidget(), form.TabFolder);
    EXPECT_EQ(form.PageControl1->count(), 4);
    const char* pages[] = {"フォルダ", "ファイル", "フォント", "その他"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(str(form.PageControl1->tabText(i)), pages[i]);

    EXPECT_EQ(str(form.EditInDenm->text()), folder("in"));
    EXPECT_EQ(str(form.EditOutTxt->text()), folder("out"));
    EXPECT_EQ(str(form.EditTime->text()), folder("time"));
    EXPECT_EQ(str(form.EditOddsDrn->text()), folder("rx"));
    EXPECT_TRUE(form.CheckBoxOddsDrn->isChecked());
    EXPECT_TRUE(form.EditOddsDrn->isEnabled());

    EXPECT_TRUE(form.CheckBoxOutAtRead->isChecked());
    EXPECT_FALSE(form.CheckBoxText->isChecked());
    EXPECT_TRUE(form.CheckBoxHtml->isChecked());
    EXPECT_TRUE(form.CheckBoxWars->isChecked());
    EXPECT_EQ(form.RadioGroupWars->ItemIndex(), 0);
    EXPECT_TRUE(form.RadioGroupWars->isEnabled());
    EXPECT_TRUE(form.CheckBoxRuv->isChecked());
    EXPECT_EQ(form.RadioGroupRuv->ItemIndex(), 1);
    EXPECT_EQ(str(form.RadioGroupRuv->Button(1)->text()), "新OVERS形式");

    EXPECT_EQ(str(form.EditFontSize->text()), "11");
    EXPECT_EQ(form.UpDown1->Position(), 11);
    EXPECT_EQ(str(form.LabelFontSample->text()), "ＭＳ ゴシック 11pt");
    EXPECT_EQ(form.LabelFontSample->font().pointSize(), 11);
    EXPECT_EQ(str(form.LabelFontSample->font().family()), "IPAGothic");
    EXPECT_EQ(str(form.EditFontSizeOdds->text()), "9");
    EXPECT_EQ(str(form.LabelFontOddsSample->text()), "99.9-999.9 9pt");
    EXPECT_EQ(form.LabelFontOddsSample->font().pointSize(), 9);
    EXPECT_TRUE(form.EditFontSize->isReadOnly());

    EXPECT_TRUE(form.CheckBoxRaceClose->isChecked());
}

TEST_F(CfgTest, ALeftFolderEntryKeepsOnlyExistingFolders) {
    struct Case {
        std::string typed;
        std::string shown; // also what OK stores
    };
    const Case cases[] = {
        {folder("nowhere"), folder("in")},                       // restored silently
        {"", folder("in")},                                      // cleared: restored
        {(m_folder.path() / "file.txt").string(), folder("in")}, // a file is no folder
        {(m_folder.path() / "other").string(), folder("other")}, // the separator added
        {folder("other"), folder("other")},
        {(m_folder.path() / "馬券").string(), folder("馬券")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TSettings settings = m_settings;
        TFormCfg form(settings);
        form.show();
        form.EditInDenm->setText(q(c.typed));
        emit form.EditInDenm->editingFinished();
        EXPECT_EQ(str(form.EditInDenm->text()), c.shown);
        form.ButtonOk->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(settings.Folder.InDenm, c.shown);
    }
}

TEST_F(CfgTest, EachFolderEntryHasItsOwnWorkingFolder) {
    TFormCfg form(m_settings);
    form.show();
    form.EditTime->setText(q((m_folder.path() / "other").string()));
    form.EditDirExit(form.EditTime);
    // a bad name in another entry brings back that entry's folder, not the last one taken
    form.EditOddsDrn->setText("/no/such/folder");
    form.EditDirExit(form.EditOddsDrn);
    EXPECT_EQ(str(form.EditOddsDrn->text()), folder("rx"));
    form.ButtonOk->click();
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
    form.ButtonOutTxt->click();
    EXPECT_EQ(str(startedAt), folder("out"));
    EXPECT_EQ(str(caption), "出力ファイルのフォルダ");
    EXPECT_EQ(str(form.EditOutTxt->text()), folder("other"));

    // cancelling the chooser changes nothing
    answer.clear();
    form.ButtonOddsDrn->click();
    EXPECT_EQ(str(startedAt), folder("rx"));
    EXPECT_EQ(str(form.EditOddsDrn->text()), folder("rx"));

    form.ButtonOk->click();
    EXPECT_EQ(m_settings.Folder.OutTxt, folder("other"));
    EXPECT_EQ(m_settings.Folder.DrnRx, folder("rx"));
}

TEST_F(CfgTest, UncheckedBoxesGreyOutTheirPartnersWhichKeepTheirChoice) {
    TFormCfg form(m_settings);
    form.show();
    form.CheckBoxWars->click();
    EXPECT_FALSE(form.RadioGroupWars->isEnabled());
    EXPECT_EQ(form.RadioGroupWars->ItemIndex(), 0);
    form.RadioGroupRuv->Button(0)->click();
    form.CheckBoxRuv->click();
    EXPECT_FALSE(form.RadioGroupRuv->isEnabled());
    form.CheckBoxOddsDrn->setChecked(false);
    EXPECT_FALSE(form.EditOddsDrn->isEnabled());
    EXPECT_FALSE(form.ButtonOddsDrn->isEnabled());

    form.ButtonOk->click();
    EXPECT_EQ(m_settings.File.WarsOut, 0);
    EXPECT_EQ(m_settings.File.WarsFormat, 0);
    EXPECT_EQ(m_settings.File.RuvOut, 0);
    EXPECT_EQ(m_settings.File.RuvFormat, 0);
    EXPECT_EQ(m_settings.Other.DrnRx, 0);
    EXPECT_EQ(m_settings.Folder.DrnRx, folder("rx"));

    form.show();
    EXPECT_FALSE(form.RadioGroupWars->isEnabled());
    form.CheckBoxWars->click();
    EXPECT_TRUE(form.RadioGroupWars->isEnabled());
    EXPECT_TRUE(form.RadioGroupWars->Button(0)->isChecked());
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
        form.EditFontSize->setText(c.text);
        form.EditFontSizeOdds->setText(c.text);
        EXPECT_EQ(str(form.EditFontSize->text()), c.corrected);
        EXPECT_EQ(str(form.EditFontSizeOdds->text()), c.corrected);
        EXPECT_EQ(str(form.LabelFontSample->text()),
                  std::string("ＭＳ ゴシック ") + c.corrected + "pt");
        EXPECT_EQ(str(form.LabelFontOddsSample->text()),
                  std::string("99.9-999.9 ") + c.corrected + "pt");
        EXPECT_EQ(form.LabelFontSample->font().pointSize(), std::stoi(c.corrected));
        form.ButtonOk->click();
        EXPECT_EQ(settings.Font.Size, std::stoi(c.corrected));
        EXPECT_EQ(settings.Font.SizeOdds, std::stoi(c.corrected));
    }
}

TEST_F(CfgTest, TheArrowsStepTheSizeWithinItsRange) {
    TFormCfg form(m_settings);
    form.show();
    form.UpDown1->ButtonDown->click();
    EXPECT_EQ(str(form.EditFontSize->text()), "10");
    EXPECT_EQ(str(form.LabelFontSample->text()), "ＭＳ ゴシック 10pt");
    EXPECT_EQ(form.LabelFontSample->font().pointSize(), 10);
    for (int i = 0; i < 3; ++i)
        form.UpDown2->ButtonDown->click();
    EXPECT_EQ(str(form.EditFontSizeOdds->text()), "7");
    form.EditFontSize->setText("20");
    form.UpDown1->ButtonUp->click();
    EXPECT_EQ(str(form.EditFontSize->text()), "20");
    EXPECT_EQ(form.UpDown1->Position(), 20);
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
        form.EditFontSize->setText(c.size);
        form.EditFontSizeOdds->setText(c.sizeOdds);
        form.ButtonOk->click();
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
    EXPECT_EQ(str(form.EditFontSize->text()), "20");
    EXPECT_EQ(str(form.EditFontSizeOdds->text()), "7");
    form.ButtonOk->click();
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
    form.EditInDenm->setText(q(folder("other")));
    form.EditDirExit(form.EditInDenm);
    form.ButtonTime->click();
    form.CheckBoxOddsDrn->setChecked(false);
    for (QCheckBox* box : {form.CheckBoxOutAtRead, form.CheckBoxText, form.CheckBoxHtml,
                           form.CheckBoxWars, form.CheckBoxRuv, form.CheckBoxRaceClose})
        box->click();
    form.RadioGroupWars->Button(1)->click();
    form.UpDown1->ButtonUp->click();
    form.UpDown2->ButtonUp->click();
    form.ButtonCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(dump(m_settings), before);

    form.show();
    EXPECT_EQ(str(form.EditInDenm->text()), folder("in"));
    EXPECT_EQ(str(form.EditTime->text()), folder("time"));
    EXPECT_EQ(str(form.EditFontSize->text()), "11");
    EXPECT_EQ(str(form.LabelFontSample->text()), "ＭＳ ゴシック 11pt");
    EXPECT_EQ(form.RadioGroupWars->ItemIndex(), 0);
    EXPECT_TRUE(form.CheckBoxRaceClose->isChecked());
    form.ButtonOk->click();
    EXPECT_EQ(dump(m_settings), before);
}
