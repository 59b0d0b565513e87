#include "gui/support/Images.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(Images, TheIconAndTheLogoAreCompiledIn) {
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(256, 256)}));
    const QImage big = icon.pixmap(QSize(256, 256)).toImage();
    EXPECT_EQ(big.size(), QSize(256, 256));
    EXPECT_EQ(big.pixelColor(0, 0).alpha(), 0);                   // transparent corner
    EXPECT_EQ(big.pixelColor(128, 30), QColor(0x2e, 0x7d, 0x32)); // the turf
    const QPixmap logo = LogoImage();
    EXPECT_EQ(logo.size(), QSize(640, 200));
}

TEST(Images, TheImageListsHoldDistinctPicturesAtEverySize) {
    const struct {
        const char* list;
        QList<QIcon> icons;
        qsizetype count;
    } lists[] = {
        {"commands", CommandImages(), commandImage::kCount},
        {"nodes", NodeImages(), nodeImage::kCount},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.list);
        ASSERT_EQ(list.icons.size(), list.count);
        QList<QImage> seen;
        for (const QIcon& icon : list.icons) {
            EXPECT_EQ(icon.availableSizes(),
                      (QList<QSize>{QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)}));
            const QImage small = icon.pixmap(QSize(16, 16)).toImage();
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    opaque += small.pixelColor(x, y).alpha() == 255;
            EXPECT_GT(opaque, 40); // a picture, not a speck
            EXPECT_FALSE(seen.contains(small));
            seen.append(small);
        }
    }
    // spot checks of what each picture shows
    const QList<QIcon> commands = CommandImages();
    EXPECT_EQ(commands[commandImage::kAbout].pixmap(QSize(16, 16)).toImage().pixelColor(8, 10),
              QColor(Qt::white)); // the stem of the "i"
    EXPECT_EQ(
        commands[commandImage::kSettings].pixmap(QSize(16, 16)).toImage().pixelColor(0, 0).alpha(),
        0);
}
