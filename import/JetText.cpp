#include "import/JetText.h"

#include <array>
#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Turns UTF-16 code units into UTF-8, pairing surrogates; a surrogate
// without its partner becomes U+FFFD.
class CUtf16Sink {
public:
    explicit CUtf16Sink(DecodedText& text) : m_text(text) {}

    void Put(char16_t unit) {
        if (m_pendingHigh != 0) {
            const char16_t high = m_pendingHigh;
            m_pendingHigh = 0;
            if (IsLowSurrogate(unit)) {
                AppendUtf8(m_text.utf8, 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
                                            (static_cast<char32_t>(unit) - 0xDC00));
                return;
            }
            Replace();
        }
        if (IsHighSurrogate(unit)) {
            m_pendingHigh = unit;
        } else if (IsLowSurrogate(unit)) {
            Replace();
        } else {
            AppendUtf8(m_text.utf8, unit);
        }
    }
    void Replace() {
        Flush();
        AppendUtf8(m_text.utf8, kReplacement);
        ++m_text.replaced;
    }
    void Flush() {
        if (m_pendingHigh != 0) {
            m_pendingHigh = 0;
            AppendUtf8(m_text.utf8, kReplacement);
            ++m_text.replaced;
        }
    }

private:
    DecodedText& m_text;
    char16_t m_pendingHigh = 0;
};

char16_t UnitAt(std::string_view bytes, std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
}

// Windows-1252's characters for the bytes 0x80 to 0x9F; 0 where the code
// page defines none.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

DecodedText DecodeJet4Text(std::string_view bytes) {
    DecodedText text;
    text.utf8.reserve(bytes.size());
    CUtf16Sink sink(text);
    const bool compressed = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                            static_cast<unsigned char>(bytes[1]) == 0xFE;
    // Plain UTF-16 is read as a compressed text's two-byte stretch.
    bool oneByte = compressed;
    std::size_t i = compressed ? 2 : 0;
    while (i < bytes.size()) {
        if (compressed && bytes[i] == '\0') {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            sink.Put(static_cast<unsigned char>(bytes[i]));
            ++i;
        } else if (i + 1 < bytes.size()) {
            sink.Put(UnitAt(bytes, i));
            i += 2;
        } else {
            sink.Replace(); // half a character
            ++i;
        }
    }
    sink.Flush();
    return text;
}

DecodedText DecodeWindows1252(std::string_view bytes) {
    DecodedText text;
    text.utf8.reserve(bytes.size());
    CUtf16Sink sink(text);
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        const char16_t unit = code < 0x80 || code >= 0xA0 ? code : kHighControls[code - 0x80u];
        if (unit == 0 && code != 0) {
            sink.Replace(); // a byte the code page leaves undefined
        } else {
            sink.Put(unit);
        }
    }
    return text;
}
