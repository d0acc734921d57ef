#pragma once

#include "store/LibrarySeed.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CLibraryConnection;

// The library file: an SQLite database with our application id and a
// format version (docs/library-format.md describes it for users).

// The format this version writes and the newest it opens
// (PRAGMA user_version).
inline constexpr int kLibraryFormatVersion = 2;
// PRAGMA application_id of a library: "Blz1".
inline constexpr std::uint32_t kLibraryApplicationId = 0x426C7A31;

// Creates a new library at `path` with the schema and, optionally, starter
// categories (ZOrder in the given order) and items. Refuses a path where a
// file already exists. The library is built beside the path and renamed to
// it only when whole, so no half-made library is ever found there, even
// after a crash. Throws CDaoException.
void CreateLibraryFile(const std::string& path, const std::vector<LibrarySeedCategory>& seed = {});

// The same, with `fill` adding the rows through `connection` inside the
// transaction that makes the schema: whatever `fill` throws leaves no file
// behind (nor its companions) and is thrown on.
void CreateLibraryFile(const std::string& path,
                       const std::function<void(CLibraryConnection& connection)>& fill);

// Empty when `path` names a library this version can open; otherwise a
// sentence for the user that names the file and says what is wrong. Only
// reads the file.
std::string CheckLibraryFile(const std::string& path);

// The message for a library of a newer format than this version opens.
std::string DescribeNewerLibrary(const std::string& path, int version);
