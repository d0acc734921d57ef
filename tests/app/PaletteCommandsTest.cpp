// The palette's commands, driven as the menus drive them (posted messages)
// with the question boxes answered by the scripted prompt service, and
// checked in the window and in the library as another connection sees it.
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/PaletteMessages.h"
#include "tests/app/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QCoreApplication>

#include <string>

namespace {

class Commands : public PaletteTest {
protected:
    void Post(PaletteMessage message) {
        PostPaletteMessage(palette.get(), message);
        QCoreApplication::processEvents();
    }
    int Count(const QString& sql) { return QueryDirect(library.path, sql).toInt(); }
};

struct DeleteCase {
    const char* name;
    PaletteMessage message;
    QString question;
    QString notFound;
    QString goneElsewhere; // SQL another program runs first
    QString rows;          // the rows the command deletes, counted
};

class DeleteCommands : public Commands, public testing::WithParamInterface<DeleteCase> {
protected:
    void SelectFirstItem() { palette->Mnemonics().setCurrentRow(0); }
};

TEST_P(DeleteCommands, AskFirstAndNoChangesNothing) {
    StartPalette();
    SelectFirstItem();
    const int before = Count(GetParam().rows);
    prompts.QueueAnswer(QMessageBox::No);
    Post(GetParam().message);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, GetParam().question);
    EXPECT_EQ(prompts.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Count(GetParam().rows), before);
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta"}));
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three"}));
}

TEST_P(DeleteCommands, ARowGoneMeanwhileIsSaidAndNothingChanges) {
    StartPalette();
    SelectFirstItem();
    QueryDirect(library.path, GetParam().goneElsewhere);
    prompts.QueueAnswer(QMessageBox::Yes);
    Post(GetParam().message);
    ASSERT_EQ(prompts.messages.size(), 2U);
    EXPECT_EQ(prompts.messages[1].text, GetParam().notFound);
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta"}));
}

INSTANTIATE_TEST_SUITE_P(
    Both, DeleteCommands,
    testing::Values(DeleteCase{"Category", UWM_DELETE_CATEGORY,
                               "You are about to delete this category.  Are you SURE?",
                               "Deletion of category not successful.",
                               "DELETE FROM tblCategory WHERE Description = 'Alpha'",
                               "SELECT count(*) FROM tblCategory"},
                    DeleteCase{"Item", UWM_DELETE_ITEM,
                               "You are about to delete this item.  Are you SURE?",
                               "Deletion of phrase not successful.",
                               "DELETE FROM tblPhrase WHERE Mnemonic = 'one'",
                               "SELECT count(*) FROM tblPhrase"}),
    [](const testing::TestParamInfo<DeleteCase>& param) { return std::string(param.param.name); });

TEST_F(Commands, DeletingTheShownCategoryDeletesItsItemsAndEmptiesTheList) {
    StartPalette();
    prompts.QueueAnswer(QMessageBox::Yes);
    Post(UWM_DELETE_CATEGORY);
    EXPECT_EQ(CategoryNames(), QStringList({"Beta"}));
    EXPECT_EQ(palette->Category().currentIndex(), -1);
    EXPECT_TRUE(MnemonicNames().isEmpty()) << "its items are gone with it";
    EXPECT_FALSE(palette->IsOrderChanged());
    EXPECT_EQ(Count("SELECT count(*) FROM tblCategory"), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase"), 1);
}

TEST_F(Commands, DeletingAnItemRemovesItsEntryAndRowAndLeavesNoSelection) {
    StartPalette();
    palette->Mnemonics().setCurrentRow(1);
    prompts.QueueAnswer(QMessageBox::Yes);
    Post(UWM_DELETE_ITEM);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "three"}));
    EXPECT_EQ(palette->Mnemonics().selectedItems().size(), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase WHERE Mnemonic = 'two'"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase"), 3);
}

TEST_F(Commands, WithoutASelectionTheDeleteCommandsAskNothing) {
    StartPalette();
    palette->Mnemonics().setCurrentRow(-1);
    Post(UWM_DELETE_ITEM);
    palette->Category().setCurrentIndex(-1);
    Post(UWM_DELETE_CATEGORY);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase"), 4);
}

} // namespace
