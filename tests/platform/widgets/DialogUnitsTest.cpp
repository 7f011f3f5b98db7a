#include "platform/widgets/DialogUnits.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>

QApplication& WidgetsTestApp();

TEST(DialogUnits, ConversionTruncatesAndMapsCorners)
{
    const DialogBaseUnits base{7, 15};
    struct Case {
        int du;
        int x, y;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, 1}, {4, 7, 7}, {8, 14, 15}, {200, 350, 375}, {140, 245, 262}, {-4, -7, -7}};
    for (const Case& c : cases) {
        EXPECT_EQ(DialogUnitsToPixelsX(c.du, base), c.x) << c.du;
        EXPECT_EQ(DialogUnitsToPixelsY(c.du, base), c.y) << c.du;
    }
    // 0..1 and 1..2 dialog units have different pixel widths: corners are mapped.
    EXPECT_EQ(MapDialogRect(QRect(0, 0, 1, 1), base), QRect(0, 0, 1, 1));
    EXPECT_EQ(MapDialogRect(QRect(1, 1, 1, 1), base), QRect(1, 1, 2, 2));
    EXPECT_EQ(MapDialogRect(QRect(2, 2, 1, 1), base), QRect(3, 3, 2, 2));
    EXPECT_EQ(MapDialogRect(QRect(7, 7, 21, 20), base), QRect(12, 13, 37, 37));
    EXPECT_EQ(MapDialogSize(QSize(260, 185), base), QSize(455, 346));
}

TEST(DialogUnits, BaseUnitsFollowTheFont)
{
    WidgetsTestApp();
    QFont small = QApplication::font();
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(30);
    const DialogBaseUnits a = BaseUnitsOf(small);
    const DialogBaseUnits b = BaseUnitsOf(large);
    EXPECT_EQ(a.y, QFontMetrics(small).height());
    EXPECT_EQ(b.y, QFontMetrics(large).height());
    const int letters =
        QFontMetrics(small).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(a.x, (letters / 26 + 1) / 2);
    // Average of the letters, not the widest glyph nor the font size.
    EXPECT_LT(a.x, QFontMetrics(small).maxWidth() + 1);
    EXPECT_GT(b.x, 2 * a.x);
    EXPECT_GT(b.y, 2 * a.y);
}
