#include "engine/ComposeText.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Replaces the random source for one test and counts the draws.
class ComposeTest : public testing::Test {
protected:
    void SetUp() override {
        SetRandomSource([this] {
            ++draws;
            return next;
        });
    }
    void TearDown() override { SetRandomSource({}); }

    std::string Compose(const std::string& source, int r, int tilde = 0) {
        next = r;
        std::string output = "unchanged";
        result = ComposeText(output, source, 0, tilde);
        return output;
    }

    int next = 0;
    int draws = 0;
    int result = -1;
};

struct BoundaryCase {
    std::uint32_t total;
    int r;
    std::uint32_t m;
};

class Boundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(Boundary, FollowsTheDoubleArithmetic) {
    EXPECT_EQ(DrawBoundary(GetParam().r, GetParam().total), GetParam().m);
}

INSTANTIATE_TEST_SUITE_P(Examples, Boundary,
                         testing::Values(BoundaryCase{10, 12345, 5}, BoundaryCase{10, 9, 9},
                                         BoundaryCase{10, 19, 9}, BoundaryCase{10, 12, 1},
                                         BoundaryCase{10, 169, 8}, BoundaryCase{3, 4, 0},
                                         BoundaryCase{3, 5, 2}, BoundaryCase{0, 777, 0},
                                         BoundaryCase{4294967295u, 32767, 32767}));

TEST(Boundary, StaysBelowTheTotalForEveryEditorTotal) {
    for (std::uint32_t total = 1; total <= 3000; ++total) {
        for (int r = 0; r <= 32767; r += static_cast<int>(total % 7) + 1) {
            ASSERT_LT(DrawBoundary(r, total), total) << "r=" << r << " T=" << total;
        }
    }
}

TEST(Boundary, IsTheRemainderForPowersOfTwo) {
    for (std::uint32_t total : {1u, 2u, 8u, 64u, 1024u}) {
        for (int r = 0; r <= 32767; ++r) {
            ASSERT_EQ(DrawBoundary(r, total), static_cast<std::uint32_t>(r) % total);
        }
    }
}

struct CountCase {
    const char* name;
    std::vector<int> weights;
    std::vector<int> counts;
};

class ChoiceCounts : public ComposeTest, public testing::WithParamInterface<CountCase> {};

TEST_P(ChoiceCounts, MatchTheTableOverEveryRandomValue) {
    std::string data;
    for (std::size_t i = 0; i < GetParam().weights.size(); ++i) {
        data += "text" + std::to_string(i) + static_cast<char>('0' + GetParam().weights[i]) + "|";
    }
    std::map<std::string, int> tally;
    for (int r = 0; r <= 32767; ++r) {
        ++tally[Compose(data, r)];
        ASSERT_EQ(result, 1);
    }
    std::vector<int> counts;
    for (std::size_t i = 0; i < GetParam().weights.size(); ++i) {
        counts.push_back(tally["text" + std::to_string(i)]);
    }
    EXPECT_EQ(counts, GetParam().counts);
    EXPECT_EQ(draws, 32768);
}

INSTANTIATE_TEST_SUITE_P(Weights, ChoiceCounts,
                         testing::Values(CountCase{"W111", {1, 1, 1}, {16384, 10922, 5462}},
                                         CountCase{"W91", {9, 1}, {30308, 2460}},
                                         CountCase{"W99", {9, 9}, {16388, 16380}},
                                         CountCase{"W999", {9, 9, 9}, {11457, 11076, 10235}},
                                         CountCase{"W555", {5, 5, 5}, {12290, 10376, 10102}}),
                         [](const testing::TestParamInfo<CountCase>& p) {
                             return std::string(p.param.name);
                         });

struct ChoiceCase {
    const char* name;
    std::string source;
    int r;
    int tilde;
    int result;
    std::string output;
};

