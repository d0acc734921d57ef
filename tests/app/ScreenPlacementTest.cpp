#include "app/ScreenPlacement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// A wide screen on the left and a smaller one to its right, lower down.
const QList<QRect> kScreens{QRect(0, 0, 1920, 1050), QRect(1920, 200, 1280, 800)};

struct PlaceCase {
    const char* label;
    QRect remembered;
    QRect expected;
};
void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.label;
}

class Placement : public testing::TestWithParam<PlaceCase> {};

} // namespace

TEST_P(Placement, BringsTheWindowWhollyOntoAScreen) {
    EXPECT_EQ(PlaceOnScreen(GetParam().remembered, kScreens), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, Placement,
    testing::Values(
        PlaceCase{"insideStays", QRect(140, 90, 230, 510), QRect(140, 90, 230, 510)},
        PlaceCase{"onTheSecondScreenStays", QRect(2000, 300, 230, 510), QRect(2000, 300, 230, 510)},
        // A screen that is gone: the window comes to the nearest one.
        PlaceCase{"farRight", QRect(9000, 300, 230, 510), QRect(2970, 300, 230, 510)},
        PlaceCase{"farLeftAbove", QRect(-5000, -4000, 230, 510), QRect(0, 0, 230, 510)},
        // A sliver at an edge is pulled in on the screen it overlaps.
        PlaceCase{"sliverAtTheBottom", QRect(100, 1040, 230, 510), QRect(100, 540, 230, 510)},
        PlaceCase{"hangingOffTheLeft", QRect(-200, 90, 230, 510), QRect(0, 90, 230, 510)},
        // Across both screens: onto the one it overlaps most.
        PlaceCase{"mostlyOnTheSecond", QRect(1900, 300, 230, 510), QRect(1920, 300, 230, 510)},
        PlaceCase{"belowTheSecondsTop", QRect(2500, 100, 230, 510), QRect(2500, 200, 230, 510)},
        // Taller than any screen: as tall as the screen.
        PlaceCase{"tooTall", QRect(50, 50, 230, 3000), QRect(50, 0, 230, 1050)}),
    [](const testing::TestParamInfo<PlaceCase>& param) { return std::string(param.param.label); });

TEST(Placement, WithoutScreensLeavesTheWindowAlone) {
    EXPECT_EQ(PlaceOnScreen(QRect(9000, 9000, 10, 10), {}), QRect(9000, 9000, 10, 10));
}
