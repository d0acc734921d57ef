#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Older library files (.mdb) of any size for tests and benchmarks, grown
// from a small one: rows are appended to its tables on new data pages at
// the end of the file (listed in the table's usage map, counted in the
// table's row count), long texts on chains of long-value pages. The rows
// are packed by libmdb itself. The tables' indexes are left as they were:
// a table read from its first row to its last never looks at them.
class CMdbGrower {
public:
    struct Category {
        std::string key; // braced identifier
        std::string description;
        std::int16_t zOrder = 0;
        std::string textKey;
    };
    struct Item {
        std::string categoryKey;
        std::string data;
        std::string mnemonic;
        std::string key; // braced identifier
        std::int16_t zOrder = 0;
        std::int16_t punctuationLeading = 0;
        std::int16_t punctuationTrailing = 0;
    };

    // Starts from the older library file at `path` (Access 2000-2003).
    explicit CMdbGrower(const std::string& path);
    ~CMdbGrower();
    CMdbGrower(const CMdbGrower&) = delete;
    CMdbGrower& operator=(const CMdbGrower&) = delete;

    void Add(const Category& category);
    void Add(const Item& item);
    // An item whose text lies on a chain of long-value pages whose last row
    // names the first again, the text declared three times as long.
    void AddItemWithLoopedText(const Item& item);

    // Writes the grown file; throws std::runtime_error when the rows don't
    // fit into what the template's usage maps can list.
    void Save(const std::string& path);

    // A random braced identifier.
    static std::string NewKey();

private:
    struct Layout;
    std::unique_ptr<Layout> m_layout;
};
