#pragma once

#include <functional>
#include <string>

// Where the recordsets find the path of the active library file. The
// application object installs itself as the source, so a recordset opened
// after the user changed the database opens the new file.
void SetCurrentDatabasePathSource(std::function<std::string()> source);
// The active library's path (UTF-8), or empty when no source is installed.
std::string GetCurrentDatabasePath();
