#pragma once

#include "store/LibraryLocation.h"
#include "store/LibrarySeed.h"

#include <string>
#include <vector>

// A library wherever it lives: a file or a database on a PostgreSQL server
// (see CLibraryLocation for the forms of `location`).

// Creates a new library with the schema and, optionally, starter content.
// A file library needs a path where no file is (CreateLibraryFile); a
// server library needs an existing database without our tables, and is
// made in one transaction. Throws CDaoException.
void CreateLibrary(const CLibraryLocation& location,
                   const std::vector<LibrarySeedCategory>& seed = {});
inline void CreateLibrary(const std::string& location,
                          const std::vector<LibrarySeedCategory>& seed = {}) {
    CreateLibrary(CLibraryLocation::Parse(location), seed);
}

// Empty when `location` names a library this version can open; otherwise a
// sentence for the user that names it and says what is wrong.
std::string CheckLibrary(const CLibraryLocation& location);
inline std::string CheckLibrary(const std::string& location) {
    return CheckLibrary(CLibraryLocation::ParseOrKeep(location));
}
