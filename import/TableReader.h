#pragma once

#include "import/JetText.h"
#include "import/OldLibrary.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CMdbFile;
class CMdbTable;

// What the import makes of a column: the column types that can hold it
// differ.
enum class ColumnKind { Key, Text, Number };

// One table of an older library file with the columns the import reads
// from it: finds them, gives the current row's values as the library
// keeps them, and counts the rows against the number the table declares.
// Every failure throws COldLibraryError naming the file (`source`).
class CTableReader {
public:
    CTableReader(const CMdbFile& file, const char* name, const std::string& source,
                 OldLibrary& library);
    ~CTableReader();
    CTableReader(const CTableReader&) = delete;
    CTableReader& operator=(const CTableReader&) = delete;

    std::uint32_t DeclaredRows() const;

    // The column's index. Without a column the import needs to link rows
    // (`required`) the file is refused; without any other the rows get an
    // empty value there (-1), which a warning says.
    int Find(const char* column, ColumnKind kind, bool required);

    // Moves to the next row; false after the last one.
    bool Next();
    // Refuses the file when fewer rows were read than the table declares:
    // libmdb reads a file cut short as a table with fewer rows.
    void CheckAllRead() const;

    // The current row's values; a column of -1 gives "" or 0. Text made
    // UTF-8 adds the characters it replaced to `replaced`.
    std::string Text(int column, int& replaced);
    // Braced upper-case when the value holds a key; a text that holds none
    // is kept as it is.
    std::string Key(int column, int& replaced);
    std::int32_t Number(int column);

private:
    std::string_view InRow(int column) const;

    std::string m_name;
    const std::string& m_source;
    OldLibrary& m_library;
    bool m_jet3;
    std::unique_ptr<CMdbTable> m_table;
    std::uint32_t m_read = 0;
};
