// The palette's commands: what the selector's "Category" menu, the list's
// "Item" menu and a double click in the list ask for. Each runs when its
// posted message reaches the palette, asks first where it destroys
// something, runs its dialog, writes the rows and brings the selector and
// the list up to date without refilling more than it must.
#include "app/MumbletDlg.h"

#include "dialogs/CategoryAdd.h"
#include "dialogs/CategoryRenameDlg.h"
#include "dialogs/CategorySortDlg.h"
#include "dialogs/ItemPropertyDlg.h"
#include "dialogs/ItemRename.h"
#include "dialogs/PromptService.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/LibraryEdits.h"

#include <optional>
#include <string>

namespace {

bool Confirm(QWidget* owner, const QString& question) {
    return CPromptService::Current().ShowMessage(
               owner, question, kProgramCaption, QMessageBox::Yes | QMessageBox::No,
               CPromptService::Icon::Question) == QMessageBox::Yes;
}

// A step the library did not take.
void TellNotDone(QWidget* owner, const QString& text) {
    CPromptService::Current().Tell(owner, text, CPromptService::Icon::Information);
}

// The list's selected entry, or -1.
int SelectedRow(const CDDListBox& list) {
    return list.IsCurrentSelected() ? list.currentRow() : -1;
}

} // namespace

void CMumbletDlg::ReplaceEntry(int row, const QString& line) {
    if (row < 0 || row >= m_ctlMnemonics->count()) {
        return;
    }
    CMnemonicModel& entries = m_ctlMnemonics->Model();
    entries.Replace(row, {line, entries.Read()[static_cast<std::size_t>(row)].storedPosition, {}});
    m_ctlMnemonics->setCurrentRow(row);
}

void CMumbletDlg::DeleteCategory() {
    const int index = m_ctlCategory->currentIndex();
    if (index < 0) {
        return;
    }
    const QString line = EntryLines::LineOf(*m_ctlCategory, index);
    if (!Confirm(this, QStringLiteral("You are about to delete this category.  Are you SURE?"))) {
        return;
    }
    if (!LibraryEdits::DeleteCategory(EntryLines::CategoryKey(line).toStdString())) {
        TellNotDone(this, QStringLiteral("Deletion of category not successful."));
        return;
    }
    m_ctlCategory->removeItem(index);
    m_ctlCategory->setCurrentIndex(-1);
    // The library deleted the category's items with it: the list would
    // show rows that are gone, and their order can't be stored.
    if (m_order->IsShown(EntryLines::CategoryKey(line))) {
        m_ctlMnemonics->clear();
        m_order->Shows(QString());
    }
}

void CMumbletDlg::DeleteItem() {
    const int row = SelectedRow(*m_ctlMnemonics);
    if (row < 0) {
        return;
    }
    const QString line = m_ctlMnemonics->LineAt(row);
    if (!Confirm(this, QStringLiteral("You are about to delete this item.  Are you SURE?"))) {
        return;
    }
    if (!LibraryEdits::DeleteItem(EntryLines::MnemonicKey(line).toStdString())) {
        TellNotDone(this, QStringLiteral("Deletion of phrase not successful."));
        return;
    }
    m_ctlMnemonics->Model().Remove(row);
    m_ctlMnemonics->setCurrentRow(-1);
}

void CMumbletDlg::AddCategory() {
    CCategoryAdd dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // After every category shown.
    const std::string key =
        LibraryEdits::AddCategory(dialog.m_strCategoryName.toStdString(), m_ctlCategory->count());

    m_ctlCategory->clear();
    FillCategories();
    // The new category by its key: its place in the refilled selector is
    // the count only while the stored positions run 0 to n-1.
    m_ctlCategory->setCurrentIndex(
        EntryLines::IndexOfCategory(*m_ctlCategory, QString::fromStdString(key)));
    OnSelchangeCategory();
}

