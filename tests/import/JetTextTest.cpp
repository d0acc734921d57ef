#include "import/JetText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct TextCase {
    const char* label;
    bool jet3;
    std::string bytes;
    std::string utf8;
    int replaced;
};
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.label;
}

class StoredText : public testing::TestWithParam<TextCase> {};

TEST_P(StoredText, ComesOutAsUtf8CharacterForCharacter) {
    const TextCase& c = GetParam();
    const DecodedText text = c.jet3 ? DecodeWindows1252(c.bytes) : DecodeJet4Text(c.bytes);
    EXPECT_EQ(text.utf8, c.utf8);
    EXPECT_EQ(text.replaced, c.replaced);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Jet4, StoredText,
    testing::Values(TextCase{"empty", false, "", "", 0},
                    TextCase{"markOnly", false, "\xFF\xFE", "", 0},
                    TextCase{"utf16", false, "H\0i\0"s, "Hi", 0},
                    TextCase{"utf16Greek", false, "\xB3\x03\xB5\x03"s, "γε", 0},
                    TextCase{"compressed", false, "\xFF\xFEHello", "Hello", 0},
                    TextCase{"compressedLatin1", false, "\xFF\xFE\xDF\xFC", "ßü", 0},
                    TextCase{"compressedBreaksAndTabs", false,
                             "\xFF\xFE"
                             "a\r\n\tb9|",
                             "a\r\n\tb9|", 0},
                    // A zero byte switches to two bytes per character and back.
                    TextCase{"combiningMarkRun", false,
                             "\xFF\xFE"
                             "cafe\0\x01\x03"s,
                             "cafe\xCC\x81", 0},
                    TextCase{"runAndBack", false,
                             "\xFF\xFE"
                             "a\0\xB1\x03\0b"s,
                             "aαb", 0},
                    TextCase{"surrogatePair", false, "\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80", 0},
                    // (A run never holds a character whose low byte is zero: that
                    // byte would switch back.)
                    TextCase{"surrogatePairInRun", false,
                             "\xFF\xFE"
                             "x\0\x3D\xD8\x0A\xDE"s,
                             "x\xF0\x9F\x98\x8A", 0},
                    TextCase{"loneHighSurrogate", false,
                             "\x3D\xD8"
                             "A\0"s,
                             "\xEF\xBF\xBD"
                             "A",
                             1},
                    TextCase{"loneLowSurrogate", false, "A\0\x00\xDE"s, "A\xEF\xBF\xBD", 1},
                    TextCase{"highSurrogateAtEnd", false, "A\0\x3D\xD8"s, "A\xEF\xBF\xBD", 1},
                    TextCase{"oddLength", false, "A\0B"s, "A\xEF\xBF\xBD", 1},
                    TextCase{"halfCharacterInRun", false,
                             "\xFF\xFE"
                             "a\0\x41"s,
                             "a\xEF\xBF\xBD", 1},
                    TextCase{"zeroCharacterKept", false, "A\0\0\0B\0"s, "A\0B"s, 0}),
    [](const testing::TestParamInfo<TextCase>& param) { return std::string(param.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Jet3, StoredText,
    testing::Values(
        TextCase{"ascii", true, "Dear Sir or Madam,9|", "Dear Sir or Madam,9|", 0},
        TextCase{"latin1", true, "\xDF\xFC\xF6\xC0\xF4\xA7", "ßüöÀô§", 0},
        // 0x80 to 0x9F hold characters, not control codes.
        TextCase{"windowsCharacters", true,
                 "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96"
                 "\x97\x98\x99\x9A\x9B\x9C\x9E\x9F",
                 "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ", 0},
        TextCase{"undefinedBytes", true,
                 "a\x81"
                 "b\x8D\x8F\x90\x9D",
                 "a\xEF\xBF\xBD"
                 "b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
                 5},
        TextCase{"breaks", true, "a\r\nb\tc", "a\r\nb\tc", 0}),
    [](const testing::TestParamInfo<TextCase>& param) { return std::string(param.param.label); });

} // namespace
