#include "tests/support/MdbGrower.h"

// libmdb's header uses glib's types without including glib first.
#include <glib.h>
#include <mdbtools.h>

#include <QString>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kLongValueHeader = MDB_MEMO_OVERHEAD;
constexpr std::size_t kInlineLimit = 256;
constexpr std::uint32_t kInline = 0x80000000u;
constexpr std::uint32_t kOnePage = 0x40000000u;

void Put16(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}
void Put32(unsigned char* at, std::uint32_t value) {
    Put16(at, value);
    Put16(at + 2, value >> 16);
}
std::uint32_t Get16(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8);
}
std::uint32_t Get32(const unsigned char* at) {
    return Get16(at) | (Get16(at + 2) << 16);
}

// Text as Access 2000-2003 stores it: "compressed" (FF FE, then one byte
// per character) when every character fits into a byte, UTF-16 otherwise.
Bytes Jet4Text(const std::string& utf8) {
    const std::u16string units = QString::fromUtf8(utf8).toStdU16String();
    const bool fits = std::all_of(units.begin(), units.end(),
                                  [](char16_t unit) { return unit > 0 && unit < 0x100; });
    Bytes bytes;
    if (fits && !units.empty()) {
        bytes = {0xFF, 0xFE};
        for (const char16_t unit : units) {
            bytes.push_back(static_cast<unsigned char>(unit));
        }
        return bytes;
    }
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<unsigned char>(unit));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

