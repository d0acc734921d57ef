#pragma once

#include "store/BoundFields.h"

#include <QString>
#include <QVariant>

#include <vector>

class CLibraryConnection;
struct RecordShape;

// Which of a find's matches a statement reads: all of them in the find's
// order (mnemonic matches first), or one of the two groups alone.
enum class FindGroup : int { Every = 0, InMnemonic = 1, InTextOnly = 2 };

// The statement that reads a find's matches (qryPhraseFind) or counts them
// (qryPhraseFindCount) on a library's engine, with its values in the order
// of its placeholders. The typed words are folded and bound, never put
// into the text. Within a group the matches come in category order, then
// item order, ties broken by the order the rows were added, as the views
// break them (see engine/FindWords.h).
//
// Two plans, for the two shapes a find takes (store/LibraryFind.cpp picks
// one): every match sorted at once, drawn through the library's trigram
// index where it has one, which suits a find that matches few items; and a
// single group walked in category order, which stops as soon as a page is
// full, which suits a find that matches most of them.
struct FindStatement {
    QString sql;
    std::vector<QVariant> values;
};

// `parameters` are the recordset's. For the matches: the typed words, the
// group, the first match to read and how many (0: all from there). For the
// count: the typed words, the group and a ceiling (0: none); with a
// ceiling, a library with a trigram index counts the items that hold every
// three-letter run of the words, which is cheap however many there are.
FindStatement MakeFindStatement(CLibraryConnection& connection, const RecordShape& shape,
                                const FieldValues& parameters);
