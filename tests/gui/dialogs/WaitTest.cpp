#include "gui/dialogs/Wait.h"

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
    QTest::mouseClick(form.ButtonCancel(), Qt::LeftButton);
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
    EXPECT_EQ(form.ButtonCancel()->text(), QStringLiteral("キャンセル"));
    const QList<QLabel*> labels = form.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("データ処理中"));
    EXPECT_EQ(labels[0]->font().pixelSize(), 15);
    EXPECT_EQ(form.Label2()->font().pixelSize(), 15);
    form.ProgressBar1()->setMaximum(36);
    form.ProgressBar1()->setValue(3);
    EXPECT_EQ(form.ProgressBar1()->value(), 3);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
}
