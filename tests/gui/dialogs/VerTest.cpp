#include "gui/dialogs/Ver.h"

#include "support/gui/NamedChild.h"
#include "gui/support/AppHint.h"
#include "gui/widgets/URLLabel.h"

#include <QAction>
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
    EXPECT_EQ(child<QLabel>(form, "Label1")->text(), QStringLiteral("RUV PELTON"));
    EXPECT_EQ(child<QLabel>(form, "Label2")->text(), QStringLiteral("Version 2.5.1"));
    EXPECT_EQ(child<QLabel>(form, "Label3")->text(),
              QStringLiteral("Copyright (C) 2001 馬券研究会"));
    EXPECT_EQ(form.VerInf().Value(TVerInf::kProductVersion), "2.5.1b");
    const QPixmap icon = child<QLabel>(form, "Image1")->pixmap();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.deviceIndependentSize().toSize(), QSize(32, 32));
}

TEST(FormVer, AFileWithoutARecordKeepsTheDesignedTexts) {
    TFormVer form(std::filesystem::path(PELTON_TEST_DATA) / "small_day_lh5.lzh");
    EXPECT_FALSE(form.VerInf().Valid());
    EXPECT_EQ(form.VerInf().Value(TVerInf::kProductVersion), "");
    EXPECT_EQ(child<QLabel>(form, "Label1")->text(), QStringLiteral("RUV PELTON"));
    EXPECT_EQ(child<QLabel>(form, "Label2")->text(), QStringLiteral("Version"));
    EXPECT_EQ(child<QLabel>(form, "Label3")->text(), QStringLiteral("Copyright"));
}

TEST(FormVer, TheTwoLinksAreExecutableBlueAndUnderlined) {
    TFormVer form(testProgram());
    const struct {
        const char* name;
        const char* text;
        int tag;
        QString hint;
    } links[] = {
        {"URLLabel1", "https://ruvpelton.example.org/", 1,
         QStringLiteral("作者のホームページです")},
        {"URLLabel2", "support@ruvpelton.example.org", 2,
         QStringLiteral("作者のメールアドレスです")},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(link.name);
        const TURLLabel* label = child<TURLLabel>(form, link.name);
        EXPECT_EQ(label->text(), QString::fromLatin1(link.text));
        EXPECT_EQ(label->property("Tag").toInt(), link.tag);
        EXPECT_EQ(label->toolTip(), link.hint);
        EXPECT_EQ(label->statusTip(), link.hint);
        EXPECT_TRUE(label->Executable());
        EXPECT_TRUE(label->font().underline());
        EXPECT_EQ(label->FontColor(), QColor(Qt::blue));
        EXPECT_EQ(label->HotColor(), QColor(Qt::red));
        EXPECT_EQ(label->PushedColor(), QColor(0xFF, 0x00, 0xFF));
    }
    EXPECT_EQ(child<QLabel>(form, "LabelHomePage")->text(), QStringLiteral("サポートHP"));
    EXPECT_EQ(child<QLabel>(form, "LabelMail")->text(), QStringLiteral("E-mail"));
    EXPECT_EQ(child<QAction>(form, "MCopy")->text(), QStringLiteral("コピー"));
}

TEST(FormVer, ARightClickCopiesTheClickedAddress) {
    TFormVer form(testProgram());
    form.show();
    QMenu* popup = child<QMenu>(form, "PopupMenu1");
    for (const char* name : {"URLLabel2", "URLLabel1"}) {
        SCOPED_TRACE(name);
        TURLLabel* link = child<TURLLabel>(form, name);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(link, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_TRUE(popup->isVisible());
        child<QAction>(form, "MCopy")->trigger();
        popup->hide();
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
        TURLLabel* link = child<TURLLabel>(form, "URLLabel1");
        sendHint(link, link->statusTip()); // a hint inside the box
        EXPECT_TRUE(shown.isEmpty());
        EXPECT_EQ(TAppHint::Hint(), QStringLiteral("作者のホームページです"));
        QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton);
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
