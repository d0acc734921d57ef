#pragma once

#include "store/BoundFields.h"

#include <QString>
#include <QVariant>

#include <vector>

class CLibraryConnection;
struct RecordShape;

// The statement that reads a find's matches (qryPhraseFind) or counts them
// (qryPhraseFindCount) on a library's engine, with its values in the order
// of its placeholders. The typed words are folded and bound, never put
// into the text. The matches come in the find's order (see
// engine/FindWords.h): mnemonic matches first, then by category order and
// item order, ties broken by the order the rows were added, as the views
// break them.
struct FindStatement {
    QString sql;
    std::vector<QVariant> values;
};

// `parameters` are the recordset's: the typed words, then (for the
// matches) the first match to read and how many (0: all from there).
FindStatement MakeFindStatement(CLibraryConnection& connection, const RecordShape& shape,
                                const FieldValues& parameters);
