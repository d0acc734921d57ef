#include "import/MdbTable.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

// Long values (Memo, OLE) begin in the row with this many bytes: their
// length and flags, where the rest lies, and four unused bytes.
constexpr std::size_t kLongValueHeader = MDB_MEMO_OVERHEAD;
// libmdb copies up to one page at a time into a column's buffer.
constexpr std::size_t kChunkBuffer = 2 * MDB_PGSIZE;

constexpr std::uint32_t kInline = 0x80000000u;
constexpr std::uint32_t kOnePage = 0x40000000u;
constexpr std::uint32_t kLengthMask = 0x3FFFFFFFu;

std::uint32_t LittleEndian32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// libmdb 1.0 follows a table's usage map (its list of data pages) without
// looking whether it could read one: a file whose map is missing or too
// short would make it read through a null or too short buffer. A map is a
// type byte and at least one page number.
constexpr std::size_t kShortestUsageMap = 5;

bool HasUsageMap(const MdbTableDef* table) {
    return table->usage_map != nullptr && table->map_sz >= kShortestUsageMap;
}

MdbCatalogEntry* FindTable(MdbHandle* mdb, const char* name) {
    if (mdb->catalog == nullptr) {
        return nullptr;
    }
    for (guint i = 0; i < mdb->catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry != nullptr && entry->object_type == MDB_TABLE &&
            g_ascii_strcasecmp(entry->object_name, name) == 0) {
            return entry;
        }
    }
    return nullptr;
}

// libmdb reads a long value into the column's bound buffer; the buffer is
// ours only while one value is read, so rows are fetched unbound (and
// libmdb converts nothing).
class CBoundBuffer {
public:
    explicit CBoundBuffer(MdbColumn* column) : m_column(column), m_buffer(kChunkBuffer) {
        m_column->bind_ptr = m_buffer.data();
    }
    ~CBoundBuffer() { m_column->bind_ptr = nullptr; }
    CBoundBuffer(const CBoundBuffer&) = delete;
    CBoundBuffer& operator=(const CBoundBuffer&) = delete;

    void AppendTo(std::string& out, std::size_t length) const {
        out.append(m_buffer.data(), std::min(length, m_buffer.size()));
    }

private:
    MdbColumn* m_column;
    std::vector<char> m_buffer;
};

} // namespace

CMdbFile::CMdbFile(MdbHandle* mdb, std::vector<char> bytes)
    : m_mdb(mdb), m_bytes(std::move(bytes)) {}

CMdbFile::~CMdbFile() {
    mdb_close(m_mdb);
}

std::unique_ptr<CMdbFile> CMdbFile::Open(const std::string& path) {
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<CMdbFile>(new CMdbFile(mdb, {}));
}

