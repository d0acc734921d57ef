#pragma once

#include <QAbstractListModel>
#include <QString>

#include <memory>
#include <vector>

// One entry of the mnemonic list.
struct MnemonicEntry {
    // The whole mnemonic line (see EntryLines.h): the name and the key.
    QString line;
    // The position the entry's row is stored at (its ZOrder as read or last
    // written); -1 when unknown.
    int storedPosition = -1;
    // What the list shows; the line's name when empty.
    QString shown;
    friend bool operator==(const MnemonicEntry&, const MnemonicEntry&) = default;
};

// Where a list's entries come from: counted at once, then read a page at a
// time as they come into view, so a list of a hundred thousand entries
// costs what a screenful does.
class CEntryPages {
public:
    virtual ~CEntryPages() = default;
    virtual int Count() = 0;
    // The entries from `first` on, at most `count` of them.
    virtual std::vector<MnemonicEntry> Page(int first, int count) = 0;
};

// The model behind the mnemonic list. Entries not read yet are read, a page
// at a time, when the view or a caller first asks for them. An edit that
// moves entries about reads every entry first, so positions never shift
// under a page still to be read.
class CMnemonicModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The item data role holding an entry's stored position (absent when
    // unknown); EntryLines::LineRole holds its line.
    static constexpr int StoredPositionRole = Qt::UserRole + 1;
    static constexpr int kPageSize = 200;

    using QAbstractListModel::QAbstractListModel;

    // Shows what `pages` counts; throws what its Count throws (the model is
    // then empty).
    void Show(std::unique_ptr<CEntryPages> pages);
    void Show(std::vector<MnemonicEntry> entries);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The entry at `row` (0 <= row < rowCount()), read first if it was not
    // yet; throws what the source throws.
    const MnemonicEntry& Entry(int row) const;
    // Every entry, read first where it was not yet.
    const std::vector<MnemonicEntry>& Entries() const;

    void Insert(int row, MnemonicEntry entry);
    void Remove(int row);
    void Move(int from, int to);
    void Replace(int row, MnemonicEntry entry);
    void SetStoredPosition(int row, int position);

private:
    void ReadPageOf(int row) const;
    void ReadAll() const;

    mutable std::unique_ptr<CEntryPages> m_pages; // null once everything is read
    mutable std::vector<MnemonicEntry> m_entries;
    mutable std::vector<bool> m_pageRead;
};
