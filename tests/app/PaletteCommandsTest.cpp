// The palette's commands, driven as the menus drive them (posted messages)
// with the question boxes answered by the scripted prompt service, and
// checked in the window and in the library as another connection sees it.
#include "app/Profile.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "dragdrop/PaletteMessages.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <memory>

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
    EXPECT_EQ(palette->Mnemonics().selectionModel()->selectedIndexes().size(), 0);
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

// Answers the next modal dialog the palette runs: `fill` sets its fields,
// then it is accepted (OK) or rejected (Cancel).
void AnswerNextDialog(std::function<void(QDialog&)> fill, bool ok = true) {
    // Looks for the dialog every few milliseconds once the command runs.
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, fill, ok] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (++*tries > 500) {
                ADD_FAILURE() << "no dialog came up";
                poll->deleteLater();
                poll->stop();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        fill(*dialog);
        if (ok) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    poll->start(10);
}

void TypeName(QDialog& dialog, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setText(text);
}

TEST_F(Commands, ANewCategoryIsSelectedByItsKeyWhateverThePositionsStored) {
    QueryDirect(library.path, "UPDATE tblCategory SET ZOrder = ZOrder * 7 + 5");
    StartPalette();
    AnswerNextDialog([](QDialog& d) { TypeName(d, QStringLiteral("Gamma")); });
    Post(UWM_ADD_CATEGORY);
    EXPECT_EQ(CategoryNames(), QStringList({"Gamma", "Alpha", "Beta"}));
    EXPECT_EQ(palette->Category().currentText(), QStringLiteral("Gamma"));
    EXPECT_TRUE(MnemonicNames().isEmpty());
    EXPECT_EQ(QueryDirect(library.path, "SELECT ZOrder FROM tblCategory WHERE Description = "
                                        "'Gamma'")
                  .toInt(),
              2);
    EXPECT_EQ(Count("SELECT count(*) FROM tblCategory WHERE strCategoryID = CategoryID"), 3);
    EXPECT_EQ(EntryLines::CategoryName(Profile::GetString("Category", "")), "Gamma");
}

TEST_F(Commands, RenamingACategoryTrimsStoresRemembersAndKeepsTheList) {
    StartPalette();
    AnswerNextDialog([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>()->text(), QStringLiteral("Alpha"));
        TypeName(d, QStringLiteral("  Letters  "));
    });
    Post(UWM_RENAME_CATEGORY);
    EXPECT_EQ(CategoryNames(), QStringList({"Letters", "Beta"}));
    EXPECT_EQ(palette->Category().currentIndex(), 0);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three"}));
    EXPECT_EQ(
        QueryDirect(library.path, "SELECT Description FROM tblCategory ORDER BY ZOrder").toString(),
        "Letters");
    EXPECT_EQ(EntryLines::CategoryName(Profile::GetString("Category", "")), "Letters")
        << "a restart comes back to the renamed category";
}

TEST_F(Commands, RenamingACategoryGoneMeanwhileChangesNothingAndSaysSo) {
    StartPalette();
    QueryDirect(library.path, "DELETE FROM tblCategory WHERE Description = 'Alpha'");
    AnswerNextDialog([](QDialog& d) { TypeName(d, QStringLiteral("Letters")); });
    Post(UWM_RENAME_CATEGORY);
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta"}));
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, "Rename of category not successful.");
}

TEST_F(Commands, RenamingAMnemonicKeepsItsPlaceKeyAndSelection) {
    StartPalette();
    palette->Mnemonics().setCurrentRow(1);
    const QString key = EntryLines::MnemonicKey(palette->Mnemonics().LineAt(1));
    AnswerNextDialog([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>()->text(), QStringLiteral("two"));
        TypeName(d, QStringLiteral("deux"));
    });
    Post(UWM_RENAME_MNEMONIC);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "deux", "three"}));
    EXPECT_EQ(palette->Mnemonics().currentRow(), 1);
    EXPECT_EQ(EntryLines::MnemonicKey(palette->Mnemonics().LineAt(1)), key);
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase WHERE Mnemonic = 'deux'"), 1);
}

TEST_F(Commands, RenamingAMnemonicGoneMeanwhileSaysSo) {
    StartPalette();
    palette->Mnemonics().setCurrentRow(0);
    QueryDirect(library.path, "DELETE FROM tblPhrase WHERE Mnemonic = 'one'");
    Post(UWM_RENAME_MNEMONIC);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, "Rename phrase mnemonic not successful.");
}

TEST_F(Commands, SortingCategoriesStoresAPendingOrderFirstThenEmptiesTheList) {
    StartPalette();
    palette->Mnemonics().setCurrentRow(0);
    palette->OnDeltaposSortSpin(+1); // two, one, three
    AnswerNextDialog([](QDialog&) {}, /*ok=*/false);
    Post(UWM_SORT_CATEGORIES);
    EXPECT_EQ(StoredZOrder("two"), 0);
    EXPECT_EQ(StoredZOrder("one"), 1);
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta"}));
    EXPECT_EQ(palette->Category().currentIndex(), -1);
    EXPECT_TRUE(MnemonicNames().isEmpty());
    EXPECT_FALSE(palette->IsOrderChanged());
}

TEST_F(Commands, AddingAnItemWithoutACategoryBeeps) {
    StartPalette();
    palette->Category().setCurrentIndex(-1);
    Post(UWM_ADD_ITEM);
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase"), 4);
}

TEST_F(Commands, ANewItemComesFirstSelectedAndKeepsItsPlaceAfterACategoryChange) {
    StartPalette();
    AnswerNextDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Blurtle New Item Properties"));
        d.findChild<QLineEdit*>(QStringLiteral("IDC_MNEMONIC"))->setText(QStringLiteral("new"));
    });
    Post(UWM_ADD_ITEM);
    EXPECT_EQ(MnemonicNames(), QStringList({"new", "one", "two", "three"}));
    EXPECT_EQ(palette->Mnemonics().currentRow(), 0);
    EXPECT_TRUE(palette->IsOrderChanged());
    palette->Category().setCurrentIndex(1);
    emit palette->Category().activated(1);
    palette->Category().setCurrentIndex(0);
    emit palette->Category().activated(0);
    EXPECT_EQ(MnemonicNames(), QStringList({"new", "one", "two", "three"}));
}

TEST_F(Commands, ItemPropertiesKeepTheEntrysPlaceAndKey) {
    StartPalette();
    palette->Mnemonics().setCurrentRow(2);
    const QString key = EntryLines::MnemonicKey(palette->Mnemonics().LineAt(2));
    AnswerNextDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Blurtle Item Properties"));
        auto* mnemonic = d.findChild<QLineEdit*>(QStringLiteral("IDC_MNEMONIC"));
        EXPECT_EQ(mnemonic->text(), QStringLiteral("three"));
        mnemonic->setText(QStringLiteral("drei"));
    });
    Post(UWM_ITEM_PROPERTIES);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "drei"}));
    EXPECT_EQ(palette->Mnemonics().currentRow(), 2);
    const QString line = palette->Mnemonics().LineAt(2);
    EXPECT_EQ(EntryLines::MnemonicKey(line), key);
    EXPECT_EQ(line.at(EntryLines::kMnemonicTabColumn), QLatin1Char('\t'));
    EXPECT_EQ(Count("SELECT count(*) FROM tblPhrase WHERE Mnemonic = 'drei'"), 1);
}

} // namespace
