#include "dialogs/AboutDlg.h"
#include "dialogs/BuildInfo.h"
#include "dialogs/UpDownButtons.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

TEST(AboutDlg, ShowsTitleVersionMakerAndIcon) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Blurtle (TM)"));
    EXPECT_TRUE(about.BlockText().contains(QStringLiteral(BLURTLE_VERSION_STRING)));
    EXPECT_EQ(about.BlockText().count(QLatin1Char('\n')), 2);
    EXPECT_EQ(about.MakerText(), QStringLiteral(BLURTLE_MAKER_URL));
    EXPECT_FALSE(about.windowIcon().isNull());
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("okButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
}

TEST(UpDownButtons, ArrowsAndKeysGiveMinusOneAndPlusOne) {
    CUpDownButtons spin(nullptr, Qt::Vertical);
    spin.resize(17, 20);
    QSignalSpy deltas(&spin, &CUpDownButtons::DeltaPos);
    QTest::mouseClick(spin.findChild<QToolButton*>(QStringLiteral("less")), Qt::LeftButton);
    QTest::mouseClick(spin.findChild<QToolButton*>(QStringLiteral("more")), Qt::LeftButton);
    QTest::keyClick(&spin, Qt::Key_Up);
    QTest::keyClick(&spin, Qt::Key_Down);
    ASSERT_EQ(deltas.count(), 4);
    EXPECT_EQ(deltas.at(0).at(0).toInt(), -1);
    EXPECT_EQ(deltas.at(1).at(0).toInt(), +1);
    EXPECT_EQ(deltas.at(2).at(0).toInt(), -1);
    EXPECT_EQ(deltas.at(3).at(0).toInt(), +1);

    CUpDownButtons sideways(nullptr, Qt::Horizontal);
    QSignalSpy sideDeltas(&sideways, &CUpDownButtons::DeltaPos);
    QTest::keyClick(&sideways, Qt::Key_Right);
    QTest::keyClick(&sideways, Qt::Key_Up); // not this pair's key
    ASSERT_EQ(sideDeltas.count(), 1);
    EXPECT_EQ(sideDeltas.at(0).at(0).toInt(), +1);
}

TEST(UpDownButtons, KeepsItsPositionInRangeUnlessARefusalHoldsIt) {
    CUpDownButtons spin;
    spin.SetRange(0, 2);
    spin.Step(+1);
    spin.Step(+1);
    spin.Step(+1);
    EXPECT_EQ(spin.Position(), 2);
    QObject::connect(&spin, &CUpDownButtons::DeltaPos, [](int, bool* refuse) { *refuse = true; });
    spin.Step(-1);
    EXPECT_EQ(spin.Position(), 2);
}
