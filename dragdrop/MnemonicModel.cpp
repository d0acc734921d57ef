#include "dragdrop/MnemonicModel.h"

#include "dragdrop/EntryLines.h"

#include <QtDebug>

#include <algorithm>
#include <exception>
#include <utility>

void CMnemonicModel::Show(std::unique_ptr<CEntryPages> pages, int atLeast) {
    beginResetModel();
    m_entries.clear();
    m_pages = std::move(pages);
    try {
        m_entries = NextPage(0, std::max(atLeast, kPageSize));
    } catch (...) {
        m_entries.clear();
        m_pages.reset();
        endResetModel();
        throw;
    }
    endResetModel();
}

void CMnemonicModel::Show(std::vector<MnemonicEntry> entries) {
    beginResetModel();
    m_pages.reset();
    m_entries = std::move(entries);
    endResetModel();
}

void CMnemonicModel::Show(std::unique_ptr<CEntryPages> pages, std::vector<MnemonicEntry> first,
                          bool complete) {
    beginResetModel();
    m_pages = complete ? nullptr : std::move(pages);
    m_entries = std::move(first);
    endResetModel();
}

void CMnemonicModel::Clear() {
    Show(std::vector<MnemonicEntry>());
}

std::vector<MnemonicEntry> CMnemonicModel::NextPage(int first, int count) {
    std::vector<MnemonicEntry> page = m_pages->Page(first, count);
    if (static_cast<int>(page.size()) < count) {
        m_pages.reset(); // the end is reached
    }
    return page;
}

void CMnemonicModel::Append(std::vector<MnemonicEntry> entries) {
    if (entries.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
    std::move(entries.begin(), entries.end(), std::back_inserter(m_entries));
    endInsertRows();
}

int CMnemonicModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant CMnemonicModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const MnemonicEntry& entry = m_entries[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return entry.shown.isEmpty() ? EntryLines::MnemonicName(entry.line) : entry.shown;
    case EntryLines::LineRole:
        return entry.line;
    case StoredPositionRole:
        return entry.storedPosition >= 0 ? QVariant(entry.storedPosition) : QVariant();
    default:
        return {};
    }
}

bool CMnemonicModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_pages != nullptr;
}

void CMnemonicModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) {
        return;
    }
    try {
        Append(NextPage(rowCount(), kPageSize));
    } catch (const std::exception& error) {
        // Scrolling goes on over what there is; the list is read anew at
        // the library's next change.
        m_pages.reset();
        qWarning("The rest of the list could not be read: %s", error.what());
    }
}

const std::vector<MnemonicEntry>& CMnemonicModel::Entries() {
    // Read whole before any is shown: a read that fails adds nothing.
    std::vector<MnemonicEntry> rest;
    while (m_pages != nullptr) {
        std::vector<MnemonicEntry> page =
            NextPage(rowCount() + static_cast<int>(rest.size()), kPageSize * 16);
        std::move(page.begin(), page.end(), std::back_inserter(rest));
    }
    Append(std::move(rest));
    return m_entries;
}

void CMnemonicModel::Insert(int row, MnemonicEntry entry) {
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    m_entries.insert(m_entries.begin() + row, std::move(entry));
    endInsertRows();
}

void CMnemonicModel::Remove(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void CMnemonicModel::Move(int from, int to) {
    if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to) {
        return;
    }
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
    m_entries[static_cast<std::size_t>(row)] = std::move(entry);
    emit dataChanged(index(row), index(row));
}

void CMnemonicModel::SetStoredPosition(int row, int position) {
    if (row >= 0 && row < rowCount()) {
        m_entries[static_cast<std::size_t>(row)].storedPosition = position;
    }
}
