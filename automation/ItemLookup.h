#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <string>
#include <vector>

// Finding categories and items of the active library by what a script or a
// command line names them, and composing an item's text as a drag does.
// Database errors are thrown as the store throws them.
namespace ItemLookup {

// A name with the braced key of its row.
struct NamedKey {
    QString name;
    QString key;
    bool operator==(const NamedKey&) const = default;
};

// A name that matches no row, or more than one.
class LookupError : public std::runtime_error {
public:
    enum class Kind { NotFound, Ambiguous };
    LookupError(Kind kind, const QString& text, QStringList candidates = {})
        : std::runtime_error(text.toStdString()), m_kind(kind),
          m_candidates(std::move(candidates)) {}
    Kind GetKind() const { return m_kind; }
    // For an ambiguous name: the keys it could mean.
    const QStringList& Candidates() const { return m_candidates; }

private:
    Kind m_kind;
    QStringList m_candidates;
};

// Every category, in the palette's order.
std::vector<NamedKey> Categories();

// The items of one category, in the palette's order. The category is
// given by its key or its name; see FindCategoryKey.
std::vector<NamedKey> ItemsOf(const QString& category);

// The key of the category that `category` names: a braced key (any letter
// case) or a name. A name matches whole; one that matches exactly is
// preferred to matches that differ in letter case only.
QString FindCategoryKey(const QString& category);

// The key of the item that `reference` names: a braced key (any letter
// case), or "Category/Mnemonic". Names may hold "/" themselves, so every
// place of the "/" is tried; the name is ambiguous when more than one item
// answers.
QString FindItemKey(const QString& reference);

// The text a drag of the item with `key` drops: its leading punctuation,
// one iteration drawn by weight, its trailing punctuation (UTF-8).
std::string ComposeItem(const QString& key);

// The items that hold every typed word, in the find's order (see
// store/LibraryFind.h), each named "Category/Mnemonic" as FindItemKey
// takes it.
std::vector<NamedKey> Find(const QString& words);

// FindItemKey, then ComposeItem.
std::string Compose(const QString& reference);

} // namespace ItemLookup
