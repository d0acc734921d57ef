#include "import/KeyText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

TEST(KeyText, BytesOfAReplicationIdReadAsWindowsWritesThem) {
    const unsigned char bytes[16] = {0xF0, 0x44, 0x09, 0x3E, 0x26, 0x0D, 0xBB, 0x4D,
                                     0xA3, 0x74, 0xEF, 0x57, 0x5A, 0xBE, 0x98, 0x78};
    EXPECT_EQ(FormatKeyBytes(bytes), "{3E0944F0-0D26-4DBB-A374-EF575ABE9878}");
}

struct KeyCase {
    const char* label;
    std::string text;
    std::string key; // empty: no key
};
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.label;
}

class KeyInText : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyInText, IsBracedUpperCase) {
    EXPECT_EQ(NormalizeKeyText(GetParam().text), GetParam().key);
}

const std::string kKey = "{3E0944F0-0D26-4DBB-A374-EF575ABE9878}";

INSTANTIATE_TEST_SUITE_P(
    Forms, KeyInText,
    testing::Values(KeyCase{"braced", kKey, kKey},
                    KeyCase{"lowerCase", "{3e0944f0-0d26-4dbb-a374-ef575abe9878}", kKey},
                    KeyCase{"noBraces", "3E0944F0-0D26-4DBB-A374-EF575ABE9878", kKey},
                    KeyCase{"fourthHyphenMissing", "{3E0944F0-0D26-4DBB-A374EF575ABE9878}", kKey},
                    KeyCase{"noHyphens", "3E0944F00D264DBBA374EF575ABE9878", kKey},
                    KeyCase{"wrapped", "{guid " + kKey + "}", kKey},
                    KeyCase{"spaces", "  " + kKey + "\t", kKey}, KeyCase{"empty", "", ""},
                    KeyCase{"oneDigitShort", kKey.substr(0, 36) + "}", ""},
                    KeyCase{"oneDigitLong", "{3E0944F0-0D26-4DBB-A374-EF575ABE98780}", ""},
                    KeyCase{"notHex", "{3E0944F0-0D26-4DBB-A374-EF575ABE987G}", ""},
                    KeyCase{"name", "Greetings", ""}),
    [](const testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.label); });

} // namespace
