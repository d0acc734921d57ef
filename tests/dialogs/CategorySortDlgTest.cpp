// The category sort dialog against a real library: what its list shows,
// how the arrows move and beep, and what another connection finds in the
// library after each way the dialog ends.
#include "dialogs/CategorySortDlg.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/DragListEx.h"
#include "dragdrop/EntryLines.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

namespace {

// Four categories stored out of order, with gaps between their ZOrders.
class CategorySortDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        keys.push_back(AddCategory("Closings", 30));
        keys.push_back(AddCategory("Greetings", 10));
        keys.push_back(AddCategory("Signatures", 40));
        keys.push_back(AddCategory("Apologies", 20));
        dialog = std::make_unique<CCategorySortDlg>();
        list = dialog->findChild<CDragListEx*>(QStringLiteral("IDC_CATEGORY_LIST"));
        spin = dialog->findChild<CUpDownButtons*>(QStringLiteral("IDC_CATEGORY_SPIN"));
        ASSERT_NE(list, nullptr);
        ASSERT_NE(spin, nullptr);
        dialog->show();
    }

    QStringList Shown() const {
        QStringList names;
        for (int i = 0; i < list->count(); ++i) {
            names << list->item(i)->text();
        }
        return names;
    }

    void Press(int delta) {
        auto* arrow = spin->findChild<QToolButton*>(delta < 0 ? QStringLiteral("less")
                                                              : QStringLiteral("more"));
        QTest::mouseClick(arrow, Qt::LeftButton);
    }

    // The library as another program reads it: "name=ZOrder" in stored order.
    QString Stored() const {
        return QueryDirect(library.path,
                           QStringLiteral("SELECT group_concat(Description || '=' || ZOrder, ',') "
                                          "FROM (SELECT * FROM tblCategory ORDER BY ZOrder)"))
            .toString();
    }

    CTempLibrary library;
    CScriptedPromptService prompts;
    std::vector<std::string> keys;
    std::unique_ptr<CCategorySortDlg> dialog;
    CDragListEx* list = nullptr;
    CUpDownButtons* spin = nullptr;
};

const QString kUntouched = QStringLiteral("Greetings=10,Apologies=20,Closings=30,Signatures=40");

TEST_F(CategorySortDlgTest, ListsTheCategoriesInStoredOrderWithTheirKeysOutOfView) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Category Sort"));
    EXPECT_EQ(Shown(), (QStringList{"Greetings", "Apologies", "Closings", "Signatures"}));
    const QString line = EntryLines::LineOf(list->item(0));
    EXPECT_EQ(line.indexOf(QLatin1Char('\t')), 63);
    EXPECT_EQ(EntryLines::MnemonicKey(line), QString::fromStdString(keys[1]));
}

TEST(CategorySortDlgLines, ALongNameShowsOnlyItsFirst63Characters) {
    CTempLibrary library;
    QString name(70, QLatin1Char('n'));
    name.replace(60, 2, QString::fromUtf8("\xF0\x9F\x98\x80")); // an emoji at column 60
    AddCategory(name.toStdString(), 0);
    CCategorySortDlg dialog;
    auto* list = dialog.findChild<CDragListEx*>();
    ASSERT_EQ(list->count(), 1);
    const QString shown = list->item(0)->text();
    EXPECT_EQ(shown, name.left(64)); // 63 characters: the emoji is two UTF-16 units
}

struct ArrowCase {
    const char* name;
    int selected; // -1: nothing selected
    std::vector<int> presses;
    QStringList order;
    int beeps;
    int current; // the selected row afterwards
};

void PrintTo(const ArrowCase& c, std::ostream* out) {
    *out << c.name;
}

