#include "import/KeyText.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

void AppendHex(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

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

char UpperHex(char c) {
    if (c >= '0' && c <= '9') {
        return c;
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<char>(c - 'a' + 'A');
    }
    if (c >= 'A' && c <= 'F') {
        return c;
    }
    return '\0';
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
        AppendHex(key, bytes[kOrder[i]]);
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
        const char hex = UpperHex(c);
        if (hex == '\0' || digits.size() == 32) {
            return {};
        }
        digits += hex;
    }
    if (digits.size() != 32) {
        return {};
    }
    return '{' + digits.substr(0, 8) + '-' + digits.substr(8, 4) + '-' + digits.substr(12, 4) +
           '-' + digits.substr(16, 4) + '-' + digits.substr(20, 12) + '}';
}
