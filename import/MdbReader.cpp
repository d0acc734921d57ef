#include "import/MdbReader.h"

#include "import/MdbTable.h"
#include "import/OldLibraryError.h"
#include "import/TableReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// Says that characters of a row's text could not be read, naming the row.
void WarnReplaced(OldLibrary& library, int replaced, const char* what, const std::string& name) {
    if (replaced == 0) {
        return;
    }
    library.warnings.push_back(std::to_string(replaced) +
                               (replaced == 1 ? " character" : " characters") + " of the " + what +
                               " \"" + name + "\" in \"" + library.source +
                               "\" could not be read as text; each is now \"\xEF\xBF\xBD\".");
}

void ReadCategories(CTableReader& table, OldLibrary& library, CProgressSteps& counter) {
    const int key = table.Find("CategoryID", ColumnKind::Key, true);
    const int description = table.Find("Description", ColumnKind::Text, false);
    const int zOrder = table.Find("ZOrder", ColumnKind::Number, false);
    const int textKey = table.Find("strCategoryID", ColumnKind::Key, false);
    while (table.Next()) {
        OldCategory category;
        int replaced = 0;
        category.key = table.Key(key, replaced);
        category.description = table.Text(description, replaced);
        category.zOrder = table.Number(zOrder);
        if (textKey >= 0) {
            category.textKey = table.Key(textKey, replaced);
        }
        WarnReplaced(library, replaced, "category", category.description);
        library.categories.push_back(std::move(category));
        counter.Step();
    }
    table.CheckAllRead();
}

void ReadItems(CTableReader& table, OldLibrary& library, CProgressSteps& counter) {
    const int categoryKey = table.Find("CategoryID", ColumnKind::Key, true);
    const int data = table.Find("Data", ColumnKind::Text, false);
    const int mnemonic = table.Find("Mnemonic", ColumnKind::Text, false);
    const int key = table.Find("PhraseID", ColumnKind::Key, false);
    const int zOrder = table.Find("ZOrder", ColumnKind::Number, false);
    const int leading = table.Find("PunctuationLeading", ColumnKind::Number, false);
    const int trailing = table.Find("PunctuationTrailing", ColumnKind::Number, false);
    while (table.Next()) {
        OldItem item;
        int replaced = 0;
        item.categoryKey = table.Key(categoryKey, replaced);
        item.data = table.Text(data, replaced);
        item.mnemonic = table.Text(mnemonic, replaced);
        if (key >= 0) {
            item.key = table.Key(key, replaced);
        }
        item.zOrder = table.Number(zOrder);
        item.punctuationLeading = table.Number(leading);
        item.punctuationTrailing = table.Number(trailing);
        WarnReplaced(library, replaced, "item", item.mnemonic.empty() ? item.key : item.mnemonic);
        library.items.push_back(std::move(item));
        counter.Step();
    }
    table.CheckAllRead();
}

// Reads the library in `opened`: null when the bytes are no Jet database.
OldLibrary ReadFrom(std::unique_ptr<CMdbFile> opened, const std::string& source,
                    const ImportProgress& progress) {
    if (opened == nullptr) {
        ThrowOldLibraryError(source, "it is not an Access database (.mdb).");
    }
    CMdbFile& file = *opened;
    if (!file.ReadCatalog()) {
        ThrowDamagedOldLibrary(source, "its list of tables can't be read");
    }
    const bool hasCategories = CMdbTable::Exists(file, "tblCategory");
    const bool hasItems = CMdbTable::Exists(file, "tblPhrase");
    if (!hasCategories || !hasItems) {
        ThrowOldLibraryError(
            source, std::string("it is an Access database, but no Blurtle library: it has no ") +
                        (hasCategories ? "table tblPhrase."
                         : hasItems    ? "table tblCategory."
                                       : "tables tblCategory and tblPhrase."));
    }
    OldLibrary library;
    library.source = source;
    library.format = file.FormatName();
    CTableReader categories(file, "tblCategory", source, library);
    CTableReader items(file, "tblPhrase", source, library);
    CProgressSteps counter(
        progress, 0, static_cast<std::int64_t>(categories.DeclaredRows()) + items.DeclaredRows());
    ReadCategories(categories, library, counter);
    ReadItems(items, library, counter);
    return library;
}

} // namespace

OldLibrary ReadOldLibrary(const std::string& path, const ImportProgress& progress) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        ThrowOldLibraryError(path, "there is no such file.");
    }
    if (std::filesystem::is_directory(status)) {
        ThrowOldLibraryError(path, "it is a folder, not a file.");
    }
    if (!std::filesystem::is_regular_file(status)) {
        ThrowOldLibraryError(path, "it is not an ordinary file.");
    }
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            ThrowOldLibraryError(path,
                                 std::string("it can't be read (") + std::strerror(errno) + ").");
        }
        if (probe.peek() == std::ifstream::traits_type::eof()) {
            ThrowOldLibraryError(path, "the file is empty.");
        }
    }
    return ReadFrom(CMdbFile::Open(path), path, progress);
}

OldLibrary ReadOldLibraryBytes(const void* bytes, std::size_t size, const std::string& name) {
    return ReadFrom(CMdbFile::OpenBytes(bytes, size), name, {});
}