class CategorySortArrows : public CategorySortDlgTest,
                           public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(CategorySortArrows, MoveTheSelectionOrBeep) {
    const ArrowCase& c = GetParam();
    list->clearSelection();
    if (c.selected >= 0) {
        list->setCurrentRow(c.selected);
    }
    for (const int delta : c.presses) {
        Press(delta);
    }
    EXPECT_EQ(Shown(), c.order);
    EXPECT_EQ(prompts.beeps, c.beeps);
    EXPECT_EQ(dialog->Changed(), c.beeps < static_cast<int>(c.presses.size()));
    if (c.current >= 0) {
        EXPECT_EQ(list->currentRow(), c.current);
        EXPECT_TRUE(list->item(c.current)->isSelected());
    }
    EXPECT_TRUE(prompts.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CategorySortArrows,
    ::testing::Values(
        ArrowCase{"NoSelection",
                  -1,
                  {-1, +1},
                  {"Greetings", "Apologies", "Closings", "Signatures"},
                  2,
                  -1},
        ArrowCase{"TopUp", 0, {-1}, {"Greetings", "Apologies", "Closings", "Signatures"}, 1, 0},
        ArrowCase{
            "BottomDown", 3, {+1}, {"Greetings", "Apologies", "Closings", "Signatures"}, 1, 3},
        ArrowCase{"MiddleUp", 2, {-1}, {"Greetings", "Closings", "Apologies", "Signatures"}, 0, 1},
        ArrowCase{"TopToBottomThenPastIt",
                  0,
                  {+1, +1, +1, +1},
                  {"Apologies", "Closings", "Signatures", "Greetings"},
                  1,
                  3},
        ArrowCase{"DownAndBackUp",
                  1,
                  {+1, -1},
                  {"Greetings", "Apologies", "Closings", "Signatures"},
                  0,
                  1}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(CategorySortDlgTest, CloseRequestAfterAMoveStoresEveryPosition) {
    list->setCurrentRow(3);
    Press(-1); // Signatures above Closings
    EXPECT_TRUE(dialog->close());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Stored(), QStringLiteral("Greetings=0,Apologies=1,Signatures=2,Closings=3"));
    EXPECT_TRUE(prompts.messages.empty());
}

// Moves that end where they began still count as moves.
TEST_F(CategorySortDlgTest, CloseRequestAfterMovesBackStillRenumbers) {
    list->setCurrentRow(0);
    Press(+1);
    Press(-1);
    dialog->close();
    EXPECT_EQ(Stored(), QStringLiteral("Greetings=0,Apologies=1,Closings=2,Signatures=3"));
}

TEST_F(CategorySortDlgTest, CloseRequestWithoutMovesOrDropsStoresNothing) {
    list->setCurrentRow(0);
    Press(-1); // refused: the beep is no move
    dialog->close();
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(Stored(), kUntouched);
}

TEST_F(CategorySortDlgTest, ADropThatMovesNothingStillStoresTheOrder) {
    list->setCurrentRow(1);
    list->Dropped(1, list->visualItemRect(list->item(1)).topLeft() + QPoint(2, 1));
    EXPECT_EQ(Shown(), (QStringList{"Greetings", "Apologies", "Closings", "Signatures"}));
    ASSERT_TRUE(list->WasDropped());
    dialog->close();
    EXPECT_EQ(Stored(), QStringLiteral("Greetings=0,Apologies=1,Closings=2,Signatures=3"));
}

TEST_F(CategorySortDlgTest, EscapeAndEnterDiscardTheMoves) {
    for (const auto& [key, result] : {std::pair{Qt::Key_Escape, QDialog::Rejected},
                                      std::pair{Qt::Key_Return, QDialog::Accepted},
                                      std::pair{Qt::Key_Enter, QDialog::Accepted}}) {
        dialog = std::make_unique<CCategorySortDlg>();
        list = dialog->findChild<CDragListEx*>();
        spin = dialog->findChild<CUpDownButtons*>();
        dialog->show();
        list->setCurrentRow(0);
        Press(+1);
        list->Dropped(0, QPoint(2, 2));
        QTest::keyClick(list, key);
        EXPECT_FALSE(dialog->isVisible()) << key;
        EXPECT_EQ(dialog->result(), result) << key;
        EXPECT_EQ(Stored(), kUntouched) << key;
    }
}

// Another program deleted a category while the dialog was open: the rest
// are stored and the gone one is skipped without a word.
TEST_F(CategorySortDlgTest, ACategoryDeletedMeanwhileIsSkipped) {
    QueryDirect(library.path, QStringLiteral("DELETE FROM tblCategory WHERE Description = "
                                             "'Apologies'"));
    list->setCurrentRow(3);
    Press(-1);
    dialog->close();
    EXPECT_EQ(Stored(), QStringLiteral("Greetings=0,Signatures=2,Closings=3"));
    EXPECT_TRUE(prompts.messages.empty());
}

// The library is gone when the order is stored: the user is told why, the
// dialog stays open and nothing escapes into Qt's event handling.
TEST_F(CategorySortDlgTest, ALibraryErrorIsReportedAndTheDialogStaysOpen) {
    list->setCurrentRow(1);
    Press(+1);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile::remove(QString::fromStdString(library.path + suffix));
    }
    EXPECT_FALSE(dialog->close());
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Blurtle (TM)"));
    EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Stop);
    EXPECT_FALSE(prompts.messages[0].text.isEmpty());
    QTest::keyClick(list, Qt::Key_Escape); // the way out that stores nothing
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
