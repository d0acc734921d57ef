#pragma once

#include <QStringList>

#include <cstdint>
#include <string>

// The statements that make an empty library's tables, index, trigger and
// views (journal mode and pragmas aside). docs/library-format.md shows the
// same schema to users.
QStringList LibrarySchemaStatements();

// The SQL expression that makes a new key, the key columns' default: for
// statements that give a key where they have one and want a new one where
// they have none.
QString LibraryNewKeyExpression();

// The format this version writes and the newest it opens
// (PRAGMA user_version).
inline constexpr int kLibraryFormatVersion = 2;
// PRAGMA application_id of a library: "Blz1".
inline constexpr std::uint32_t kLibraryApplicationId = 0x426C7A31;

// The message for a library of a newer format than this version opens.
std::string DescribeNewerLibrary(const std::string& path, int version);
