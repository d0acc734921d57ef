#pragma once

#include <QString>
#include <qnamespace.h>

#include <string>

class QComboBox;
class QListWidget;
class QListWidgetItem;

// The texts of the selector's and the list's entries. Each entry carries
// its row's key in a fixed column far to the right of its name:
//
//   category line  Description, spaces up to column 511, the braced
//                  CategoryID from column 512
//   mnemonic line  Mnemonic, spaces up to column 62, a tab at column 63,
//                  the braced PhraseID from column 64
//
// The whole line is what the settings remember ("Category") and what the
// key is read back from, so these layouts must never change. Columns count
// characters, not UTF-16 units: a character outside the Basic Multilingual
// Plane (an emoji, a surrogate pair in the QString) takes one column, so a
// line of such characters is longer in UTF-16 units than its columns. A
// name that would reach the key is cut short there, never in the middle of
// a character.
//
// The widgets keep the whole line in LineRole and show only the name, so no
// scrolling and no column width can ever reveal the key.
namespace EntryLines {

constexpr int kCategoryKeyColumn = 512;
constexpr int kMnemonicTabColumn = 63;
constexpr int kMnemonicKeyColumn = 64;

// The item data role that holds an entry's whole line.
constexpr int LineRole = Qt::UserRole;

QString MakeCategoryLine(const QString& description, const QString& bracedCategoryId);
QString MakeMnemonicLine(const QString& mnemonic, const QString& bracedPhraseId);
// From the store's UTF-8 columns.
QString MakeMnemonicLine(const std::string& mnemonic, const std::string& bracedPhraseId);

// The key from its column, or an empty string when the line is shorter.
QString CategoryKey(const QString& categoryLine);
QString MnemonicKey(const QString& mnemonicLine);

// The name an entry shows: the text before the key, without the padding.
QString CategoryName(const QString& categoryLine);
QString MnemonicName(const QString& mnemonicLine);

// Widget entries built from lines.
void AppendCategoryLine(QComboBox& combo, const QString& line);
QListWidgetItem* MakeMnemonicItem(const QString& line);
// The whole line of an entry; empty for a null item or an index out of range.
QString LineOf(const QListWidgetItem* item);
QString LineOf(const QComboBox& combo, int index);
// The line of the selected category, or empty when none is selected.
QString SelectedCategoryLine(const QComboBox& combo);
// The entry of the category with `key` (letter case aside), or -1; -1 for
// an empty key.
int IndexOfCategory(const QComboBox& combo, const QString& key);

} // namespace EntryLines
