#include "engine/Punctuation.h"
#include "engine/ComposeText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PunctuationCase {
    int code;
    std::string leading;
    std::string trailing;
};

class Punctuation : public testing::TestWithParam<PunctuationCase> {};

TEST_P(Punctuation, TextsForEachSide) {
    EXPECT_EQ(LeadingPunctuation(GetParam().code), GetParam().leading);
    EXPECT_EQ(TrailingPunctuation(GetParam().code), GetParam().trailing);
}

INSTANTIATE_TEST_SUITE_P(Codes, Punctuation,
                         testing::Values(PunctuationCase{0, "", ""}, PunctuationCase{1, " ", " "},
                                         PunctuationCase{2, "  ", "  "},
                                         PunctuationCase{3, "\n", "\n"},
                                         PunctuationCase{4, "\n\n", "\n\n\n"},
                                         PunctuationCase{5, "", ""}, PunctuationCase{-1, "", ""},
                                         PunctuationCase{32767, "", ""}));

class DragText : public testing::Test {
protected:
    void SetUp() override {
        SetRandomSource([] { return 0; });
    }
    void TearDown() override { SetRandomSource({}); }
};

TEST_F(DragText, SurroundsTheComposedIteration) {
    EXPECT_EQ(ComposeDragText("Thank you.9|", 2, 1), "  Thank you. ");
    EXPECT_EQ(ComposeDragText("Dear Sir,\nThanks.5|", 4, 4), "\n\nDear Sir,\nThanks.\n\n\n");
}

TEST_F(DragText, DataWithoutIterationsGivesOnlyThePunctuation) {
    EXPECT_EQ(ComposeDragText("", 1, 2), "   ");
    EXPECT_EQ(ComposeDragText("no separator", 0, 0), "");
    EXPECT_EQ(ComposeDragText("A0|", 3, 0), "\n");
}

} // namespace