// The 16 bytes of a braced identifier: the first three groups little-endian.
Bytes KeyBytes(const std::string& key) {
    std::string hex;
    std::copy_if(key.begin(), key.end(), std::back_inserter(hex),
                 [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
    if (hex.size() != 32) {
        throw std::runtime_error("not a key: " + key);
    }
    Bytes raw;
    for (std::size_t i = 0; i < 32; i += 2) {
        raw.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    static constexpr std::array<std::size_t, 16> kOrder = {3, 2, 1,  0,  5,  4,  7,  6,
                                                           8, 9, 10, 11, 12, 13, 14, 15};
    Bytes bytes(16);
    for (std::size_t i = 0; i < 16; ++i) {
        bytes[kOrder[i]] = raw[i];
    }
    return bytes;
}

Bytes Short(std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    return {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8)};
}

} // namespace

struct CMdbGrower::Layout {
    struct Table {
        MdbTableDef* def = nullptr;
        std::uint32_t added = 0;
        std::size_t openPage = 0; // the page rows go to now; 0 for none
    };

    Bytes file;
    MdbHandle* mdb = nullptr;
    std::size_t pageSize = 0;
    std::size_t rowCountOffset = 0;
    Table categories;
    Table items;

    ~Layout() {
        for (Table* table : {&categories, &items}) {
            if (table->def != nullptr) {
                mdb_free_tabledef(table->def);
            }
        }
        if (mdb != nullptr) {
            mdb_close(mdb);
        }
    }

    unsigned char* Page(std::size_t page) { return file.data() + page * pageSize; }

    std::size_t NewPage(const unsigned char owner[4]) {
        const std::size_t page = file.size() / pageSize;
        file.resize(file.size() + pageSize, 0);
        unsigned char* at = Page(page);
        at[0] = 0x01; // data page
        at[1] = 0x01;
        Put16(at + 2, static_cast<std::uint32_t>(pageSize - rowCountOffset - 2));
        std::memcpy(at + 4, owner, 4);
        return page;
    }

    std::size_t FreeSpace(std::size_t page) { return Get16(Page(page) + 2); }

    // Puts a row on the page; returns its number there.
    std::uint32_t PutRow(std::size_t page, const Bytes& row) {
        unsigned char* at = Page(page);
        const std::uint32_t rows = Get16(at + rowCountOffset);
        const std::size_t end =
            rows == 0 ? pageSize : (Get16(at + rowCountOffset + 2 * rows) & 0x1FFF);
        const std::size_t start = end - row.size();
        std::memcpy(at + start, row.data(), row.size());
        Put16(at + rowCountOffset + 2 + 2 * rows, static_cast<std::uint32_t>(start));
        Put16(at + rowCountOffset, rows + 1);
        Put16(at + 2, static_cast<std::uint32_t>(start - (rowCountOffset + 2 + 2 * (rows + 1))));
        return rows;
    }

    // Sets the page's bit in the table's usage map.
    void MarkUsed(const Table& table, std::size_t page) {
        const unsigned char* tdef = Page(table.def->entry->table_pg);
        const std::uint32_t pointer = Get32(tdef + mdb->fmt->tab_usage_map_offset);
        unsigned char* mapPage = Page(pointer >> 8);
        const std::uint32_t row = pointer & 0xFF;
        const std::size_t start = Get16(mapPage + rowCountOffset + 2 + 2 * row) & 0x1FFF;
        const std::size_t end =
            row == 0 ? pageSize : (Get16(mapPage + rowCountOffset + 2 * row) & 0x1FFF);
        unsigned char* map = mapPage + start;
        const std::size_t length = end - start;
        if (map[0] == 0) { // the bits themselves, from a first page on
            const std::size_t bit = page - Get32(map + 1);
            if (5 + bit / 8 >= length) {
                throw std::runtime_error("the usage map can't list page " + std::to_string(page));
            }
            map[5 + bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
            return;
        }
        // Pages of bits, each for (page size - 4) * 8 pages.
        const std::size_t perMapPage = (pageSize - 4) * 8;
        const std::size_t slot = 1 + 4 * (page / perMapPage);
        const std::uint32_t bitsPage = slot + 4 <= length ? Get32(map + slot) : 0;
        if (bitsPage == 0) {
            throw std::runtime_error("the usage map can't list page " + std::to_string(page));
        }
        const std::size_t bit = page % perMapPage;
        Page(bitsPage)[4 + bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
    }

    void Append(Table& table, const Bytes& row) {
        if (table.openPage == 0 || FreeSpace(table.openPage) < row.size() + 2) {
            unsigned char owner[4];
            Put32(owner, static_cast<std::uint32_t>(table.def->entry->table_pg));
            table.openPage = NewPage(owner);
            MarkUsed(table, table.openPage);
        }
        PutRow(table.openPage, row);
        ++table.added;
    }

    // A long value's 12 bytes in the row, its text in the row or on
    // long-value pages.
    Bytes LongValue(const Bytes& text, bool looped) {
        Bytes header(kLongValueHeader, 0);
        const auto size = static_cast<std::uint32_t>(text.size());
        static constexpr unsigned char kOwner[4] = {'L', 'V', 'A', 'L'};
        const std::size_t chunk = pageSize - rowCountOffset - 2 - 2 - 4;
        if (text.size() <= kInlineLimit && !looped) {
            Put32(header.data(), size | kInline);
            header.insert(header.end(), text.begin(), text.end());
        } else if (text.size() <= chunk && !looped) {
            const std::size_t page = NewPage(kOwner);
            const std::uint32_t row = PutRow(page, text);
            Put32(header.data(), size | kOnePage);
            Put32(header.data() + 4, static_cast<std::uint32_t>(page << 8) | row);
        } else {
            const std::size_t pieces = (text.size() + chunk - 1) / chunk;
            const std::size_t first = file.size() / pageSize;
            for (std::size_t i = 0; i < pieces; ++i) {
                const std::size_t page = NewPage(kOwner);
                const std::size_t next = i + 1 < pieces ? page + 1 : (looped ? first : 0);
                Bytes row(4);
                Put32(row.data(), static_cast<std::uint32_t>(next << 8));
                const auto from = text.begin() + static_cast<std::ptrdiff_t>(i * chunk);
                row.insert(
                    row.end(), from,
                    from + static_cast<std::ptrdiff_t>(std::min(chunk, text.size() - i * chunk)));
                PutRow(page, row);
            }
            Put32(header.data(), looped ? 3 * size : size);
            Put32(header.data() + 4, static_cast<std::uint32_t>(first << 8));
        }
        return header;
    }

    // Packs a row with libmdb: `values` by column name, in column order.
    Bytes Pack(const Table& table, const std::vector<std::pair<const char*, Bytes>>& values) {
        const guint count = table.def->columns->len;
        std::vector<MdbField> fields(count);
        std::vector<Bytes> kept(count);
        for (guint i = 0; i < count; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table.def->columns, i));
            const auto index = static_cast<std::size_t>(column->col_num);
            MdbField& field = fields[index];
            field.colnum = column->col_num;
            field.is_fixed = column->is_fixed;
            field.is_null = 1;
            for (const auto& [name, bytes] : values) {
                if (g_ascii_strcasecmp(name, column->name) == 0) {
                    kept[index] = bytes;
                    field.is_null = 0;
                }
            }
            field.value = kept[index].data();
            field.siz = column->is_fixed ? column->col_size : static_cast<int>(kept[index].size());
        }
        Bytes row(2 * pageSize);
        const int size = mdb_pack_row(table.def, row.data(), count, fields.data());
        row.resize(static_cast<std::size_t>(size));
        if (row.size() + rowCountOffset + 4 > pageSize) {
            throw std::runtime_error("a row too long for a page");
        }
        return row;
    }

    void AddItem(const Item& item, bool looped) {
        const Bytes data = LongValue(Jet4Text(item.data), looped);
        Append(items, Pack(items, {{"CategoryID", Jet4Text(item.categoryKey)},
                                   {"Data", data},
                                   {"Mnemonic", Jet4Text(item.mnemonic)},
                                   {"PhraseID", KeyBytes(item.key)},
                                   {"ZOrder", Short(item.zOrder)},
                                   {"PunctuationLeading", Short(item.punctuationLeading)},
                                   {"PunctuationTrailing", Short(item.punctuationTrailing)}}));
    }
};

CMdbGrower::CMdbGrower(const std::string& path) : m_layout(std::make_unique<Layout>()) {
    Layout& layout = *m_layout;
    std::ifstream in(path, std::ios::binary);
    layout.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    layout.mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (layout.mdb == nullptr || layout.mdb->f->jet_version != MDB_VER_JET4 ||
        mdb_read_catalog(layout.mdb, MDB_TABLE) == nullptr) {
        throw std::runtime_error("not an Access 2000-2003 file: " + path);
    }
    layout.pageSize = static_cast<std::size_t>(layout.mdb->fmt->pg_size);
    layout.rowCountOffset = layout.mdb->fmt->row_count_offset;
    for (auto [table, name] :
         {std::pair{&layout.categories, "tblCategory"}, std::pair{&layout.items, "tblPhrase"}}) {
        // (Not mdb_read_table_by_name: it reads the catalog again, which
        // frees the entries of the tables read before.)
        for (guint i = 0; i < layout.mdb->catalog->len && table->def == nullptr; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(layout.mdb->catalog, i));
            if (entry->object_type == MDB_TABLE &&
                g_ascii_strcasecmp(entry->object_name, name) == 0) {
                table->def = mdb_read_table(entry);
            }
        }
        if (table->def == nullptr || mdb_read_columns(table->def) == nullptr) {
            throw std::runtime_error(std::string("no table ") + name + " in " + path);
        }
    }
}

