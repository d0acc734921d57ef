#pragma once

#include "import/ImportProgress.h"
#include "import/OldLibrary.h"

#include <cstddef>
#include <string>

// Reads an older library file (.mdb: Access 97 or 2000-2003) through
// libmdb: every category of tblCategory and every item of tblPhrase, text
// made UTF-8 and keys braced upper-case. Throws COldLibraryError, naming
// the file, when the file is no such library or is damaged or cut short
// (it never gives fewer rows than the file says it holds), and
// CImportCancelled when `progress` says stop.
OldLibrary ReadOldLibrary(const std::string& path, const ImportProgress& progress = {});

// The same from the file's bytes in memory; `name` stands for the file in
// messages.
OldLibrary ReadOldLibraryBytes(const void* bytes, std::size_t size, const std::string& name);
