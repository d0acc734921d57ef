// What the palette shows of its library: the categories and the shown
// category's entries, read whole before anything is shown, and brought up
// to date touching only what differs, keeping the user's selection.
#include "app/MumbletDlg.h"

#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/CategoryQry.h"
#include "store/KeyHelpers.h"
#include "store/RecordsetCloser.h"

#include <QListWidgetItem>
#include <QScrollBar>
#include <QSignalBlocker>

QStringList CMumbletDlg::ReadCategoryLines() {
    QStringList lines;
    CCategoryQry categories;
    CRecordsetCloser closer(categories);
    categories.Open();
    while (!categories.IsEOF()) {
        lines.append(EntryLines::MakeCategoryLine(
            categories.m_Description, ExtractBracedIdentifier(categories.m_CategoryID)));
        categories.MoveNext();
    }
    categories.Close();
    return lines;
}

std::vector<CMumbletDlg::MnemonicEntry>
CMumbletDlg::ReadMnemonicEntries(const QString& categoryLine) {
    std::vector<MnemonicEntry> entries;
    CRecordsetCloser closer(m_rsPhrases);
    m_rsPhrases.m_CATEGORYID = EntryLines::CategoryKey(categoryLine).toStdString();
    m_rsPhrases.Open();
    while (!m_rsPhrases.IsEOF()) {
        entries.push_back(
            {EntryLines::MakeMnemonicLine(m_rsPhrases.m_Mnemonic,
                                          ExtractBracedIdentifier(m_rsPhrases.m_PhraseID)),
             m_rsPhrases.m_ZOrder});
        m_rsPhrases.MoveNext();
    }
    m_rsPhrases.Close();
    return entries;
}

void CMumbletDlg::ShowMnemonicEntries(const std::vector<MnemonicEntry>& entries) {
    std::vector<std::unique_ptr<QListWidgetItem>> items;
    items.reserve(entries.size());
    for (const MnemonicEntry& entry : entries) {
        items.emplace_back(EntryLines::MakeMnemonicItem(entry.line));
        CDDListBox::SetStoredPosition(items.back().get(), entry.zOrder);
    }
    // Built first and added in one go: the view then lays itself out once.
    m_ctlMnemonics->setUpdatesEnabled(false);
    for (std::unique_ptr<QListWidgetItem>& item : items) {
        m_ctlMnemonics->addItem(item.release());
    }
    m_ctlMnemonics->setUpdatesEnabled(true);
}

void CMumbletDlg::RefreshFromLibrary() {
    // Everything is read before anything is shown, so a library that fails
    // halfway leaves the palette as it was.
    const QStringList categories = ReadCategoryLines();
    QStringList shownCategories;
    for (int i = 0; i < m_ctlCategory->count(); ++i) {
        shownCategories.append(EntryLines::LineOf(*m_ctlCategory, i));
    }
    const QString selectedKey =
        EntryLines::CategoryKey(EntryLines::SelectedCategoryLine(*m_ctlCategory));
    if (categories != shownCategories) {
        int index = -1;
        for (int i = 0; i < categories.size() && !selectedKey.isEmpty(); ++i) {
            if (EntryLines::CategoryKey(categories[i]).compare(selectedKey, Qt::CaseInsensitive) ==
                0) {
                index = static_cast<int>(i);
                break;
            }
        }
        const QSignalBlocker quiet(m_ctlCategory);
        m_ctlCategory->clear();
        for (const QString& line : categories) {
            EntryLines::AppendCategoryLine(*m_ctlCategory, line);
        }
        if (index < 0) {
            // The category on show is gone: its order went with it.
            m_order->Forget();
            m_ctlCategory->setCurrentIndex(m_ctlCategory->count() > 0 ? 0 : -1);
            OnSelchangeCategory();
            return;
        }
        m_ctlCategory->setCurrentIndex(index);
    }

    const QString line = EntryLines::SelectedCategoryLine(*m_ctlCategory);
    if (line.isEmpty()) {
        return;
    }
    const std::vector<MnemonicEntry> entries = ReadMnemonicEntries(line);
    std::vector<MnemonicEntry> shown;
    for (int i = 0; i < m_ctlMnemonics->count(); ++i) {
        const QListWidgetItem* item = m_ctlMnemonics->item(i);
        shown.push_back(
            {EntryLines::LineOf(item), item->data(CDDListBox::StoredPositionRole).toInt()});
    }
    if (entries != shown || line != m_order->ShownLine()) {
        ReplaceMnemonicEntries(entries);
    }
    if (line != m_order->ShownLine()) {
        // Renamed elsewhere: remembered under its new name.
        m_order->ShownRenamed(line);
    }
}

void CMumbletDlg::ReplaceMnemonicEntries(const std::vector<MnemonicEntry>& entries) {
    const QListWidgetItem* current = m_ctlMnemonics->currentItem();
    const QString currentKey = EntryLines::MnemonicKey(EntryLines::LineOf(current));
    const bool selected = current != nullptr && current->isSelected();
    const int scroll = m_ctlMnemonics->verticalScrollBar()->value();

    m_ctlMnemonics->setUpdatesEnabled(false);
    m_ctlMnemonics->clear();
    ShowMnemonicEntries(entries);
    for (int i = 0; i < m_ctlMnemonics->count() && !currentKey.isEmpty(); ++i) {
        QListWidgetItem* item = m_ctlMnemonics->item(i);
        if (EntryLines::MnemonicKey(EntryLines::LineOf(item))
                .compare(currentKey, Qt::CaseInsensitive) == 0) {
            m_ctlMnemonics->setCurrentItem(item, selected ? QItemSelectionModel::ClearAndSelect
                                                          : QItemSelectionModel::NoUpdate);
            break;
        }
    }
    m_ctlMnemonics->verticalScrollBar()->setValue(scroll);
    m_ctlMnemonics->setUpdatesEnabled(true);
}
