#pragma once

#include "import/ImportProgress.h"
#include "import/MdbReader.h"
#include "import/OldLibrary.h"

#include <functional>
#include <string>
#include <vector>

// The name of the category that takes the items whose category is not in
// the older file.
inline constexpr const char* kCategoryForStrayItems = "Items without a category";

struct ImportSummary {
    int categories = 0; // the category for stray items included
    int items = 0;
    int itemsWithoutCategory = 0;
    std::vector<std::string> warnings; // the reader's
};

// Makes a new library at `libraryPath` (a file: refusing an existing one,
// as CreateLibraryFile does; a server database: an empty one, or one that
// holds an empty library, see FillEmptyLibrary) holding every category
// and item of `library`:
// keys, names, texts, orders and punctuation as read, a category's empty
// strCategoryID filled with its key, and the items whose category is not
// there in one more category, kCategoryForStrayItems, ordered last. All in
// one transaction: on any failure (CDaoException) or cancel
// (CImportCancelled) no file is left behind, and a server database stays
// as it was.
ImportSummary WriteImportedLibrary(const OldLibrary& library, const std::string& libraryPath,
                                   const ImportProgress& progress = {});

// Reads an older library file: ReadOldLibrary, or ReadOldLibraryApart.
using OldLibraryReader =
    std::function<OldLibrary(const std::string& path, const ImportProgress& progress)>;

// Reads the older library file `oldPath` with `read` and writes it to
// the new library `libraryPath` (WriteImportedLibrary). `progress` counts
// the rows read, then the rows written. Throws COldLibraryError,
// CDaoException or CImportCancelled; all derive from std::runtime_error
// and say what happened in a sentence that names the file.
ImportSummary ImportOldLibrary(const std::string& oldPath, const std::string& libraryPath,
                               const ImportProgress& progress = {},
                               const OldLibraryReader& read = ReadOldLibrary);

// "Imported 5 categories and 30 items from A into B." (B without a
// password) and, when there were
// any, how many items went into kCategoryForStrayItems.
std::string DescribeImport(const ImportSummary& summary, const std::string& oldPath,
                           const std::string& libraryPath);
