#include "dragdrop/MnemonicModel.h"

#include "dragdrop/EntryLines.h"

#include <QtDebug>

#include <algorithm>
#include <exception>
#include <utility>

void CMnemonicModel::Show(std::unique_ptr<CEntryPages> pages) {
    beginResetModel();
    m_pages.reset();
    m_entries.clear();
    m_pageRead.clear();
    try {
        const int count = pages->Count();
        m_entries.resize(static_cast<std::size_t>(count));
        m_pageRead.assign(static_cast<std::size_t>((count + kPageSize - 1) / kPageSize), false);
        m_pages = std::move(pages);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

void CMnemonicModel::Show(std::vector<MnemonicEntry> entries) {
    beginResetModel();
    m_pages.reset();
    m_entries = std::move(entries);
    m_pageRead.clear();
    endResetModel();
}

void CMnemonicModel::Clear() {
    Show(std::vector<MnemonicEntry>());
}

int CMnemonicModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant CMnemonicModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role != Qt::DisplayRole && role != EntryLines::LineRole && role != StoredPositionRole) {
        return {};
    }
    try {
        const MnemonicEntry& entry = Entry(index.row());
        if (role == EntryLines::LineRole) {
            return entry.line;
        }
        if (role == StoredPositionRole) {
            return entry.storedPosition >= 0 ? QVariant(entry.storedPosition) : QVariant();
        }
        return entry.shown.isEmpty() ? EntryLines::MnemonicName(entry.line) : entry.shown;
    } catch (const std::exception& error) {
        // Painting goes on: the entry shows empty until the list is read
        // again (the live refresh does so at the library's next change).
        qWarning("An entry of the list could not be read: %s", error.what());
        return {};
    }
}

const MnemonicEntry& CMnemonicModel::Entry(int row) const {
    ReadPageOf(row);
    return m_entries.at(static_cast<std::size_t>(row));
}

const std::vector<MnemonicEntry>& CMnemonicModel::Entries() const {
    ReadAll();
    return m_entries;
}

void CMnemonicModel::ReadPageOf(int row) const {
    const std::size_t page = static_cast<std::size_t>(row / kPageSize);
    if (m_pages == nullptr || page >= m_pageRead.size() || m_pageRead[page]) {
        return;
    }
    // Marked first: a source that fails is not asked again at every paint.
    m_pageRead[page] = true;
    const int first = static_cast<int>(page) * kPageSize;
    std::vector<MnemonicEntry> read = m_pages->Page(first, kPageSize);
    // The library may hold fewer rows now than it counted; the rest stay
    // empty until the list is read again.
    const std::size_t n = std::min(read.size(), m_entries.size() - static_cast<std::size_t>(first));
    std::move(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(n),
              m_entries.begin() + first);
}

void CMnemonicModel::ReadAll() const {
    if (m_pages == nullptr) {
        return;
    }
    for (std::size_t page = 0; page < m_pageRead.size(); ++page) {
        ReadPageOf(static_cast<int>(page) * kPageSize);
    }
    m_pages.reset();
    m_pageRead.clear();
}

void CMnemonicModel::Insert(int row, MnemonicEntry entry) {
    ReadAll();
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    m_entries.insert(m_entries.begin() + row, std::move(entry));
    endInsertRows();
}

void CMnemonicModel::Remove(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    ReadAll();
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void CMnemonicModel::Move(int from, int to) {
    if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to) {
        return;
    }
    ReadAll();
    // Qt names the row the moved one lands before.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    MnemonicEntry moved = std::move(m_entries[static_cast<std::size_t>(from)]);
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + to, std::move(moved));
    endMoveRows();
}

void CMnemonicModel::Replace(int row, MnemonicEntry entry) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    ReadPageOf(row);
    m_entries[static_cast<std::size_t>(row)] = std::move(entry);
    emit dataChanged(index(row), index(row));
}

void CMnemonicModel::SetStoredPosition(int row, int position) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    ReadPageOf(row);
    m_entries[static_cast<std::size_t>(row)].storedPosition = position;
}
