#include "engine/VerbiageIteration.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Parse(const std::string& data) {
    CVerbiageIteration model;
    model.m_strData = data;
    model.ParseData();
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < model.m_arrIterations.GetSize(); ++i) {
        entries.push_back(model.m_arrIterations.GetAt(i)->m_strIteration);
    }
    return entries;
}

std::string Build(const std::vector<std::string>& entries) {
    CVerbiageIteration model;
    for (const std::string& entry : entries) {
        model.m_arrIterations.Add(std::make_unique<CIteration>(entry));
    }
    model.BuildData();
    return model.m_strData;
}

struct ParseCase {
    const char* name;
    std::string data;
    std::vector<std::string> entries;
    std::string rebuilt;
};

class ParseBuild : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseBuild, ParsesToEntriesAndRebuilds) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(Parse(c.data), c.entries);
    EXPECT_EQ(Build(Parse(c.data)), c.rebuilt);
}

INSTANTIATE_TEST_SUITE_P(
    Data, ParseBuild,
    testing::Values(
        ParseCase{"Empty", "", {}, ""}, ParseCase{"One", "Hello9|", {"Hello9"}, "Hello9|"},
        ParseCase{"TrailingDigitInText", "Room 1013|", {"Room 1013"}, "Room 1013|"},
        ParseCase{"DoubledBarSkipped",
                  "Hello9||Hi there1|",
                  {"Hello9", "Hi there1"},
                  "Hello9|Hi there1|"},
        ParseCase{"LeadingBarSkipped", "|Hello9|", {"Hello9"}, "Hello9|"},
        ParseCase{"NoFinalBar", "Hello9|Hi there1", {"Hello9", "Hi there1"}, "Hello9|Hi there1|"},
        ParseCase{"WeightOnlyDropped", "9|", {"9"}, ""},
        ParseCase{"BarTypedIntoText", "a|b9|", {"a", "b9"}, "b9|"},
        ParseCase{"MultiLine",
                  "Dear Sir,\r\nThanks.5|",
                  {"Dear Sir,\r\nThanks.5"},
                  "Dear Sir,\r\nThanks.5|"},
        ParseCase{"ForeignWeightKept", "OddA|Neg/|", {"OddA", "Neg/"}, "OddA|Neg/|"},
        ParseCase{"Utf8PassesThrough",
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xE2\x82\xAC\xF0\x9F\x98\x80"
                  "7|",
                  {"Gr\xC3\xBC\xC3\x9F"
                   "e \xE2\x82\xAC\xF0\x9F\x98\x80"
                   "7"},
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xE2\x82\xAC\xF0\x9F\x98\x80"
                  "7|"},
        ParseCase{"HighBytes", "\x80\xFF\x01x9|", {"\x80\xFF\x01x9"}, "\x80\xFF\x01x9|"},
        ParseCase{"OnlyBars", "|||", {}, ""}),
    [](const testing::TestParamInfo<ParseCase>& p) { return std::string(p.param.name); });

TEST(VerbiageIteration, WrittenDataRoundTripsByteForByte) {
    // Any Data the program writes (texts without "|", weights 1..9) survives
    // a parse and a build unchanged, whatever bytes the texts hold.
    std::string data;
    for (int i = 0; i < 255; ++i) {
        std::string text = "text " + std::to_string(i);
        const int code = 1 + (i * 7) % 255; // every byte but NUL, high ones included
        text += static_cast<char>(code == '|' ? 'x' : code);
        text += "\r\n\t";
        data += text + static_cast<char>('1' + i % 9) + "|";
    }
    CVerbiageIteration model;
    model.m_strData = data;
    model.ParseData();
    ASSERT_EQ(model.m_arrIterations.GetSize(), 255u);
    model.BuildData();
    EXPECT_EQ(model.m_strData, data);
}

TEST(VerbiageIteration, BuildSkipsBlankAndNullEntries) {
    CVerbiageIteration model;
    model.m_arrIterations.Add(std::make_unique<CIteration>("Hello9"));
    model.m_arrIterations.Add(std::make_unique<CIteration>(""));
    model.m_arrIterations.Add(nullptr);
    model.m_arrIterations.Add(std::make_unique<CIteration>("Hi there1"));
    model.BuildData();
    EXPECT_EQ(model.m_strData, "Hello9|Hi there1|");
}

TEST(VerbiageIteration, ParseAppendsToWhatTheListHolds) {
    CVerbiageIteration model;
    model.m_arrIterations.Add(std::make_unique<CIteration>("First9"));
    model.m_strData = "Second1|";
    model.ParseData();
    ASSERT_EQ(model.m_arrIterations.GetSize(), 2u);
    EXPECT_EQ(model.m_arrIterations.GetAt(1)->m_strIteration, "Second1");
    model.ClearIterations();
    EXPECT_EQ(model.m_arrIterations.GetSize(), 0u);
}

struct SplitCase {
    std::string stored;
    std::string text;
    std::string weight;
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, IsPositional) {
    std::string text = "old";
    std::string weight = "old";
    CVerbiageIteration::SplitIteration(GetParam().stored, text, weight);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(weight, GetParam().weight);
}

INSTANTIATE_TEST_SUITE_P(Iterations, Split,
                         testing::Values(SplitCase{"Hello9", "Hello", "9"},
                                         SplitCase{"Room 1013", "Room 101", "3"},
                                         SplitCase{"9", "", "9"}, SplitCase{"", "", ""},
                                         SplitCase{"ab", "a", "b"}));

TEST(VerbiageIteration, SplitMayWriteOverItsInput) {
    std::string stored = "Hello9";
    std::string weight;
    CVerbiageIteration::SplitIteration(stored, stored, weight);
    EXPECT_EQ(stored, "Hello");
    EXPECT_EQ(weight, "9");
}

TEST(IterationArray, ReplacesAndRejectsOutOfRange) {
    CIterationArray list;
    list.Add(std::make_unique<CIteration>("a9"));
    list.SetAt(0, std::make_unique<CIteration>("b9"));
    EXPECT_EQ(list.GetAt(0)->m_strIteration, "b9");
    EXPECT_THROW(list.GetAt(1), std::out_of_range);
    EXPECT_THROW(list.SetAt(1, nullptr), std::out_of_range);
    list.SetSize(3);
    EXPECT_EQ(list.GetAt(2), nullptr);
    list.SetSize(0);
    EXPECT_TRUE(list.IsEmpty());
}

} // namespace
