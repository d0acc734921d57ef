#include "app/MumbletDlg.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/DDListBox.h"
#include "tests/support/PaletteFixture.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

namespace {

QStringList Shown(CMumbletDlg& palette) {
    QStringList shown;
    for (int i = 0; i < palette.Mnemonics().count(); ++i) {
        shown << palette.Mnemonics().TextAt(i);
    }
    return shown;
}

void Type(CMumbletDlg& palette, const QString& text) {
    palette.FindField().setText(text);
}

struct FindCase {
    const char* name;
    const char* typed;
    QStringList shown; // mnemonic, then category
};

class PaletteFind : public PaletteTest, public testing::WithParamInterface<FindCase> {};

} // namespace

// The list shows what the words find in every category, the arrows are off,
// and Escape brings back the category's entries.
TEST_P(PaletteFind, ShowsFoundItemsUntilEscape) {
    const FindCase& c = GetParam();
    CMumbletDlg& p = StartPalette();
    Type(p, QString::fromUtf8(c.typed));
    EXPECT_EQ(Shown(p), c.shown);
    EXPECT_FALSE(p.SortSpin().isEnabled());

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&p.FindField(), &escape);
    EXPECT_TRUE(p.FindField().text().isEmpty());
    EXPECT_TRUE(p.isVisible()) << "Escape in a field with text only empties it";
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three"}));
    EXPECT_TRUE(p.SortSpin().isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Words, PaletteFind,
    testing::Values(
        FindCase{"acrossCategories", "E", {"one  —  Alpha", "three  —  Alpha", "beta  —  Beta"}},
        FindCase{"byText", "Beta", {"beta  —  Beta"}}, FindCase{"nothing", "zzz", {}}),
    [](const testing::TestParamInfo<FindCase>& param) { return std::string(param.param.name); });

// A found entry drags its own item; a drop goes to the selected category,
// after its last entry; the library's change shows in the found items.
TEST_F(PaletteTest, FoundItemsDragTheirItemAndFollowTheLibrary) {
    CMumbletDlg& p = StartPalette();
    Type(p, QStringLiteral("beta"));
    const std::unique_ptr<QMimeData> dragged = p.Mnemonics().PrepareDragData(0);
    ASSERT_NE(dragged, nullptr);
    EXPECT_EQ(dragged->text(), QStringLiteral("Beta  "));

    ASSERT_TRUE(p.TakeDroppedText(QStringLiteral("beta blocker")));
    EXPECT_EQ(QueryDirect(library.path, "SELECT c.Description || '/' || p.ZOrder FROM tblPhrase p "
                                        "JOIN tblCategory c USING (CategoryID) WHERE "
                                        "p.Mnemonic = 'beta blocker'")
                  .toString(),
              QStringLiteral("Alpha/3"));
    p.OnLibraryChanged();
    ASSERT_TRUE(QTest::qWaitFor([&p] { return Shown(p).size() == 2; }, 5000));
    // Category order first: Alpha comes before Beta.
    EXPECT_EQ(Shown(p), QStringList({"beta blocker  —  Alpha", "beta  —  Beta"}));
}
