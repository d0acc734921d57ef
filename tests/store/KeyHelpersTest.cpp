#include "store/KeyHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ExtractCase {
    std::string input;
    std::string expected;
};

class ExtractBraced : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractBraced, TakesTheFirstBracePairFromTheSecondCharacterOn) {
    EXPECT_EQ(ExtractBracedIdentifier(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExtractBraced,
    testing::Values(ExtractCase{"{guid {6B29FC40-CA47-4067-B31D-00DD010662DA}}",
                                "{6B29FC40-CA47-4067-B31D-00DD010662DA}"},
                    // A braced identifier as it stands: its own brace is at the start,
                    // so no pair is found from the second character on.
                    ExtractCase{"{6B29FC40-CA47-4067-B31D-00DD010662DA}", ""},
                    ExtractCase{"x{ab}", "{ab}"}, ExtractCase{"{guid {unterminated", ""},
                    ExtractCase{"", ""}, ExtractCase{"{", ""}, ExtractCase{"a{}b}", "{}"}));

TEST(MakeSeekKey, KeepsTheBytesAsTheyAre) {
    const std::string key = "{6B29FC40-CA47-4067-B31D-00DD010662DA}";
    EXPECT_EQ(MakeSeekKey(key).toByteArray(), QByteArray(key.c_str()));
    EXPECT_EQ(MakeSeekKey(key.c_str()), MakeSeekKey(key));
    EXPECT_EQ(MakeSeekKey("caf\xE9").toByteArray(), QByteArray("caf\xE9"));
    EXPECT_TRUE(MakeSeekKey(nullptr).isNull());
}

} // namespace
