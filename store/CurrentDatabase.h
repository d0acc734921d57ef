#pragma once

#include "store/LibraryLocation.h"

#include <functional>
#include <string>

// Where the recordsets find the active library. The application object
// installs itself as the source, so a recordset opened after the user
// changed the library opens the new one.
void SetCurrentLibrarySource(std::function<CLibraryLocation()> source);
// The active library; a file library with an empty path when no source is
// installed.
CLibraryLocation GetCurrentLibrary();
// The active library as it was given (UTF-8).
std::string GetCurrentDatabasePath();
