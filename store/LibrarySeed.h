#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CLibraryConnection;

// Starter content for a new library.
struct LibrarySeedItem {
    std::string mnemonic;
    std::string data;
    std::int16_t punctuationLeading = 0;
    std::int16_t punctuationTrailing = 0;
};
struct LibrarySeedCategory {
    std::string description;
    std::vector<LibrarySeedItem> items;
};

// Adds the categories (ZOrder in the given order) and their items to a new
// library, in the caller's transaction. The same statements serve both
// engines.
void InsertSeed(CLibraryConnection& connection, const std::vector<LibrarySeedCategory>& seed);
