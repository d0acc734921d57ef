#include "dragdrop/EntryLines.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QComboBox>
#include <QListWidget>

namespace {

const QString kId = QStringLiteral("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");

struct LineCase {
    const char* label;
    QString name;
    QString shown; // what the widget shows, and what reading the name gives
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.label;
}

class CategoryLines : public testing::TestWithParam<LineCase> {};
class MnemonicLines : public testing::TestWithParam<LineCase> {};

} // namespace

TEST_P(CategoryLines, KeepTheKeyAtColumn512AndShowOnlyTheName) {
    const LineCase& c = GetParam();
    const QString line = EntryLines::MakeCategoryLine(c.name, kId);
    EXPECT_EQ(line.size(), 512 + kId.size());
    EXPECT_EQ(line.mid(512), kId);
    EXPECT_EQ(EntryLines::CategoryKey(line), kId);
    EXPECT_EQ(EntryLines::CategoryName(line), c.shown);
    EXPECT_TRUE(line.startsWith(c.shown));

    QComboBox combo;
    EntryLines::AppendCategoryLine(combo, line);
    EXPECT_EQ(combo.itemText(0), c.shown);
    EXPECT_FALSE(combo.itemText(0).contains(QLatin1Char('{')));
    EXPECT_EQ(EntryLines::SelectedCategoryLine(combo), line);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CategoryLines,
    testing::Values(LineCase{"plain", "Greetings", "Greetings"}, LineCase{"empty", "", ""},
                    LineCase{"accented", QStringLiteral("Grüße à tous"),
                             QStringLiteral("Grüße à tous")},
                    LineCase{"tooLong", QString(600, 'x'), QString(512, 'x')},
                    // An emoji whose halves would straddle column 512 is
                    // dropped whole rather than split.
                    LineCase{"surrogateAtTheCut", QString(511, 'a') + QStringLiteral("\U0001F600"),
                             QString(511, 'a')}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.label); });

TEST_P(MnemonicLines, KeepATabAt63AndTheKeyFrom64) {
    const LineCase& c = GetParam();
    const QString line = EntryLines::MakeMnemonicLine(c.name, kId);
    EXPECT_EQ(line.size(), 64 + kId.size());
    EXPECT_EQ(line.at(63), QLatin1Char('\t'));
    EXPECT_EQ(EntryLines::MnemonicKey(line), kId);
    EXPECT_EQ(EntryLines::MnemonicName(line), c.shown);

    QListWidget list;
    list.addItem(EntryLines::MakeMnemonicItem(line));
    EXPECT_EQ(list.item(0)->text(), c.shown);
    EXPECT_EQ(EntryLines::LineOf(list.item(0)), line);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MnemonicLines,
    testing::Values(LineCase{"plain", "Thanks", "Thanks"},
                    LineCase{"fifty", QString(50, 'm'), QString(50, 'm')},
                    LineCase{"sixtyThree", QString(63, 'm'), QString(63, 'm')},
                    LineCase{"longerShowsFirst63", QString(80, 'm'), QString(63, 'm')},
                    LineCase{"cyrillic", QStringLiteral("Спасибо"), QStringLiteral("Спасибо")},
                    LineCase{"surrogateAtTheCut", QString(62, 'a') + QStringLiteral("\U0001F600"),
                             QString(62, 'a')}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.label); });

TEST(EntryLines, ReadTheStoresUtf8Columns) {
    const std::string name = "Caf\xC3\xA9";
    const QString line = EntryLines::MakeMnemonicLine(name, kId.toStdString());
    EXPECT_EQ(EntryLines::MnemonicName(line), QStringLiteral("Café"));
    // Columns count characters, not bytes: the tab stays at 63.
    EXPECT_EQ(line.at(63), QLatin1Char('\t'));
}

TEST(EntryLines, ShortOrMissingLinesGiveNoKey) {
    EXPECT_TRUE(EntryLines::CategoryKey(QStringLiteral("Greetings")).isEmpty());
    EXPECT_TRUE(EntryLines::MnemonicKey(QString()).isEmpty());
    QComboBox empty;
    EXPECT_TRUE(EntryLines::SelectedCategoryLine(empty).isEmpty());
    EXPECT_TRUE(EntryLines::LineOf(nullptr).isEmpty());
}
