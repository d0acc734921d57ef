#pragma once

#include <QStringList>

// The statements that make an empty library's tables, index, trigger and
// views (journal mode and pragmas aside). docs/library-format.md shows the
// same schema to users.
QStringList LibrarySchemaStatements();
