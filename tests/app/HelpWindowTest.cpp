#include "app/HelpWindow.h"
#include "tests/app/AppKitTest.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <cstdlib>

namespace {

QString ShippedHelp()
{
    const char* dist = std::getenv("TESSARINE_DIST_DIR");
    return QString::fromUtf8(dist ? dist : "build/dist") + "/Tessup.hlp";
}

}  // namespace

TEST(HelpContents, ParsesIdsAndSkipsSettings)
{
    const auto entries = ParseHelpContents(":Base Tessup.hlp\n12\tTwelve\nno tab\nx\tNot a number\n57600\tNew \n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].contextId, 12);
    EXPECT_EQ(entries[0].title, "Twelve");
    EXPECT_EQ(entries[1].contextId, 57600);
    EXPECT_EQ(entries[1].title, "New");
}

TEST(HelpWindow, EveryCommandAndWindowHasATopicAndContextHelpFindsIt)
{
    AppKitTestApp();
    CHelpWindow help(ShippedHelp());
    ASSERT_TRUE(help.IsLoaded());
    const int ids[] = {1, 57600, 57601, 57603, 57604, 32771, 57616, 57665, 59392, 59393,
                       57667, 57664, 57669, 2, 3, 4, 5, 6};
    for (int id : ids)
        EXPECT_TRUE(help.ShowTopic(id)) << id;
    EXPECT_FALSE(help.ShowTopic(424242));
    EXPECT_EQ(help.CurrentTopic(), 6);
    help.ShowTopic(57600);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    SaveScreenshot(help, "help-window");

    QWidget window;
    window.setProperty("helpId", 1);
    auto* upload = new QPushButton("Upload", &window);
    upload->setProperty("helpId", 32771);
    auto* plain = new QPushButton("Plain", &window);
    plain->move(0, 40);
    int clicks = 0;
    QObject::connect(upload, &QPushButton::clicked, [&] { ++clicks; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QString status = "idle";
    struct Case {
        QWidget* target;
        int topic;
    };
    for (const Case& c : {Case{upload, 32771}, Case{plain, 1}}) {
        help.StartContextHelp([&](const QString& text) { status = text; });
        EXPECT_EQ(status, "Select an object on which to get Help");
        EXPECT_TRUE(help.InContextHelp());
        QTest::mouseClick(c.target, Qt::LeftButton);
        EXPECT_FALSE(help.InContextHelp());
        EXPECT_EQ(status, "");
        EXPECT_EQ(help.CurrentTopic(), c.topic) << "a control without a topic shows its window's";
    }
    EXPECT_EQ(clicks, 0) << "the help click does not press the button";
    QTest::mouseClick(upload, Qt::LeftButton);
    EXPECT_EQ(clicks, 1) << "after the mode, clicks work again";
}
