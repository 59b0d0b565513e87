#include "widgets/Images.h"

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
