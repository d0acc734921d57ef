#include "dragdrop/PointerNudger.h"
#include "dragdrop/QuietShow.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace {

class MoveCounter : public QObject {
public:
    int moves = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            ++moves;
        }
        return false;
    }
};

TEST(PointerNudger, RedeliversThePointerUntilStopped) {
    QWidget palette;
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    MoveCounter counter;
    palette.windowHandle()->installEventFilter(&counter);

    CPointerNudger nudger;
    nudger.Start(&palette);
    palette.hide(); // it keeps nudging through the hidden window
    QTest::qWait(5 * CPointerNudger::kIntervalMs);
    EXPECT_GE(counter.moves, 2);

    nudger.Stop();
    const int afterStop = counter.moves;
    QTest::qWait(3 * CPointerNudger::kIntervalMs);
    EXPECT_EQ(counter.moves, afterStop);
}

TEST(QuietShow, RefusesFocusOnlyWhileShowing) {
    QWidget palette;
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    palette.hide();

    ShowWithoutTakingFocus(&palette);
    EXPECT_TRUE(palette.isVisible());
    EXPECT_TRUE(palette.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !palette.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus); },
        2000));
    EXPECT_FALSE(palette.testAttribute(Qt::WA_ShowWithoutActivating));
}

} // namespace
