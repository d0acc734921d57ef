#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <string>
#include <utility>
#include <vector>

// Test data for imports of older library files: the small libraries of
// tests/data/mdb, copies of them with bytes replaced, and a look at the
// rows of a library through a connection of the test's own.

// A file of tests/data/mdb.
std::string MdbFixture(const char* name);

// A copy of the fixture `name` in `folder` (as `copyName`) with every
// occurrence of each first byte string replaced by its second (of the same
// length).
std::string PatchedFixture(const char* name, const QString& folder, const char* copyName,
                           const std::vector<std::pair<QByteArray, QByteArray>>& replacements);

// A name as Access 2000-2003 keeps it in its tables' definitions: UTF-16.
QByteArray Utf16(const char* ascii);

// Every row of `sql` on the library at `path`, read by a connection of
// its own, as another program would.
std::vector<QVariantList> RowsOf(const std::string& path, const QString& sql);

// The names in `folder` (hidden ones too).
QStringList FilesIn(const QString& folder);
