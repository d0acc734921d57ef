#include "import/TableReader.h"

#include "import/KeyText.h"
#include "import/MdbTable.h"
#include "import/OldLibraryError.h"

namespace {

bool Holds(ColumnKind kind, int type) {
    switch (kind) {
    case ColumnKind::Key:
        return type == MDB_REPID || type == MDB_TEXT || type == MDB_MEMO;
    case ColumnKind::Text:
        return type == MDB_TEXT || type == MDB_MEMO;
    case ColumnKind::Number:
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

} // namespace

CTableReader::CTableReader(const CMdbFile& file, const char* name, const std::string& source,
                           OldLibrary& library)
    : m_name(name), m_source(source), m_library(library), m_jet3(file.IsJet3()),
      m_table(CMdbTable::Open(file, name)) {
    if (m_table == nullptr) {
        ThrowDamagedOldLibrary(m_source,
                               "the definition of its table " + m_name + " can't be read");
    }
}

CTableReader::~CTableReader() = default;

std::uint32_t CTableReader::DeclaredRows() const {
    return m_table->DeclaredRows();
}

int CTableReader::Find(const char* column, ColumnKind kind, bool required) {
    const int index = m_table->Column(column);
    const std::string where = m_name + "." + column;
    if (index < 0) {
        if (required) {
            ThrowOldLibraryError(m_source,
                                 "it has no column " + where + ", so it is no Blurtle library.");
        }
        m_library.warnings.push_back("\"" + m_source + "\" has no column " + where + ": " +
                                     (kind == ColumnKind::Number ? "0" : "an empty text") +
                                     " is imported in its place.");
        return -1;
    }
    if (!Holds(kind, m_table->ColumnType(index))) {
        ThrowOldLibraryError(m_source, "its column " + where + " holds " +
                                           (kind == ColumnKind::Number ? "no numbers" : "no text") +
                                           ", so it is no Blurtle library.");
    }
    return index;
}

bool CTableReader::Next() {
    if (!m_table->Next()) {
        return false;
    }
    ++m_read;
    return true;
}

void CTableReader::CheckAllRead() const {
    if (m_read < m_table->DeclaredRows()) {
        ThrowDamagedOldLibrary(
            m_source, "its table " + m_name + " holds " + std::to_string(m_table->DeclaredRows()) +
                          " rows, but only " + std::to_string(m_read) + " of them can be read");
    }
}

std::string CTableReader::Text(int column, int& replaced) {
    if (column < 0) {
        return {};
    }
    std::string bytes;
    if (m_table->ColumnType(column) == MDB_MEMO) {
        std::optional<std::string> value = m_table->LongBytes(column);
        if (!value.has_value()) {
            ThrowDamagedOldLibrary(m_source, "a long text in its table " + m_name +
                                                 " can't be read in full (row " +
                                                 std::to_string(m_read) + ")");
        }
        bytes = std::move(*value);
    } else {
        bytes = std::string(InRow(column));
    }
    DecodedText text = m_jet3 ? DecodeWindows1252(bytes) : DecodeJet4Text(bytes);
    replaced += text.replaced;
    return std::move(text.utf8);
}

std::string CTableReader::Key(int column, int& replaced) {
    if (m_table->ColumnType(column) == MDB_REPID) {
        const std::string_view bytes = InRow(column);
        if (bytes.empty()) {
            return {};
        }
        if (bytes.size() != 16) {
            ThrowDamagedOldLibrary(m_source,
                                   "a key in its table " + m_name + " is not 16 bytes long");
        }
        return FormatKeyBytes(reinterpret_cast<const unsigned char*>(bytes.data()));
    }
    std::string text = Text(column, replaced);
    std::string key = NormalizeKeyText(text);
    return key.empty() ? text : key;
}

std::int32_t CTableReader::Number(int column) {
    if (column < 0) {
        return 0;
    }
    const std::string_view bytes = InRow(column);
    if (bytes.empty()) {
        return 0;
    }
    const int type = m_table->ColumnType(column);
    const std::size_t size = type == MDB_BYTE ? 1 : type == MDB_INT ? 2 : 4;
    if (bytes.size() != size) {
        ThrowDamagedOldLibrary(m_source, "a number in its table " + m_name + " has the wrong size");
    }
    return size == 1 ? static_cast<unsigned char>(bytes[0]) : LittleEndianSigned(bytes);
}

std::string_view CTableReader::InRow(int column) const {
    const std::optional<std::string_view> bytes = m_table->Bytes(column);
    if (!bytes.has_value()) {
        ThrowDamagedOldLibrary(m_source, "row " + std::to_string(m_read) + " of its table " +
                                             m_name + " lies outside its page");
    }
    return *bytes;
}
