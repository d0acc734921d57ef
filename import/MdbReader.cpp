#include "import/MdbReader.h"

#include "import/JetText.h"
#include "import/KeyText.h"
#include "import/MdbTable.h"
#include "import/OldLibraryError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

[[noreturn]] void Fail(const std::string& source, const std::string& why) {
    throw COldLibraryError("\"" + source + "\" can't be imported: " + why);
}

[[noreturn]] void FailDamaged(const std::string& source, const std::string& what) {
    Fail(source, what + ": the file is damaged or cut short.");
}

// What the import makes of a column, and the column types that can hold it.
enum class Kind { Key, Text, Number };

bool Holds(Kind kind, int type) {
    switch (kind) {
    case Kind::Key:
        return type == MDB_REPID || type == MDB_TEXT || type == MDB_MEMO;
    case Kind::Text:
        return type == MDB_TEXT || type == MDB_MEMO;
    case Kind::Number:
        return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT;
    }
    return false;
}

std::int32_t LittleEndianSigned(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    if (bytes.size() == 2) {
        return static_cast<std::int16_t>(value);
    }
    return static_cast<std::int32_t>(value);
}

// One table of the file with the columns the import reads from it: finds
// them, reads the current row's values as the library keeps them, and
// counts the rows against the number the table declares.
class CTableReader {
public:
    CTableReader(const CMdbFile& file, const char* name, const std::string& source,
                 OldLibrary& library)
        : m_name(name), m_source(source), m_library(library), m_jet3(file.IsJet3()),
          m_table(CMdbTable::Open(file, name)) {
        if (m_table == nullptr) {
            FailDamaged(m_source, "the definition of its table " + m_name + " can't be read");
        }
    }

    std::uint32_t DeclaredRows() const { return m_table->DeclaredRows(); }

    // The column's index. A column the import needs to link rows is
    // required; without any other the rows get an empty value there.
    int Find(const char* column, Kind kind, bool required) {
        const int index = m_table->Column(column);
        const std::string where = m_name + "." + column;
        if (index < 0) {
            if (required) {
                Fail(m_source, "it has no column " + where + ", so it is no Blurtle library.");
            }
            m_library.warnings.push_back("\"" + m_source + "\" has no column " + where + ": " +
                                         (kind == Kind::Number ? "0" : "an empty text") +
                                         " is imported in its place.");
            return -1;
        }
        if (!Holds(kind, m_table->ColumnType(index))) {
            Fail(m_source, "its column " + where + " holds " +
                               (kind == Kind::Number ? "no numbers" : "no text") +
                               ", so it is no Blurtle library.");
        }
        return index;
    }

    bool Next() {
        if (!m_table->Next()) {
            return false;
        }
        ++m_read;
        return true;
    }

    // Every row the table declares must have been read: libmdb reads a
    // file cut short as a table with fewer rows.
    void CheckAllRead() const {
        if (m_read < m_table->DeclaredRows()) {
            FailDamaged(m_source, "its table " + m_name + " holds " +
                                      std::to_string(m_table->DeclaredRows()) + " rows, but only " +
                                      std::to_string(m_read) + " of them can be read");
        }
    }

    DecodedText Text(int column) {
        if (column < 0) {
            return {};
        }
        std::string bytes;
        if (m_table->ColumnType(column) == MDB_MEMO) {
            std::optional<std::string> value = m_table->LongBytes(column);
            if (!value.has_value()) {
                FailDamaged(m_source, "a long text in its table " + m_name +
                                          " can't be read in full (row " + std::to_string(m_read) +
                                          ")");
            }
            bytes = std::move(*value);
        } else {
            bytes = std::string(InRow(column));
        }
        return m_jet3 ? DecodeWindows1252(bytes) : DecodeJet4Text(bytes);
    }

    // A key: braced upper-case when the value holds one; a text that holds
    // none is kept as it is.
    std::string Key(int column, int& replaced) {
        if (m_table->ColumnType(column) == MDB_REPID) {
            const std::string_view bytes = InRow(column);
            if (bytes.empty()) {
                return {};
            }
            if (bytes.size() != 16) {
                FailDamaged(m_source, "a key in its table " + m_name + " is not 16 bytes long");
            }
            return FormatKeyBytes(reinterpret_cast<const unsigned char*>(bytes.data()));
        }
        DecodedText text = Text(column);
        replaced += text.replaced;
        std::string key = NormalizeKeyText(text.utf8);
        return key.empty() ? std::move(text.utf8) : key;
    }

