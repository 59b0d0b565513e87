#include "gui/widgets/MenuBar.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QStringList captions(const TMenuBar& bar) {
    QStringList out;
    for (const QToolButton* button : bar.Buttons())
        out << button->text();
    return out;
}

} // namespace

TEST(MenuBar, ShowsOneButtonPerTopLevelItem) {
    QMenu main;
    QMenu* file = main.addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(QStringLiteral("開く(&O)..."));
    main.addSeparator();
    QMenu* view = main.addMenu(QStringLiteral("表示(&V)"));
    QAction* help = main.addAction(QStringLiteral("ヘルプ(&H)"));
    TMenuBar bar;
    bar.SetMenu(&main);
    ASSERT_EQ(captions(bar),
              (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("表示(&V)"),
                           QStringLiteral("ヘルプ(&H)")}));
    EXPECT_EQ(bar.Buttons()[0]->menu(), file);
    EXPECT_EQ(bar.Buttons()[1]->menu(), view);
    EXPECT_EQ(bar.Buttons()[0]->popupMode(), QToolButton::InstantPopup);
    EXPECT_TRUE(bar.Buttons()[0]->autoRaise());
    EXPECT_EQ(bar.Buttons()[2]->menu(), nullptr);
    QSignalSpy triggered(help, &QAction::triggered);
    bar.Buttons()[2]->click();
    EXPECT_EQ(triggered.count(), 1);
}

TEST(MenuBar, RebuildsItsButtonsWhenItsMenuChanges) {
    QMenu first;
    first.addMenu(QStringLiteral("ファイル(&F)"));
    first.addMenu(QStringLiteral("表示(&V)"));
    QMenu second;
    second.addMenu(QStringLiteral("出力(&O)"));
    TMenuBar bar;
    bar.SetMenu(&first);
    QPointer<QToolButton> old = bar.Buttons()[0];

    bar.SetMenu(&second);
    EXPECT_EQ(captions(bar), QStringList{QStringLiteral("出力(&O)")});
    EXPECT_TRUE(old.isNull()); // the previous buttons are freed

    QToolButton* kept = bar.Buttons()[0];
    bar.SetMenu(&second); // the same menu again changes nothing
    EXPECT_EQ(bar.Buttons()[0], kept);

    // items added to or removed from the menu rebuild the bar once events run
    QAction* added = second.addAction(QStringLiteral("ヘルプ(&H)"));
    QCoreApplication::processEvents();
    EXPECT_EQ(captions(bar),
              (QStringList{QStringLiteral("出力(&O)"), QStringLiteral("ヘルプ(&H)")}));
    second.removeAction(added);
    QCoreApplication::processEvents();
    EXPECT_EQ(captions(bar), QStringList{QStringLiteral("出力(&O)")});

    // a changed item updates its button at once
    QAction* item = second.actions()[0];
    item->setText(QStringLiteral("書出(&W)"));
    item->setEnabled(false);
    EXPECT_EQ(bar.Buttons()[0]->text(), QStringLiteral("書出(&W)"));
    EXPECT_FALSE(bar.Buttons()[0]->isEnabled());
    item->setVisible(false);
    EXPECT_FALSE(bar.actions()[0]->isVisible());

    bar.SetMenu(nullptr);
    EXPECT_TRUE(bar.Buttons().isEmpty());
    EXPECT_TRUE(bar.actions().isEmpty());
}

TEST(MenuBar, EmptiesWhenItsMenuIsDestroyed) {
    TMenuBar bar;
    {
        QMenu menu;
        menu.addMenu(QStringLiteral("ファイル(&F)"));
        bar.SetMenu(&menu);
        ASSERT_EQ(bar.Buttons().size(), 1);
    }
    EXPECT_EQ(bar.Menu(), nullptr);
    EXPECT_TRUE(bar.Buttons().isEmpty());
}
