#include "dragdrop/SwayDragBindings.h"

#include <gtest/gtest.h>

namespace {

const QStringList kBoth = {QStringLiteral("Escape"), QStringLiteral("--whole-window BTN_RIGHT")};

struct ConfigCase {
    const char* name;
    const char* config;
    QStringList free;
};

class FreeBindings : public testing::TestWithParam<ConfigCase> {};

TEST_P(FreeBindings, LeavesTheUsersOwnBindingsAlone) {
    EXPECT_EQ(CSwayDragBindings::FreeBindings(QString::fromUtf8(GetParam().config), kBoth),
              GetParam().free);
}

INSTANTIATE_TEST_SUITE_P(
    Configs, FreeBindings,
    testing::Values(
        ConfigCase{"Empty", "", kBoth},
        // The stock configuration binds Escape in its resize mode only.
        ConfigCase{"EscapeInAModeBlock",
                   "mode \"resize\" {\n    bindsym Escape mode \"default\"\n}\n", kBoth},
        ConfigCase{"EscapeWithAModifierIsAnotherKey", "bindsym $mod+Escape kill\n", kBoth},
        ConfigCase{"EscapeBound",
                   "  bindsym --no-repeat escape exec foo\n",
                   {QStringLiteral("--whole-window BTN_RIGHT")}},
        ConfigCase{"RightButtonByItsOtherName",
                   "bindsym --whole-window button3 nop\n",
                   {QStringLiteral("Escape")}},
        ConfigCase{"CommentedOut", "# bindsym Escape exec foo\n", kBoth}),
    [](const testing::TestParamInfo<ConfigCase>& param) { return std::string(param.param.name); });

TEST(SwayIpcMessage, ComesBackWholeAndOnlyWhenWhole) {
    QByteArray buffer =
        CSwayDragBindings::Message(0x80000005, "{\"a\":1}") + CSwayDragBindings::Message(2, "[]");
    const QByteArray second = buffer.right(buffer.size() - 21);
    QByteArray partial = buffer.left(20);
    EXPECT_FALSE(CSwayDragBindings::TakeMessage(partial)) << "a message cut short waits";
    EXPECT_EQ(partial.size(), 20);

    const auto first = CSwayDragBindings::TakeMessage(buffer);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->type, 0x80000005u);
    EXPECT_EQ(first->payload, QByteArray("{\"a\":1}"));
    EXPECT_EQ(buffer, second);
    const auto next = CSwayDragBindings::TakeMessage(buffer);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->type, 2u);
    EXPECT_TRUE(buffer.isEmpty());
}

} // namespace