    std::int32_t Number(int column) {
        if (column < 0) {
            return 0;
        }
        const std::string_view bytes = InRow(column);
        if (bytes.empty()) {
            return 0;
        }
        switch (m_table->ColumnType(column)) {
        case MDB_BYTE:
            if (bytes.size() == 1) {
                return static_cast<unsigned char>(bytes[0]);
            }
            break;
        case MDB_INT:
            if (bytes.size() == 2) {
                return LittleEndianSigned(bytes);
            }
            break;
        default:
            if (bytes.size() == 4) {
                return LittleEndianSigned(bytes);
            }
            break;
        }
        FailDamaged(m_source, "a number in its table " + m_name + " has the wrong size");
    }

private:
    std::string_view InRow(int column) const {
        const std::optional<std::string_view> bytes = m_table->Bytes(column);
        if (!bytes.has_value()) {
            FailDamaged(m_source, "row " + std::to_string(m_read) + " of its table " + m_name +
                                      " lies outside its page");
        }
        return *bytes;
    }

    std::string m_name;
    const std::string& m_source;
    OldLibrary& m_library;
    bool m_jet3;
    std::unique_ptr<CMdbTable> m_table;
    std::uint32_t m_read = 0;
};

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

class CProgressCounter {
public:
    CProgressCounter(const ImportProgress& progress, std::int64_t total)
        : m_progress(progress), m_total(total) {}
    void Step() {
        ++m_done;
        if (m_progress && !m_progress(m_done, m_total)) {
            throw CImportCancelled();
        }
    }

private:
    const ImportProgress& m_progress;
    std::int64_t m_done = 0;
    std::int64_t m_total;
};

void ReadCategories(CTableReader& table, OldLibrary& library, CProgressCounter& counter) {
    const int key = table.Find("CategoryID", Kind::Key, true);
    const int description = table.Find("Description", Kind::Text, false);
    const int zOrder = table.Find("ZOrder", Kind::Number, false);
    const int textKey = table.Find("strCategoryID", Kind::Key, false);
    while (table.Next()) {
        OldCategory category;
        int replaced = 0;
        category.key = table.Key(key, replaced);
        DecodedText name = table.Text(description);
        replaced += name.replaced;
        category.description = std::move(name.utf8);
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

void ReadItems(CTableReader& table, OldLibrary& library, CProgressCounter& counter) {
    const int categoryKey = table.Find("CategoryID", Kind::Key, true);
    const int data = table.Find("Data", Kind::Text, false);
    const int mnemonic = table.Find("Mnemonic", Kind::Text, false);
    const int key = table.Find("PhraseID", Kind::Key, false);
    const int zOrder = table.Find("ZOrder", Kind::Number, false);
    const int leading = table.Find("PunctuationLeading", Kind::Number, false);
    const int trailing = table.Find("PunctuationTrailing", Kind::Number, false);
    while (table.Next()) {
        OldItem item;
        int replaced = 0;
        item.categoryKey = table.Key(categoryKey, replaced);
        DecodedText text = table.Text(data);
        replaced += text.replaced;
        item.data = std::move(text.utf8);
        DecodedText name = table.Text(mnemonic);
        replaced += name.replaced;
        item.mnemonic = std::move(name.utf8);
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

OldLibrary ReadFrom(CMdbFile& file, const std::string& source, const ImportProgress& progress) {
    if (!file.ReadCatalog()) {
        FailDamaged(source, "its list of tables can't be read");
    }
    const bool hasCategories = CMdbTable::Exists(file, "tblCategory");
    const bool hasItems = CMdbTable::Exists(file, "tblPhrase");
    if (!hasCategories || !hasItems) {
        Fail(source, std::string("it is an Access database, but no Blurtle library: it has no ") +
                         (hasCategories ? "table tblPhrase."
                          : hasItems    ? "table tblCategory."
                                        : "tables tblCategory and tblPhrase."));
    }
    OldLibrary library;
    library.source = source;
    library.format = file.FormatName();
    CTableReader categories(file, "tblCategory", source, library);
    CTableReader items(file, "tblPhrase", source, library);
    CProgressCounter counter(progress, static_cast<std::int64_t>(categories.DeclaredRows()) +
                                           items.DeclaredRows());
    ReadCategories(categories, library, counter);
    ReadItems(items, library, counter);
    return library;
}

} // namespace

OldLibrary ReadOldLibrary(const std::string& path, const ImportProgress& progress) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        Fail(path, "there is no such file.");
    }
    if (std::filesystem::is_directory(status)) {
        Fail(path, "it is a folder, not a file.");
    }
    if (!std::filesystem::is_regular_file(status)) {
        Fail(path, "it is not an ordinary file.");
    }
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            Fail(path, std::string("it can't be read (") + std::strerror(errno) + ").");
        }
        if (probe.peek() == std::ifstream::traits_type::eof()) {
            Fail(path, "the file is empty.");
        }
    }
    std::unique_ptr<CMdbFile> file = CMdbFile::Open(path);
    if (file == nullptr) {
        Fail(path, "it is not an Access database (.mdb).");
    }
    return ReadFrom(*file, path, progress);
}

OldLibrary ReadOldLibraryBytes(const void* bytes, std::size_t size, const std::string& name) {
    std::unique_ptr<CMdbFile> file = CMdbFile::OpenBytes(bytes, size);
    if (file == nullptr) {
        Fail(name, "it is not an Access database (.mdb).");
    }
    return ReadFrom(*file, name, {});
}
