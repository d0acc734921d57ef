#pragma once

// libmdb's header uses glib's types without including glib first.
#include <glib.h>
#include <mdbtools.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Jet database file (Access 97 to 2003 and newer) opened read-only
// through libmdb; closed with the object.
class CMdbFile {
public:
    // Null when the file can't be opened or is no Jet database.
    static std::unique_ptr<CMdbFile> Open(const std::string& path);
    // The same from bytes in memory (copied first).
    static std::unique_ptr<CMdbFile> OpenBytes(const void* bytes, std::size_t size);
    ~CMdbFile();
    CMdbFile(const CMdbFile&) = delete;
    CMdbFile& operator=(const CMdbFile&) = delete;

    MdbHandle* Handle() const { return m_mdb; }
    // Access 97: text is one byte per character (Windows-1252); later
    // versions store UTF-16.
    bool IsJet3() const;
    // "Jet4 (Access 2000-2003)" and the like.
    std::string FormatName() const;
    // False when the file's list of tables can't be read.
    bool ReadCatalog();

private:
    CMdbFile(MdbHandle* mdb, std::vector<char> bytes);

    MdbHandle* m_mdb;
    std::vector<char> m_bytes; // what an in-memory handle reads
};

// One table of a Jet file, read row by row (rows marked deleted are
// skipped). A value of the current row is given as the bytes the file
// holds; decoding them is the caller's.
class CMdbTable {
public:
    // Whether the file's list of tables names a table so (letter case
    // aside).
    static bool Exists(const CMdbFile& file, const char* name);
    // Null when there is no such table or its definition can't be read.
    static std::unique_ptr<CMdbTable> Open(const CMdbFile& file, const char* name);
    ~CMdbTable();
    CMdbTable(const CMdbTable&) = delete;
    CMdbTable& operator=(const CMdbTable&) = delete;

    // The column's index (letter case aside), or -1.
    int Column(const char* name) const;
    // MDB_TEXT, MDB_MEMO, MDB_INT, ...
    int ColumnType(int column) const;
    // How many rows the table's definition says it holds.
    std::uint32_t DeclaredRows() const;

    // Moves to the next row; false after the last one.
    bool Next();
    // The value's bytes in the current row: empty for Null and for zero
    // length; nullopt when the row points outside its page (damaged).
    std::optional<std::string_view> Bytes(int column) const;
    // A Memo or OLE value, followed through the long-value pages of the
    // file as far as it goes: nullopt when it ends before the length the
    // value declares, or loops (a damaged or cut file).
    std::optional<std::string> LongBytes(int column);

private:
    CMdbTable(MdbHandle* mdb, MdbTableDef* table);
    MdbColumn* At(int column) const;

    MdbHandle* m_mdb;
    MdbTableDef* m_table;
};
