#pragma once

#include <functional>
#include <string>

class CLibraryConnection;

// Fills a library that holds nothing yet with rows, all in one transaction
// with whatever has to be made for it, so a failure anywhere leaves the
// target as it was:
//
// - a file path where no file is: the library file is made (schema and
//   rows); on failure no file is left behind (CreateLibraryFile);
// - an existing library file, or a server database that holds a library:
//   opened through the usual checks (not a library, a newer format, read
//   only: refused in the usual words) and filled;
// - a server database without any of our tables: the schema is made in
//   the transaction of the rows.
//
// A library that already holds any category or item is refused with a
// message naming it, and nothing is changed. `fill` adds the rows through
// the connection it is given; whatever it throws is thrown on after the
// rollback. Throws CDaoException.
void FillEmptyLibrary(const std::string& location,
                      const std::function<void(CLibraryConnection& connection)>& fill);
