#pragma once

#include <QString>
#include <QStringList>

class CLibraryConnection;

// The folded copies of each item's mnemonic and text that a find searches
// (tblPhrase.FoldedMnemonic and tblPhrase.FoldedText, see
// docs/library-format.md). The library keeps them itself, so rows written
// by any program stay findable: on a file, triggers after every insert and
// every change of Mnemonic or Data; on a server, generated columns. Both
// fold with the table of engine/FindFold.h, as the program folds the typed
// words.
//
// SQLite has no Unicode folding of its own (lower() knows ASCII only), and
// its parser refuses deeply nested expressions, so on a file the fold is a
// few stages of nested replace() calls, one statement each; on a server it
// is one translate().

inline constexpr char kFoldedMnemonicColumn[] = "FoldedMnemonic";
inline constexpr char kFoldedTextColumn[] = "FoldedText";
// A file's trigram index of the folded columns (FTS5, kept by the same
// triggers); a server's is a pg_trgm index on the columns themselves.
inline constexpr char kFindIndexTable[] = "tblPhraseFind";

// Whether `connection` reaches a PostgreSQL server (otherwise a file).
bool IsServerLibrary(CLibraryConnection& connection);

// A source of the columns a find reads, named p: "RowOrder", "PhraseID",
// "CategoryID", "Mnemonic", "ZOrder", and the folded "fm" and "ft". With
// `folded` false it folds as it reads (a library without the columns).
QString FindRowSource(bool server, bool folded);

// The statements that give a library what a find needs: the columns (when
// `withColumns`; on a file also their first fill), on a file the triggers
// and the trigram index, an index of the category order, and on a server
// the trigram index when `withTrigrams`. Run on a library that has some of
// them, they make the rest and the triggers anew.
QStringList FindColumnStatements(bool server, bool withColumns = true, bool withTrigrams = true);

// Whether the library has the columns and the indexes a find reads (a
// server's trigram index aside); asked once per connection.
bool HasFindColumns(CLibraryConnection& connection);

// Adds them in one transaction when a writable library lacks them.
// A library that can't take them now (another program holds the write
// lock, or this role does not own the table) is left as it was and finds
// more slowly, folding as it reads.
void AddFindColumns(CLibraryConnection& connection);