class Choice : public ComposeTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(Choice, PicksTheExpectedText) {
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(Compose(c.source, c.r, c.tilde), c.output);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(draws, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Choice,
    testing::Values(ChoiceCase{"WorkedExampleFirst", "Hello9|Hi there1|", 12345, 0, 1, "Hello"},
                    ChoiceCase{"WorkedExampleSecond", "Hello9|Hi there1|", 9, 0, 1, "Hi there"},
                    ChoiceCase{"WorkedExampleRounding", "Hello9|Hi there1|", 169, 0, 1, "Hello"},
                    ChoiceCase{"SingleAtZero", "Thank you.9|", 0, 0, 1, "Thank you."},
                    ChoiceCase{"SingleAtTop", "Thank you.9|", 32767, 0, 1, "Thank you."},
                    ChoiceCase{"TailIgnored", "Hello9|Hi there1", 32767, 0, 1, "Hello"},
                    ChoiceCase{"EmptyText", "9|", 5, 0, 1, ""},
                    ChoiceCase{"ZeroWeightNeverChosen", "A0|B5|", 0, 0, 1, "B"},
                    ChoiceCase{"ZeroWeightNeverChosenTop", "A0|B5|", 32767, 0, 1, "B"},
                    ChoiceCase{"NegativeWeightAlwaysChosen", "A/|B9|", 32767, 0, 1, "A"},
                    ChoiceCase{"NegativeWeightAlwaysChosenLow", "A/|B9|", 0, 0, 1, "A"},
                    ChoiceCase{"HighByteIsNegative", "A\xB0|B9|", 77, 0, 1, "A"},
                    ChoiceCase{"LetterWeight", "a|b9|", 48, 0, 1, ""},
                    ChoiceCase{"LetterWeightSecond", "a|b9|", 57, 0, 1, "b"},
                    ChoiceCase{"LineBreaksKept", "Dear Sir,\r\nThanks.5|", 3, 0, 1,
                               "Dear Sir,\r\nThanks."},
                    ChoiceCase{"TildeSeparator", "Hello9~Hi there1~", 9, 1, 1, "Hi there"},
                    ChoiceCase{"BarIsTextUnderTilde", "a|b9~c1~", 0, 1, 1, "a|b"},
                    ChoiceCase{"LeadingSeparatorSkipped", "|Hello9|", 8, 0, 1, "Hello"},
                    ChoiceCase{"DoubledSeparatorSkipped", "A1||B1|", 1, 0, 1, "B"},
                    ChoiceCase{"AllZeroWeights", "A0|B0|", 100, 0, 0, "unchanged"},
                    // A zero total with a positive running sum: the draw's boundary is 0.
                    ChoiceCase{"ZeroTotalFirstPositiveChosen", "A1|B/|", 5, 0, 1, "A"},
                    ChoiceCase{"OnlySeparators", "|||", 5, 0, 0, "unchanged"}),
    [](const testing::TestParamInfo<ChoiceCase>& p) { return std::string(p.param.name); });

TEST_F(ComposeTest, NothingChosenLeavesTheOutputAlone) {
    next = 3;
    std::string output = "unchanged";
    EXPECT_EQ(ComposeText(output, "A0|B0|", 0, 0), 0);
    EXPECT_EQ(output, "unchanged");
}

TEST_F(ComposeTest, NoSeparatorDrawsNothing) {
    for (const char* source : {"", "Hello", "Hello9~"}) {
        std::string output = "kept";
        EXPECT_EQ(ComposeText(output, source, 1, 0), 0) << source;
        EXPECT_EQ(output, "kept");
    }
    EXPECT_EQ(draws, 0);
}

TEST_F(ComposeTest, AppendsOrReplaces) {
    next = 12345;
    std::string output = "  ";
    EXPECT_EQ(ComposeText(output, "Hello9|Hi there1|", 1, 0), 1);
    EXPECT_EQ(output, "  Hello");
    EXPECT_EQ(ComposeText(output, "Hello9|Hi there1|", 0, 0), 1);
    EXPECT_EQ(output, "Hello");
    EXPECT_EQ(draws, 2);
}

TEST_F(ComposeTest, TheUnsignedComparisonFavoursAnEarlyNegativeSum) {
    // Running sum -1 is 0xFFFFFFFF unsigned: greater than every boundary.
    for (int r = 0; r <= 32767; r += 97) {
        EXPECT_EQ(Compose("A/|B9|", r), "A");
    }
}

TEST(RandomSource, DefaultGeneratorStaysInRangeAndIsSeeded) {
    SetRandomSource({});
    SeedRandomSource(42);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) {
        const int r = DrawRandomValue();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        first.push_back(r);
    }
    SeedRandomSource(42);
    for (int r : first) {
        ASSERT_EQ(DrawRandomValue(), r);
    }
}

} // namespace
