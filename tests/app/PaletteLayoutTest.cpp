#include "app/Profile.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "tests/app/PaletteFixture.h"

#include <QPushButton>
#include <QTest>

#include <ostream>

namespace {

struct Size {
    int w;
    int h;
};
void PrintTo(const Size& s, std::ostream* os) {
    *os << s.w << "x" << s.h;
}

class LayoutAfterResize : public PaletteTest, public testing::WithParamInterface<Size> {};

} // namespace

TEST_P(LayoutAfterResize, KeepsTheMarginsToTheRightAndBottomEdges) {
    CMumbletDlg& p = StartPalette();
    const QRect arrowsBefore = p.SortSpin().geometry();
    p.resize(GetParam().w, GetParam().h);
    const int w = p.width();
    const int h = p.height();
    const QRect list = p.Mnemonics().geometry();
    const QRect combo = p.Category().geometry();
    const QRect help = p.OnlineHelp().geometry();
    EXPECT_EQ(w - (list.x() + list.width()), 2);
    EXPECT_EQ(h - (list.y() + list.height()), 2);
    EXPECT_EQ(w - (combo.x() + combo.width()), 2);
    EXPECT_EQ(w - (help.x() + help.width()), 4);
    EXPECT_EQ(p.SortSpin().geometry(), arrowsBefore) << "the arrows never move";
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutAfterResize,
                         testing::Values(Size{176, 478}, Size{300, 600}, Size{120, 200},
                                         Size{640, 900}));

TEST_F(PaletteTest, NothingIsLaidOutWhileInitialising) {
    CMumbletDlg p;
    const QRect list = p.Mnemonics().geometry();
    p.resize(400, 700);
    EXPECT_TRUE(p.IsInitializing());
    EXPECT_EQ(p.Mnemonics().geometry(), list);
}

TEST_F(PaletteTest, PlacementIsWrittenWhenTheUserStopsAndRestoredAtTheNextStart) {
    {
        CMumbletDlg& p = StartPalette();
        p.move(140, 90);
        p.resize(230, 510);
        EXPECT_FALSE(Profile::Contains("x")) << "written only once the window keeps still";
        QTRY_VERIFY(Profile::Contains("cy"));
        EXPECT_EQ(Profile::GetInt("x", -1), p.pos().x());
        EXPECT_EQ(Profile::GetInt("y", -1), p.pos().y());
        EXPECT_EQ(Profile::GetInt("cx", -1), 230);
        EXPECT_EQ(Profile::GetInt("cy", -1), 510);
        DropPalette();
    }
    CMumbletDlg& again = StartPalette();
    EXPECT_EQ(again.pos(), QPoint(Profile::GetInt("x", -1), Profile::GetInt("y", -1)));
    EXPECT_EQ(again.size(), QSize(230, 510));
    EXPECT_EQ(again.width() - again.Mnemonics().geometry().right() - 1, 2);
}

TEST_F(PaletteTest, APlacementStillSettlingIsWrittenByTheCloseSteps) {
    CMumbletDlg& p = StartPalette();
    p.resize(250, 400);
    p.close();
    EXPECT_EQ(Profile::GetInt("cx", -1), 250);
    EXPECT_EQ(Profile::GetInt("cy", -1), 400);
}
