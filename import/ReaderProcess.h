#pragma once

#include "import/ImportProgress.h"
#include "import/OldLibrary.h"

#include <QString>

#include <string>

// Reads an older library file as ReadOldLibrary does, but in a child
// process (the program run with its hidden reader switch), so that a crash
// inside libmdb, which no check of ours can catch, ends only the child. The
// same results, progress and messages; a child that ends without an answer
// becomes COldLibraryError: "<path>" could not be read: the reader stopped
// (signal N). CImportCancelled when `progress` says stop (the child is
// ended then).
OldLibrary ReadOldLibraryApart(const std::string& path, const ImportProgress& progress = {});

// The program run as the reader: this executable unless set (tests that
// are not the program name it).
void SetOldLibraryReaderProgram(const QString& program);
