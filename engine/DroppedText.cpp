#include "engine/DroppedText.h"

#include <algorithm>

namespace {

constexpr char kWhiteSpace[] = " \t\r\n\v\f";

std::string TrimEnd(std::string text) {
    // npos + 1 is 0: a text of white space alone ends up empty.
    text.erase(text.find_last_not_of(kWhiteSpace) + 1);
    return text;
}

// A UTF-8 continuation byte (10xxxxxx) never starts a character.
bool StartsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
}

} // namespace

std::string TrimDroppedText(const std::string& text) {
    const std::string trimmed = TrimEnd(text);
    return trimmed.substr(std::min(trimmed.find_first_not_of(kWhiteSpace), trimmed.size()));
}

std::string MnemonicFromText(const std::string& text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    std::size_t end = 0;
    for (; end < text.size(); ++end) {
        if (StartsCharacter(text[end])) {
            if (characters == maxCharacters) {
                break;
            }
            ++characters;
        }
    }
    return TrimEnd(text.substr(0, end));
}

DroppedItem MakeDroppedItem(const std::string& text) {
    DroppedItem item;
    const std::string trimmed = TrimDroppedText(text);
    item.verdict = trimmed.empty()                           ? DroppedTextVerdict::Empty
                   : trimmed.find('\0') != std::string::npos ? DroppedTextVerdict::HoldsNul
                   : trimmed.find('|') != std::string::npos  ? DroppedTextVerdict::HoldsSeparator
                                                             : DroppedTextVerdict::Accepted;
    if (item.verdict == DroppedTextVerdict::Accepted) {
        item.mnemonic = MnemonicFromText(trimmed);
        item.data = trimmed + "9|";
    }
    return item;
}
