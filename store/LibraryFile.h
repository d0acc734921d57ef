#pragma once

#include "store/LibrarySchema.h"
#include "store/LibrarySeed.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CLibraryConnection;

// The library file: an SQLite database with our application id and a
// format version (docs/library-format.md describes it for users).

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

// Opens an existing library file after checking it. A library that this
// user may not write (the file or its folder) is opened for reading only
// and nothing is created beside it.
std::unique_ptr<CLibraryConnection> OpenLibraryFile(const std::string& path);
