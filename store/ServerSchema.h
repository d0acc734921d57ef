#pragma once

#include <QStringList>

// The statements that make a library's tables, index, triggers and views in
// an empty PostgreSQL database, format mark included. They mirror the
// SQLite schema (LibrarySchema.h) under the same quoted, mixed-case names,
// so the recordsets' statements serve both. docs/library-format.md shows
// them to users.
QStringList ServerSchemaStatements();

// The notification channel on which the library's triggers announce every
// committed change to its categories or items.
inline constexpr char kLibraryChangedChannel[] = "blurtle_library_changed";

// The SQL expression that makes a new key on the server (the key columns'
// default).
QString ServerNewKeyExpression();

// A query whose one value says whether the database holds any table or
// view of a library's names (ours or another program's of the same names).
QString ServerLibraryNamesTakenQuery();
