#include "engine/DroppedText.h"

#include <algorithm>

namespace {

bool IsDropWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimEnd(std::string text) {
    std::size_t end = text.size();
    while (end > 0 && IsDropWhiteSpace(text[end - 1])) {
        --end;
    }
    text.resize(end);
    return text;
}

// A UTF-8 continuation byte (10xxxxxx) never starts a character.
bool StartsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
}

} // namespace

std::string TrimDroppedText(const std::string& text) {
    const std::string trimmed = TrimEnd(text);
    return {std::find_if_not(trimmed.begin(), trimmed.end(), IsDropWhiteSpace), trimmed.end()};
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