void CMumbletDlg::AddItem() {
    CItemPropertyDlg dialog(this, true);
    dialog.SetPhraseID(QString());
    dialog.SetCaption(QStringLiteral("Blurtle New Item Properties"));
    const QString category = EntryLines::SelectedCategoryLine(*m_ctlCategory);
    if (category.isEmpty()) {
        CPromptService::Current().Beep();
        return;
    }
    dialog.SetCategoryID(EntryLines::CategoryKey(category));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The new item is shown at the top of its category.
    m_find->Clear();
    // Stored at the top.
    m_ctlMnemonics->Model().Insert(
        0, {EntryLines::MakeMnemonicLine(dialog.m_strMnemonic, dialog.GetPhraseID()), 0, {}});
    m_ctlMnemonics->setCurrentRow(0);
    m_order->MarkChanged();
}

void CMumbletDlg::RenameMnemonic() {
    const int row = SelectedRow(*m_ctlMnemonics);
    if (row < 0) {
        return;
    }
    const QString key = EntryLines::MnemonicKey(m_ctlMnemonics->LineAt(row));
    const QString notDone = QStringLiteral("Rename phrase mnemonic not successful.");
    const std::optional<std::string> mnemonic = LibraryEdits::ReadMnemonic(key.toStdString());
    if (!mnemonic) {
        TellNotDone(this, notDone);
        return;
    }
    CItemRename dialog(this);
    dialog.m_strMnemonic = QString::fromStdString(*mnemonic);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!LibraryEdits::RenameItem(key.toStdString(), dialog.m_strMnemonic.toStdString())) {
        TellNotDone(this, notDone); // deleted elsewhere while the dialog was open
        return;
    }
    ReplaceEntry(row, EntryLines::MakeMnemonicLine(dialog.m_strMnemonic, key));
    m_ctlMnemonics->setFocus();
}

void CMumbletDlg::EditItemProperties() {
    const int row = SelectedRow(*m_ctlMnemonics);
    if (row < 0) {
        return;
    }
    const QString key = EntryLines::MnemonicKey(m_ctlMnemonics->LineAt(row));
    CItemPropertyDlg dialog(this, false);
    dialog.SetPhraseID(key);
    dialog.SetCaption(QStringLiteral("Blurtle Item Properties"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    ReplaceEntry(row, EntryLines::MakeMnemonicLine(dialog.m_strMnemonic, key));
}

void CMumbletDlg::SortCategories() {
    // A reordering of the mnemonics shown is stored first, as on every
    // other road that empties the list.
    if (!m_order->StoreBeforeSwitching()) {
        return;
    }
    {
        CCategorySortDlg dialog(this);
        dialog.exec();
    }
    m_ctlCategory->clear();
    FillCategories();
    m_ctlCategory->setCurrentIndex(-1);
    m_ctlMnemonics->clear();
    m_order->Shows(QString());
}

void CMumbletDlg::RenameCategory() {
    const int index = m_ctlCategory->currentIndex();
    if (index < 0) {
        return;
    }
    const QString line = EntryLines::LineOf(*m_ctlCategory, index);
    const QString key = EntryLines::CategoryKey(line);
    CCategoryRenameDlg dialog(this);
    dialog.m_strDescription = EntryLines::CategoryName(line).trimmed();
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString name = dialog.m_strDescription.trimmed();
    if (!LibraryEdits::RenameCategory(key.toStdString(), name.toStdString())) {
        // Nothing was stored, so nothing is shown either.
        TellNotDone(this, QStringLiteral("Rename of category not successful."));
        return;
    }

    const QString renamed = EntryLines::MakeCategoryLine(name, key);
    m_ctlCategory->removeItem(index);
    m_ctlCategory->insertItem(index, EntryLines::CategoryName(renamed), renamed);
    m_ctlCategory->setCurrentIndex(index);
    // The settings remember the category shown by its whole line: the new
    // one, so a restart comes back to it.
    if (m_order->IsShown(key)) {
        m_order->ShownRenamed(renamed);
    }
}
