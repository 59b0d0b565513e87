#include "gui/dialogs/Wait.h"

#include "support/gui/NamedChild.h"
#include "platform/Cancel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(FormWait, CancelSetsTheFlagAndShowingClearsIt) {
    TFormWait form;
    CancelRequested() = true;
    form.show();
    EXPECT_FALSE(CancelRequested());
    QTest::mouseClick(child<QPushButton>(form, "ButtonCancel"), Qt::LeftButton);
    EXPECT_TRUE(CancelRequested());
    EXPECT_TRUE(form.isVisible()); // the command hides it when the walk has stopped
    form.hide();
    form.show();
    EXPECT_FALSE(CancelRequested());
    // Escape and closing ask to cancel too, and leave the dialog to the command
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(CancelRequested());
    EXPECT_TRUE(form.isVisible());
    CancelRequested() = false;
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(CancelRequested());
    form.hide();
}

TEST(FormWait, HasItsCaptionLabelsAndBar) {
    TFormWait form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral(" "));
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(child<QPushButton>(form, "ButtonCancel")->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(form.findChildren<QLabel*>().size(), 2);
    const QLabel* caption = child<QLabel>(form, "Label1");
    EXPECT_EQ(caption->text(), QStringLiteral("データ処理中"));
    EXPECT_EQ(caption->font().pixelSize(), 15);
    const QLabel* count = child<QLabel>(form, "Label2");
    EXPECT_EQ(count->font().pixelSize(), 15);
    const QProgressBar* bar = child<QProgressBar>(form, "ProgressBar1");
    form.SetTotal(36);
    form.SetProgress(3, QStringLiteral("処理数  3/36"));
    EXPECT_EQ(bar->maximum(), 36);
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(count->text(), QStringLiteral("処理数  3/36"));
    form.SetTotal(12);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(count->text(), QString());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
}
