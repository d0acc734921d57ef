// What the palette shows of its library: the categories and the shown
// category's entries, read whole before anything is shown, and brought up
// to date touching only what differs, keeping the user's selection.
#include "app/MumbletDlg.h"

#include "app/CategoryEntryPages.h"
#include "automation/ItemLookup.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"

#include <QSignalBlocker>

#include <algorithm>

QStringList CMumbletDlg::ReadCategoryLines() {
    QStringList lines;
    for (const ItemLookup::NamedKey& category : ItemLookup::Categories()) {
        lines.append(EntryLines::MakeCategoryLine(category.name, category.key));
    }
    return lines;
}

void CMumbletDlg::ShowCategoryEntries(const QString& line) {
    m_ctlMnemonics->Model().Show(
        std::make_unique<CCategoryEntryPages>(m_rsPhrases, EntryLines::CategoryKey(line)));
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
        const QSignalBlocker quiet(m_ctlCategory);
        m_ctlCategory->clear();
        for (const QString& line : categories) {
            EntryLines::AppendCategoryLine(*m_ctlCategory, line);
        }
        const int index = EntryLines::IndexOfCategory(*m_ctlCategory, selectedKey);
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
    if (m_find->IsFinding()) {
        if (!line.isEmpty() && line != m_order->ShownLine()) {
            m_order->ShownRenamed(line); // renamed elsewhere
        }
        m_find->Refresh();
        return;
    }
    if (line.isEmpty()) {
        return;
    }
    // What the list has read so far is read again, with one entry more to
    // see whether the end moved; the rest is read as the user scrolls.
    const CMnemonicModel& model = m_ctlMnemonics->Model();
    const std::vector<MnemonicEntry>& shown = model.Read();
    const int count = static_cast<int>(shown.size());
    auto pages = std::make_unique<CCategoryEntryPages>(m_rsPhrases, EntryLines::CategoryKey(line));
    const int asked = std::max(count, CMnemonicModel::kPageSize) + 1;
    std::vector<MnemonicEntry> entries = pages->Page(0, asked);
    const bool sameStart = static_cast<int>(entries.size()) >= count &&
                           std::equal(shown.begin(), shown.end(), entries.begin()) &&
                           (model.IsComplete() ? static_cast<int>(entries.size()) == count
                                               : static_cast<int>(entries.size()) > count);
    if (!sameStart || line != m_order->ShownLine()) {
        // What was just read is shown; nothing is read twice.
        const bool complete = static_cast<int>(entries.size()) < asked;
        m_ctlMnemonics->Reshow(std::move(pages), std::move(entries), complete);
    }
    if (line != m_order->ShownLine()) {
        // Renamed elsewhere: remembered under its new name.
        m_order->ShownRenamed(line);
    }
}
