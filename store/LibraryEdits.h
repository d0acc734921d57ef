#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The palette's single-row edits of the library, each by key in one
// recordset of its own: what the category and item menus and a drop onto
// the list write. Database errors are thrown; a row that is no longer
// there is told by the result, so the caller can say so in its own words.
namespace LibraryEdits {

// A new category at `zOrder`; returns its key.
std::string AddCategory(const std::string& name, std::int32_t zOrder);
bool RenameCategory(const std::string& key, const std::string& name);
// Deletes the category; the library deletes its items with it.
bool DeleteCategory(const std::string& key);

bool HasCategory(const std::string& key);

struct NewItem {
    std::string categoryKey;
    std::string mnemonic;
    std::string data;
    std::int16_t leading = 0;
    std::int16_t trailing = 0;
    std::int32_t zOrder = 0;
};
// The new item's key, or nothing when its category is no longer there.
std::optional<std::string> AddItem(const NewItem& item);
// The item's mnemonic, or nothing when the item is no longer there.
std::optional<std::string> ReadMnemonic(const std::string& key);
bool RenameItem(const std::string& key, const std::string& mnemonic);
bool DeleteItem(const std::string& key);

} // namespace LibraryEdits
