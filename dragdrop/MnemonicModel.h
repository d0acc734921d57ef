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

// Where a list's entries come from, a page at a time in the list's order.
class CEntryPages {
public:
    virtual ~CEntryPages() = default;
    // The entries from `first` on, at most `count` of them; fewer at the
    // end. Throws what the library throws.
    virtual std::vector<MnemonicEntry> Page(int first, int count) = 0;
};

// The model behind the mnemonic list. It reads the first page of its
// source at once and the next ones as the view scrolls to them, so a list
// of a hundred thousand entries costs what a screenful does until the user
// goes through it. What needs every entry (storing the order, an entry
// added at the end) reads the rest first.
class CMnemonicModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The item data role holding an entry's stored position (absent when
    // unknown); EntryLines::LineRole holds its line.
    static constexpr int StoredPositionRole = Qt::UserRole + 1;
    static constexpr int kPageSize = 256;

    using QAbstractListModel::QAbstractListModel;

    // Shows what `pages` gives, reading `atLeast` entries (at least a page)
    // now; throws what the source throws (the model is then empty).
    void Show(std::unique_ptr<CEntryPages> pages, int atLeast = 0);
    void Show(std::vector<MnemonicEntry> entries);
    // Shows `first`, already read from `pages`; `complete` when that was
    // every entry it gives.
    void Show(std::unique_ptr<CEntryPages> pages, std::vector<MnemonicEntry> first, bool complete);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The entries read so far; Entries() reads the rest first (throws what
    // the source throws).
    const std::vector<MnemonicEntry>& Read() const { return m_entries; }
    const std::vector<MnemonicEntry>& Entries();
    bool IsComplete() const { return m_pages == nullptr; }

    void Insert(int row, MnemonicEntry entry);
    void Remove(int row);
    void Move(int from, int to);
    void Replace(int row, MnemonicEntry entry);
    void SetStoredPosition(int row, int position);

private:
    // Up to `count` entries from `first` on; the source is let go once it
    // gives fewer. Throws what the source throws.
    std::vector<MnemonicEntry> NextPage(int first, int count);
    // Adds `entries` at the end.
    void Append(std::vector<MnemonicEntry> entries);

    std::unique_ptr<CEntryPages> m_pages; // null once every entry is read
    std::vector<MnemonicEntry> m_entries;
};
