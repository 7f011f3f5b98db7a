#include "app/AboutDlg.h"
#include "platform/widgets/DialogUnits.h"
#include "tests/app/AppKitTest.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

TEST(AboutDlg, VersionTitleFontAndTemplateSize)
{
    AppKitTestApp();
    struct Case {
        int pixelSize;
    };
    int previousTitle = 0;
    for (int size : {12, 20}) {
        QFont font = QApplication::font();
        font.setPixelSize(size);
        QApplication::setFont(font);
        CAboutDlg dlg;
        EXPECT_EQ(dlg.windowTitle(), "About Tessarine");
        EXPECT_EQ(dlg.versionLabel()->text(), "Version 1.01");
        EXPECT_EQ(dlg.titleLabel()->text(), QString::fromUtf8("Tessarine\u2122"));
        const DialogBaseUnits base = BaseUnitsOf(dlg.font());
        EXPECT_EQ(dlg.size(), MapDialogSize(QSize(260, 185), base));
        EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "keeps the template's size";
        const QFont title = dlg.titleLabel()->font();
        EXPECT_TRUE(title.bold());
        EXPECT_EQ(title.pixelSize(), dlg.titleLabel()->height());
        EXPECT_GT(title.pixelSize(), previousTitle) << "a larger dialog font gives a larger title";
        previousTitle = title.pixelSize();
        if (size == 12) {
            dlg.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
            SaveScreenshot(dlg, "about-box");
        }
    }
    QApplication::setFont(QFont());
}
