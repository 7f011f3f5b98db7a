#include "app/AdvertisementBar.h"
#include "app/BitmapLink.h"
#include "app/BitmapLinkGeometry.h"
#include "tests/app/AppKitTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>

#include <filesystem>
#include <vector>

TEST(BitmapLinkGeometry, AnchorGrowthAndRectangles)
{
    struct Case {
        const char* name;
        LinkGeometryInput in;
        LinkGeometry out;
    };
    LinkGeometryInput noAnchor;
    noAnchor.bitmapWidth = 220;
    noAnchor.bitmapHeight = 27;
    noAnchor.captionHeight = 13;
    noAnchor.parentWidth = 400;
    noAnchor.parentHeight = 300;
    LinkGeometryInput captioned = noAnchor;
    captioned.captionEmpty = false;
    captioned.captionWidth = 301;  // wider than the picture, odd
    LinkGeometryInput roomy = noAnchor;
    roomy.hasAnchor = true;
    roomy.anchor = {10, 20, 311, 70};  // 301 x 50: no growth
    roomy.gap = 12;
    LinkGeometryInput narrow = roomy;
    narrow.anchor = {10, 20, 110, 30};  // 100 x 10
    const Case cases[] = {
        // Tiny parent 7 x 7 with the anchor (3,3)-(4,4) grows by 219 x 26.
        {"no anchor, no caption", noAnchor, {219, 26, 226, 33, true, {3, 4, 223, 31}, {0, 0, 220, 27}, {110, 27, 110, 27}}},
        {"no anchor, caption adds its line plus one", captioned,
         {300, 40, 307, 47, true, {3, 4, 304, 45}, {40, 0, 260, 27}, {0, 27, 301, 41}}},
        {"roomy anchor keeps the parent, gap under it", roomy,
         {0, 0, 400, 300, false, {50, 82, 270, 121}, {0, 0, 220, 27}, {110, 27, 110, 27}}},
        {"narrow anchor grows both ways", narrow,
         {120, 29, 520, 329, true, {10, 42, 230, 81}, {0, 0, 220, 27}, {110, 27, 110, 27}}},
    };
    for (const Case& c : cases) {
        const LinkGeometry g = ComputeLinkGeometry(c.in);
        EXPECT_EQ(g.growX, c.out.growX) << c.name;
        EXPECT_EQ(g.growY, c.out.growY) << c.name;
        EXPECT_EQ(g.parentWidth, c.out.parentWidth) << c.name;
        EXPECT_EQ(g.parentHeight, c.out.parentHeight) << c.name;
        EXPECT_EQ(g.resizeParent, c.out.resizeParent) << c.name;
        EXPECT_EQ(g.window, c.out.window) << c.name;
        EXPECT_EQ(g.bitmap, c.out.bitmap) << c.name;
        EXPECT_EQ(g.caption, c.out.caption) << c.name;
    }
}

TEST(BitmapLinkGeometry, EdgesAreOutside)
{
    const LinkRect r{10, 20, 30, 40};
    const struct { int x, y; bool in; } points[] = {{10, 20, true}, {29, 39, true}, {30, 20, false}, {10, 40, false}, {9, 25, false}};
    for (const auto& p : points)
        EXPECT_EQ(r.contains(p.x, p.y), p.in) << p.x << "," << p.y;
}

namespace {

class CommandCatcher : public QWidget {
public:
    std::vector<std::pair<int, QWidget*>> commands;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == LinkCommandEvent::EventType()) {
            auto* c = static_cast<LinkCommandEvent*>(e);
            commands.emplace_back(c->id(), c->link());
            return true;
        }
        return QWidget::event(e);
    }
};

}  // namespace

TEST(BitmapLink, ClickInsidePostsAndLaunchesOutsideDoesNothing)
{
    AppKitTestApp();
    test::TempDir dir;
    const std::string marker = dir.file("launched");
    const std::string target = "/usr/bin/touch " + marker;
    const BitmapLinkInfo info{133, "Visit our home page", "Tip over the picture", target.c_str()};
    CommandCatcher parent;
    parent.resize(10, 10);
    CBitmapLink link;
    ASSERT_TRUE(link.Create(&parent, 1022, info));
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_GE(parent.width(), 220);
    EXPECT_EQ(link.bitmapRect().size(), QSize(220, 27));
    EXPECT_EQ(link.captionRect().top(), 27);
    EXPECT_EQ(link.captionRect().height(), QFontMetrics(link.captionFont()).height() + 1);
    EXPECT_EQ(link.height(), 27 + link.captionRect().height());
    SaveScreenshot(parent, "bitmap-link");

    // Outside both rectangles (the link is wider than its caption only when
    // the picture is wider; click the corner beside the caption).
    const QPoint outside(0, link.height() - 1);
    ASSERT_FALSE(link.bitmapRect().contains(outside) || link.captionRect().contains(outside));
    QTest::mouseClick(&link, Qt::LeftButton, {}, outside);
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.commands.empty());
    QTest::mouseMove(&link, outside);
    EXPECT_FALSE(link.testAttribute(Qt::WA_SetCursor)) << "the pointer stays the arrow";

    QTest::mouseMove(&link, link.bitmapRect().center());
    EXPECT_TRUE(link.testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(link.cursor().hotSpot(), QPoint(7, 0));
    QTest::mouseClick(&link, Qt::LeftButton, {}, link.bitmapRect().center());
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].first, 1022);
    EXPECT_EQ(parent.commands[0].second, &link);
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        QTest::qWait(20);
    EXPECT_TRUE(std::filesystem::exists(marker)) << "the target was opened";
}

TEST(BitmapLink, FontColourAndAdvertisementBar)
{
    AppKitTestApp();
    const QFont font = CBitmapLink::MakeCaptionFont(96);
    EXPECT_EQ(font.pixelSize(), 9);  // 7 points at 96 dpi, rounded
    EXPECT_EQ(CBitmapLink::MakeCaptionFont(120).pixelSize(), 12);
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.bold());
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(192, 192, 192));
    palette.setColor(QPalette::ButtonText, QColor(10, 20, 30));
    EXPECT_EQ(CBitmapLink::CaptionColor(palette), QColor(0, 0, 255));
    palette.setColor(QPalette::Button, QColor(0, 0, 255));
    EXPECT_EQ(CBitmapLink::CaptionColor(palette), QColor(10, 20, 30));

    QWidget frame;
    CAdvertisementBar bar;
    ASSERT_TRUE(bar.Create(&frame, 1, 1022, AdvertisementInfo()));
    EXPECT_EQ(bar.link().controlId(), 1022);
    EXPECT_EQ(bar.link().height(), 27) << "no caption line";
    EXPECT_GE(bar.width(), 220);
    EXPECT_EQ(bar.minimumSize(), bar.maximumSize()) << "the bar keeps the size the link gave it";
    EXPECT_STREQ(AdvertisementInfo().tooltip, "Click here to buy music and movies");
    EXPECT_STREQ(AdvertisementInfo().target, "https://tessarine.example.org/");
}
