#pragma once

#include "engine/NameLength.h"

#include <cstddef>
#include <string>

// The rules that turn text dropped onto the mnemonic list into a new item.
// Texts are UTF-8; lengths count characters (code points), never bytes, so
// a character is never split.

// Blanks, tabs and line breaks removed from the end, then from the start.
std::string TrimDroppedText(const std::string& text);

// At most the first `maxCharacters` characters of `text`, then white space
// removed from the end again. Line breaks inside stay.
std::string MnemonicFromText(const std::string& text, std::size_t maxCharacters = kNameLength);

// Why a dropped text can't become an item, or Accepted.
enum class DroppedTextVerdict {
    Accepted,
    Empty,          // nothing but white space (or no text at all)
    HoldsSeparator, // "|" would split the item's one text into records
    HoldsNul,       // the zero byte can't be part of an item's text
};

struct DroppedItem {
    DroppedTextVerdict verdict = DroppedTextVerdict::Empty;
    std::string data;     // the trimmed text followed by "9|"
    std::string mnemonic; // its first characters
};

// Checks and converts a dropped text: the whole trimmed text becomes the
// item's one iteration with weight 9.
DroppedItem MakeDroppedItem(const std::string& text);
