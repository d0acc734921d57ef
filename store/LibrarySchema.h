#pragma once

#include <QStringList>

// The statements that make an empty library's tables, index, trigger and
// views (journal mode and pragmas aside). docs/library-format.md shows the
// same schema to users.
QStringList LibrarySchemaStatements();

// The SQL expression that makes a new key, the key columns' default: for
// statements that give a key where they have one and want a new one where
// they have none.
QString LibraryNewKeyExpression();