std::unique_ptr<CMdbFile> CMdbFile::OpenBytes(const void* bytes, std::size_t size) {
    if (size == 0) {
        return nullptr;
    }
    std::vector<char> copy(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
    MdbHandle* mdb = mdb_open_buffer(copy.data(), copy.size(), MDB_NOFLAGS);
    if (mdb == nullptr) {
        return nullptr;
    }
    // The vector's storage stays where it is when the vector is moved.
    return std::unique_ptr<CMdbFile>(new CMdbFile(mdb, std::move(copy)));
}

bool CMdbFile::IsJet3() const {
    return m_mdb->f->jet_version == MDB_VER_JET3;
}

std::string CMdbFile::FormatName() const {
    switch (m_mdb->f->jet_version) {
    case MDB_VER_JET3:
        return "Jet3 (Access 97)";
    case MDB_VER_JET4:
        return "Jet4 (Access 2000-2003)";
    case MDB_VER_ACCDB_2007:
        return "Access 2007";
    default:
        return "Access 2010 or newer";
    }
}

bool CMdbFile::ReadCatalog() {
    // libmdb reads the list of tables from the table MSysObjects, defined
    // on page 2: its definition is read here first, as libmdb will, to see
    // that libmdb can walk it.
    MdbCatalogEntry entry{};
    entry.mdb = m_mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = 2;
    std::strcpy(entry.object_name, "MSysObjects");
    MdbTableDef* objects = mdb_read_table(&entry);
    if (objects == nullptr) {
        return false;
    }
    const bool walkable = HasUsageMap(objects);
    mdb_free_tabledef(objects);
    return walkable && mdb_read_catalog(m_mdb, MDB_TABLE) != nullptr;
}

CMdbTable::CMdbTable(MdbHandle* mdb, MdbTableDef* table) : m_mdb(mdb), m_table(table) {}

CMdbTable::~CMdbTable() {
    mdb_free_tabledef(m_table);
}

bool CMdbTable::Exists(const CMdbFile& file, const char* name) {
    return FindTable(file.Handle(), name) != nullptr;
}

std::unique_ptr<CMdbTable> CMdbTable::Open(const CMdbFile& file, const char* name) {
    MdbCatalogEntry* entry = FindTable(file.Handle(), name);
    if (entry == nullptr) {
        return nullptr;
    }
    MdbTableDef* table = mdb_read_table(entry);
    if (table == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CMdbTable> opened(new CMdbTable(file.Handle(), table));
    if (!HasUsageMap(table) || mdb_read_columns(table) == nullptr) {
        return nullptr;
    }
    mdb_rewind_table(table);
    return opened;
}

MdbColumn* CMdbTable::At(int column) const {
    return static_cast<MdbColumn*>(g_ptr_array_index(m_table->columns, static_cast<guint>(column)));
}

int CMdbTable::Column(const char* name) const {
    if (m_table->columns == nullptr) {
        return -1;
    }
    for (guint i = 0; i < m_table->columns->len; ++i) {
        const int index = static_cast<int>(i);
        if (g_ascii_strcasecmp(At(index)->name, name) == 0) {
            return index;
        }
    }
    return -1;
}

int CMdbTable::ColumnType(int column) const {
    return At(column)->col_type;
}

std::uint32_t CMdbTable::DeclaredRows() const {
    return m_table->num_rows;
}

bool CMdbTable::Next() {
    return mdb_fetch_row(m_table) != 0;
}

std::optional<std::string_view> CMdbTable::Bytes(int column) const {
    const MdbColumn* col = At(column);
    const int start = col->cur_value_start;
    const int length = col->cur_value_len;
    if (length == 0) {
        return std::string_view();
    }
    if (start < 0 || length < 0 || static_cast<ssize_t>(start) + length > m_mdb->fmt->pg_size ||
        m_mdb->fmt->pg_size > static_cast<ssize_t>(sizeof(m_mdb->pg_buf))) {
        return std::nullopt;
    }
    return std::string_view(reinterpret_cast<const char*>(m_mdb->pg_buf) + start,
                            static_cast<std::size_t>(length));
}

std::optional<std::string> CMdbTable::LongBytes(int column) {
    const std::optional<std::string_view> inRow = Bytes(column);
    if (!inRow.has_value()) {
        return std::nullopt;
    }
    if (inRow->empty()) {
        return std::string();
    }
    if (inRow->size() < kLongValueHeader) {
        return std::nullopt;
    }
    unsigned char header[kLongValueHeader];
    std::memcpy(header, inRow->data(), kLongValueHeader);
    const std::uint32_t word = LittleEndian32(header);
    const std::size_t declared = word & kLengthMask;

    MdbColumn* col = At(column);
    CBoundBuffer buffer(col);
    std::string value;
    const std::size_t first = mdb_ole_read(m_mdb, col, header, kChunkBuffer);
    buffer.AppendTo(value, first);
    if ((word & (kInline | kOnePage)) == 0) {
        // A chain of long-value rows, each naming the next: a chain that
        // comes back to a row it passed, or runs past the declared length,
        // is damaged.
        std::set<guint32> visited{LittleEndian32(header + 4)};
        while (value.size() <= declared && col->cur_blob_pg_row != 0 &&
               visited.insert(col->cur_blob_pg_row).second) {
            const std::size_t next = mdb_ole_read_next(m_mdb, col, header);
            if (next == 0) {
                break;
            }
            buffer.AppendTo(value, next);
        }
    }
    if (value.size() != declared) {
        return std::nullopt;
    }
    return value;
}