CMdbGrower::~CMdbGrower() = default;

void CMdbGrower::Add(const Category& category) {
    Layout& layout = *m_layout;
    layout.Append(layout.categories,
                  layout.Pack(layout.categories, {{"CategoryID", KeyBytes(category.key)},
                                                  {"Description", Jet4Text(category.description)},
                                                  {"ZOrder", Short(category.zOrder)},
                                                  {"strCategoryID", Jet4Text(category.textKey)}}));
}

void CMdbGrower::Add(const Item& item) {
    m_layout->AddItem(item, false);
}

void CMdbGrower::AddItemWithLoopedText(const Item& item) {
    m_layout->AddItem(item, true);
}

void CMdbGrower::Save(const std::string& path) {
    Layout& layout = *m_layout;
    for (const Layout::Table* table : {&layout.categories, &layout.items}) {
        unsigned char* count =
            layout.Page(table->def->entry->table_pg) + layout.mdb->fmt->tab_num_rows_offset;
        Put32(count, Get32(count) + table->added);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(layout.file.data()),
              static_cast<std::streamsize>(layout.file.size()));
    if (!out) {
        throw std::runtime_error("can't write " + path);
    }
}

std::string CMdbGrower::NewKey() {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key = "{";
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20) {
            key += '-';
        }
        key += kHex[random() % 16];
    }
    return key + "}";
}
