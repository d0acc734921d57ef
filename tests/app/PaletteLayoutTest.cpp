#include "app/Profile.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "tests/support/PaletteFixture.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

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
        ASSERT_TRUE(QTest::qWaitFor([] { return Profile::Contains("cy"); }));
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

// --- the list's horizontal extent --------------------------------------------

namespace {

struct WideCase {
    const char* label;
    std::int16_t zOrder; // where the long mnemonic stands among one, two, three (0..2)
};
void PrintTo(const WideCase& c, std::ostream* os) {
    *os << c.label;
}

class LongMnemonic : public PaletteTest, public testing::WithParamInterface<WideCase> {};

const QString kLong = QString(50, QLatin1Char('W'));

// How far the list's contents reach to the right.
int ContentsWidth(CDDListBox& list) {
    return list.horizontalScrollBar()->maximum() + list.viewport()->width();
}

// Whether the list lays itself out (it does so a moment after a change)
// with or without a horizontal scroll range.
bool Scrolls(CDDListBox& list) {
    return QTest::qWaitFor([&list] { return list.horizontalScrollBar()->maximum() > 0; });
}
bool FitsWithoutScrolling(CDDListBox& list) {
    return QTest::qWaitFor([&list] { return list.horizontalScrollBar()->maximum() == 0; });
}

} // namespace

TEST_P(LongMnemonic, GetsAHorizontalScrollBarThatReachesItsEnd) {
    app->UseLibrary(CLibraryLocation::Parse(library.path));
    AddPhrase(alpha, kLong.toStdString(), "Long9|", GetParam().zOrder);
    CMumbletDlg& p = StartPalette();
    p.resize(176, 478);
    CDDListBox& list = p.Mnemonics();
    const int needed = list.fontMetrics().horizontalAdvance(kLong);
    ASSERT_GT(needed, list.viewport()->width()) << "the name must not fit for this test";
    ASSERT_TRUE(Scrolls(list));
    EXPECT_GE(ContentsWidth(list), needed);
}

INSTANTIATE_TEST_SUITE_P(Places, LongMnemonic,
                         testing::Values(WideCase{"first", -1}, WideCase{"middle", 1},
                                         WideCase{"last", 9}),
                         [](const testing::TestParamInfo<WideCase>& param) {
                             return std::string(param.param.label);
                         });

TEST_F(PaletteTest, TheHorizontalExtentFollowsTheWidestEntryAsEntriesComeAndGo) {
    CMumbletDlg& p = StartPalette();
    p.resize(176, 478);
    CDDListBox& list = p.Mnemonics();
    ASSERT_TRUE(FitsWithoutScrolling(list));

    // A long entry added at the top, then a short one at the end (the entry
    // a uniformly sized list measures).
    CMnemonicModel& entries = list.Model();
    entries.Insert(0, {EntryLines::MakeMnemonicLine(kLong, QStringLiteral("{k}")), 0, {}});
    entries.Insert(
        entries.rowCount(),
        {EntryLines::MakeMnemonicLine(QStringLiteral("s"), QStringLiteral("{s}")), 0, {}});
    ASSERT_TRUE(Scrolls(list));
    EXPECT_GE(ContentsWidth(list), list.fontMetrics().horizontalAdvance(kLong));

    // Renamed to something short: the bar goes.
    entries.Replace(
        0, {EntryLines::MakeMnemonicLine(QStringLiteral("short"), QStringLiteral("{k}")), 0, {}});
    EXPECT_TRUE(FitsWithoutScrolling(list));

    // Back to long, then taken away.
    entries.Replace(0, {EntryLines::MakeMnemonicLine(kLong, QStringLiteral("{k}")), 0, {}});
    ASSERT_TRUE(Scrolls(list));
    entries.Remove(0);
    EXPECT_TRUE(FitsWithoutScrolling(list));
}

// --- minimum size and remembered places --------------------------------------

namespace {

// The palette's own controls that show.
std::vector<QWidget*> Controls(CMumbletDlg& palette) {
    std::vector<QWidget*> controls;
    for (QWidget* child : palette.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && !child->isWindow()) {
            controls.push_back(child);
        }
    }
    return controls;
}

void ExpectControlsFitSideBySide(CMumbletDlg& palette) {
    const std::vector<QWidget*> controls = Controls(palette);
    ASSERT_GE(controls.size(), 8u);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect a = controls[i]->geometry();
        EXPECT_TRUE(palette.rect().contains(a))
            << controls[i]->objectName().toStdString() << " sticks out";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(a.intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " overlaps "
                << controls[j]->objectName().toStdString();
        }
    }
    // Room for a few entries.
    CDDListBox& list = palette.Mnemonics();
    EXPECT_GE(list.viewport()->height(), 2 * list.fontMetrics().height());
}

class TinySize : public PaletteTest, public testing::WithParamInterface<Size> {};

QRect AvailableArea(const QWidget& window) {
    return window.screen()->availableGeometry();
}

struct PlaceCase {
    const char* label;
    std::function<QPoint(const QRect& screen)> place;
};
void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.label;
}

class RememberedPlace : public PaletteTest, public testing::WithParamInterface<PlaceCase> {};

} // namespace

TEST_P(TinySize, NeverLetsTheControlsOverlap) {
    CMumbletDlg& p = StartPalette();
    ExpectControlsFitSideBySide(p); // as the form comes
    p.resize(GetParam().w, GetParam().h);
    EXPECT_GE(p.width(), p.minimumWidth());
    ExpectControlsFitSideBySide(p);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TinySize,
                         testing::Values(Size{1, 1}, Size{40, 600}, Size{300, 60}, Size{120, 200}));

TEST_F(PaletteTest, ATinyRememberedSizeComesBackAtTheMinimum) {
    Profile::WriteInt("x", 100);
    Profile::WriteInt("y", 100);
    Profile::WriteInt("cx", 20);
    Profile::WriteInt("cy", 30);
    CMumbletDlg& p = StartPalette();
    EXPECT_EQ(p.size(), p.minimumSize());
    ExpectControlsFitSideBySide(p);
}

TEST_P(RememberedPlace, OffEveryScreenIsBroughtBack) {
    const QPoint place = GetParam().place(QGuiApplication::primaryScreen()->availableGeometry());
    Profile::WriteInt("x", place.x());
    Profile::WriteInt("y", place.y());
    Profile::WriteInt("cx", 200);
    Profile::WriteInt("cy", 400);
    CMumbletDlg& p = StartPalette();
    EXPECT_TRUE(AvailableArea(p).contains(p.frameGeometry()))
        << p.frameGeometry().x() << "," << p.frameGeometry().y() << " not within "
        << AvailableArea(p).width() << "x" << AvailableArea(p).height();
    EXPECT_EQ(p.size(), QSize(200, 400));
}

INSTANTIATE_TEST_SUITE_P(
    Places, RememberedPlace,
    testing::Values(
        PlaceCase{"farRightBelow", [](auto&) { return QPoint(20000, 15000); }},
        PlaceCase{"farLeftAbove", [](auto&) { return QPoint(-20000, -15000); }},
        PlaceCase{"sliverAtTheRight", [](const QRect& s) { return QPoint(s.right() - 10, 50); }},
        PlaceCase{"sliverAtTheBottom", [](const QRect& s) { return QPoint(20, s.bottom() - 10); }}),
    [](const testing::TestParamInfo<PlaceCase>& param) { return std::string(param.param.label); });
