#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What an older library file (.mdb) holds, read and made UTF-8: its
// categories and items in the order the file keeps them. Rows the file
// marks deleted are not here.

struct OldCategory {
    // Braced upper-case identifier; empty when the row has no key.
    std::string key;
    std::string description;
    std::int32_t zOrder = 0;
    // The key again as text (strCategoryID): braced upper-case when it
    // holds a key, otherwise as stored; empty when Null or empty.
    std::string textKey;
};

struct OldItem {
    // The owning category's key: braced upper-case when the text holds a
    // key, otherwise as stored.
    std::string categoryKey;
    std::string data;
    std::string mnemonic;
    // Braced upper-case identifier; empty when the row has no key.
    std::string key;
    std::int32_t zOrder = 0;
    std::int32_t punctuationLeading = 0;
    std::int32_t punctuationTrailing = 0;
};

struct OldLibrary {
    std::string source; // the file's path, as given
    std::string format; // "Jet4 (Access 2000-2003)", ...
    std::vector<OldCategory> categories;
    std::vector<OldItem> items;
    // What was read in a way the user should hear of (text that was not
    // valid in its encoding, a column the file lacks), one sentence each.
    std::vector<std::string> warnings;
};
