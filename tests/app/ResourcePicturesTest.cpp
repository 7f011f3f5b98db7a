#include "app/ResourcePictures.h"
#include "tests/app/AppKitTest.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

bool HasInk(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

}  // namespace

TEST(ResourcePictures, SizesHotSpotAndEveryButtonDrawn)
{
    AppKitTestApp();
    const QPixmap strip = ToolbarBitmap();
    EXPECT_EQ(strip.size(), QSize(16 * 7, 15));
    QImage seen[7];
    for (int i = 0; i < 7; ++i) {
        const QPixmap button = ToolbarButtonPixmap(static_cast<ToolbarImage>(i));
        ASSERT_EQ(button.size(), QSize(16, 15)) << i;
        seen[i] = button.toImage();
        EXPECT_TRUE(HasInk(seen[i])) << "button " << i << " is empty";
        for (int j = 0; j < i; ++j)
            EXPECT_NE(seen[i], seen[j]) << "buttons " << i << " and " << j << " look alike";
    }
    EXPECT_EQ(AdvertisementBanner().size(), QSize(220, 27));
    EXPECT_EQ(LoadBitmapResource(133).size(), QSize(220, 27));
    EXPECT_EQ(LoadBitmapResource(0x10000 | 133).size(), QSize(220, 27)) << "only the low 16 bits count";
    EXPECT_TRUE(LoadBitmapResource(134).isNull());
    const QCursor hand = HandCursor();
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(hand.hotSpot(), QPoint(7, 0));
    EXPECT_TRUE(HasInk(hand.pixmap().toImage().copy(6, 0, 3, 3))) << "the finger tip is at the hot spot";
    EXPECT_FALSE(ProgramIcon().isNull());
    EXPECT_TRUE(ProgramIcon().availableSizes().contains(QSize(32, 32)));
}
