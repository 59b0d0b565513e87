#include "gui/dialogs/Ver.h"

#include "gui/widgets/AppHint.h"
#include "gui/widgets/URLLabel.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// This test program carries a version record of its own (see CMakeLists.txt).
std::filesystem::path testProgram() {
    return QCoreApplication::applicationFilePath().toStdString();
}

void sendHint(QWidget* w, const QString& hint) {
    QStatusTipEvent event(hint);
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST(FormVer, ShowsTheVersionRecordOfTheProgramFile) {
    TFormVer form(testProgram());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinMaxButtonsHint);
    ASSERT_TRUE(form.VerInf().Valid());
    EXPECT_EQ(form.Label1->text(), QStringLiteral("RUV PELTON"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Version 2.5.1"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Copyright (C) 2001 馬券研究会"));
    EXPECT_EQ(form.VerInf().Value(TVerInf::kProductVersion), "2.5.1b");
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Image1->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
}

TEST(FormVer, AFileWithoutARecordKeepsTheDesignedTexts) {
    TFormVer form(std::filesystem::path(PELTON_TEST_DATA) / "small_day_lh5.lzh");
    EXPECT_FALSE(form.VerInf().Valid());
    EXPECT_EQ(form.VerInf().Value(TVerInf::kProductVersion), "");
    EXPECT_EQ(form.Label1->text(), QStringLiteral("RUV PELTON"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Version"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Copyright"));
}

TEST(FormVer, TheTwoLinksAreExecutableBlueAndUnderlined) {
    TFormVer form(testProgram());
    const struct {
        TURLLabel* label;
        const char* text;
        int tag;
        QString hint;
    } links[] = {
        {form.URLLabel1, "https://ruvpelton.example.org/", 1,
         QStringLiteral("作者のホームページです")},
        {form.URLLabel2, "support@ruvpelton.example.org", 2,
         QStringLiteral("作者のメールアドレスです")},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(link.text);
        EXPECT_EQ(link.label->text(), QString::fromLatin1(link.text));
        EXPECT_EQ(link.label->property("Tag").toInt(), link.tag);
        EXPECT_EQ(link.label->toolTip(), link.hint);
        EXPECT_EQ(link.label->statusTip(), link.hint);
        EXPECT_TRUE(link.label->Executable());
        EXPECT_TRUE(link.label->font().underline());
        EXPECT_EQ(link.label->FontColor(), QColor(Qt::blue));
        EXPECT_EQ(link.label->HotColor(), QColor(Qt::red));
        EXPECT_EQ(link.label->PushedColor(), QColor(0xFF, 0x00, 0xFF));
    }
    EXPECT_EQ(form.LabelHomePage->text(), QStringLiteral("サポートHP"));
    EXPECT_EQ(form.LabelMail->text(), QStringLiteral("E-mail"));
    EXPECT_EQ(form.MCopy->text(), QStringLiteral("コピー"));
}

TEST(FormVer, ARightClickCopiesTheClickedAddress) {
    TFormVer form(testProgram());
    form.show();
    for (TURLLabel* link : {form.URLLabel2, form.URLLabel1}) {
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(link, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_TRUE(form.PopupMenu1->isVisible());
        form.MCopy->trigger();
        form.PopupMenu1->hide();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), link->text());
    }
    form.Button1Click();
}

TEST(FormVer, TheHintHandlerIsAwayWhileTheBoxShows) {
    QStringList shown;
    TAppHint::SetOnHint([&shown](const QString& hint) { shown.append(hint); });
    QWidget main;
    {
        TFormVer form(testProgram());
        form.show();
        sendHint(form.URLLabel1, form.URLLabel1->statusTip()); // a hint inside the box
        EXPECT_TRUE(shown.isEmpty());
        EXPECT_EQ(TAppHint::Hint(), QStringLiteral("作者のホームページです"));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        EXPECT_FALSE(form.isVisible());
        sendHint(&main, QStringLiteral("開く"));
        EXPECT_EQ(shown, QStringList{QStringLiteral("開く")});

        // closed with Escape instead of OK: the handler comes back all the same
        form.show();
        sendHint(&main, QStringLiteral("閉じる"));
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
        sendHint(&main, QStringLiteral("終了"));
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("開く"), QStringLiteral("終了")}));
    TAppHint::SetOnHint({});
}
