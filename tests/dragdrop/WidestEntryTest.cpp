// The list's horizontal extent is that of its widest entry in pixels,
// which need not be the one with the most characters.
#include "dragdrop/DDListBox.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include <ostream>

namespace {

struct WidestCase {
    const char* label;
    int narrowEntries; // many long texts of narrow letters
    int widePosition;  // where the short text of wide letters stands
    QString wide;
};
void PrintTo(const WidestCase& c, std::ostream* os) {
    *os << c.label;
}

class WidestEntry : public testing::TestWithParam<WidestCase> {};

} // namespace

TEST_P(WidestEntry, SetsTheHorizontalExtent) {
    const WidestCase& c = GetParam();
    CDDListBox list;
    list.resize(120, 300);
    list.show();
    const QString narrow(45, QLatin1Char('i'));
    list.Model().Show(
        std::vector<MnemonicEntry>(static_cast<std::size_t>(c.narrowEntries), {{}, -1, narrow}));
    list.Model().Insert(c.widePosition, {{}, -1, c.wide});
    const int needed = list.fontMetrics().horizontalAdvance(c.wide);
    ASSERT_GT(needed, list.fontMetrics().horizontalAdvance(narrow));
    ASSERT_GT(needed, list.viewport()->width());

    ASSERT_TRUE(QTest::qWaitFor([&list] { return list.horizontalScrollBar()->maximum() > 0; }));
    EXPECT_GE(list.horizontalScrollBar()->maximum() + list.viewport()->width(), needed);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, WidestEntry,
    testing::Values(WidestCase{"wideFirstOfFew", 3, 0, QString(22, QLatin1Char('W'))},
                    // More long narrow texts than are ever measured exactly.
                    WidestCase{"wideFirstOfMany", 3000, 0, QString(22, QLatin1Char('W'))},
                    WidestCase{"wideInTheMiddleOfMany", 3000, 1500, QString(22, QLatin1Char('W'))},
                    WidestCase{"emoji", 3000, 7, QStringLiteral("😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀")}),
    [](const testing::TestParamInfo<WidestCase>& param) { return std::string(param.param.label); });
