#include "import/KeyText.h"

#include <array>
#include <cctype>
#include <cstddef>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string FormatKeyBytes(const unsigned char* bytes) {
    // Byte order of each group as it is written: 4 and 2 and 2 bytes
    // little-endian, then 2 and 6 bytes as they come.
    static constexpr std::array<std::size_t, 16> kOrder = {3, 2, 1,  0,  5,  4,  7,  6,
                                                           8, 9, 10, 11, 12, 13, 14, 15};
    std::string key;
    key.reserve(38);
    key += '{';
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            key += '-';
        }
        key += kHexDigits[bytes[kOrder[i]] >> 4];
        key += kHexDigits[bytes[kOrder[i]] & 0x0F];
    }
    key += '}';
    return key;
}

std::string NormalizeKeyText(std::string_view text) {
    text = Trimmed(text);
    constexpr std::string_view kWrapped = "{guid ";
    if (text.size() > kWrapped.size() + 1 && text.substr(0, kWrapped.size()) == kWrapped &&
        text.back() == '}') {
        text = Trimmed(text.substr(kWrapped.size(), text.size() - kWrapped.size() - 1));
    }
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, text.size() - 2);
    }
    std::string digits;
    digits.reserve(32);
    for (const char c : text) {
        if (c == '-') {
            continue;
        }
        // isxdigit knows only 0-9, a-f and A-F, in every locale.
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0 || digits.size() == 32) {
            return {};
        }
        digits += c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (digits.size() != 32) {
        return {};
    }
    return '{' + digits.substr(0, 8) + '-' + digits.substr(8, 4) + '-' + digits.substr(12, 4) +
           '-' + digits.substr(16, 4) + '-' + digits.substr(20, 12) + '}';
}
