#include "engine/DroppedText.h"
#include "engine/ComposeText.h"
#include "engine/VerbiageIteration.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DropCase {
    const char* name;
    std::string dropped;
    DroppedTextVerdict verdict;
    std::string data;
    std::string mnemonic;
};

class DroppedText : public testing::TestWithParam<DropCase> {};

TEST_P(DroppedText, BecomesOneIterationOfWeightNine) {
    const DropCase& c = GetParam();
    const DroppedItem item = MakeDroppedItem(c.dropped);
    EXPECT_EQ(item.verdict, c.verdict);
    EXPECT_EQ(item.data, c.data);
    EXPECT_EQ(item.mnemonic, c.mnemonic);
}

const std::string k80 =
    "Thank you for your letter of the fifth. We will reply within ten working days.";
const std::string kEuro50 = std::string(49, 'a') + "\xE2\x82\xAC"; // 50 characters, 52 bytes

INSTANTIATE_TEST_SUITE_P(
    Texts, DroppedText,
    testing::Values(
        DropCase{"Plain", "Hello", DroppedTextVerdict::Accepted, "Hello9|", "Hello"},
        DropCase{"TrimmedBothEnds", "  \tHello there \r\n", DroppedTextVerdict::Accepted,
                 "Hello there9|", "Hello there"},
        DropCase{"EndsInDigit", "Room 101", DroppedTextVerdict::Accepted, "Room 1019|", "Room 101"},
        DropCase{"EightyCharacters", k80, DroppedTextVerdict::Accepted, k80 + "9|",
                 k80.substr(0, 50)},
        DropCase{"MnemonicLosesBlanksAtItsEnd", std::string(49, 'x') + " tail",
                 DroppedTextVerdict::Accepted, std::string(49, 'x') + " tail9|",
                 std::string(49, 'x')},
        DropCase{"MultiByteNeverSplit",
                 kEuro50 + "\xE2\x82\xAC"
                           "b",
                 DroppedTextVerdict::Accepted,
                 kEuro50 + "\xE2\x82\xAC"
                           "b9|",
                 kEuro50},
        DropCase{"LineBreaksStayInside", "Dear Sir,\r\nThanks.\r\n", DroppedTextVerdict::Accepted,
                 "Dear Sir,\r\nThanks.9|", "Dear Sir,\r\nThanks."},
        DropCase{"Empty", "", DroppedTextVerdict::Empty, "", ""},
        DropCase{"OnlyWhiteSpace", " \r\n\t ", DroppedTextVerdict::Empty, "", ""},
        DropCase{"Separator", "a|b", DroppedTextVerdict::HoldsSeparator, "", ""},
        DropCase{"Nul", std::string("a\0b", 3), DroppedTextVerdict::HoldsNul, "", ""}),
    [](const testing::TestParamInfo<DropCase>& p) { return std::string(p.param.name); });

TEST(DroppedText, DataReadsBackAsTheWholeText) {
    SetRandomSource([] { return 32767; });
    const std::string text = "  Gr\xC3\xBC\xC3\x9F"
                             "e, 42\r\nund mehr 7  ";
    const DroppedItem item = MakeDroppedItem(text);
    std::string composed;
    EXPECT_EQ(ComposeText(composed, item.data, 0, 0), 1);
    EXPECT_EQ(composed, TrimDroppedText(text));
    CVerbiageIteration model;
    model.m_strData = item.data;
    model.ParseData();
    ASSERT_EQ(model.m_arrIterations.GetSize(), 1u);
    model.BuildData();
    EXPECT_EQ(model.m_strData, item.data);
    SetRandomSource({});
}

} // namespace
