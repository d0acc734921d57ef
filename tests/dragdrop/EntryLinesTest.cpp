#include "dragdrop/EntryLines.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QComboBox>
#include <QList>
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

// n copies of a character outside the Basic Multilingual Plane (two UTF-16
// units each).
QString Astral(int n, char32_t c = U'\U0001F600') {
    QString text;
    for (int i = 0; i < n; ++i) {
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

// The line as characters, counted independently of the code under test.
QList<uint> Columns(const QString& line) {
    return line.toUcs4();
}

QString FromColumn(const QString& line, qsizetype column) {
    const QList<uint> columns = Columns(line);
    QString rest;
    for (qsizetype i = column; i < columns.size(); ++i) {
        const char32_t c = columns[i];
        rest += QString::fromUcs4(&c, 1);
    }
    return rest;
}

bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate()) {
                return true;
            }
            ++i;
        } else if (text.at(i).isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_P(CategoryLines, KeepTheKeyAtColumn512AndShowOnlyTheName) {
    const LineCase& c = GetParam();
    const QString line = EntryLines::MakeCategoryLine(c.name, kId);
    EXPECT_EQ(Columns(line).size(), 512 + kId.size());
    EXPECT_EQ(FromColumn(line, 512), kId);
    EXPECT_FALSE(HasLoneSurrogate(line));
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
    testing::Values(
        LineCase{"plain", "Greetings", "Greetings"}, LineCase{"empty", "", ""},
        LineCase{"accented", QStringLiteral("Grüße à tous"), QStringLiteral("Grüße à tous")},
        LineCase{"tooLong", QString(600, 'x'), QString(512, 'x')},
        // An emoji takes one column, like any character.
        LineCase{"emojiInTheLastColumn", QString(511, 'a') + Astral(1),
                 QString(511, 'a') + Astral(1)},
        LineCase{"emojiPastTheLastColumn", QString(512, 'a') + Astral(1), QString(512, 'a')},
        LineCase{"allEmoji512", Astral(512), Astral(512)},
        LineCase{"allEmojiTooLong", Astral(530), Astral(512)}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.label); });

TEST_P(MnemonicLines, KeepATabAt63AndTheKeyFrom64) {
    const LineCase& c = GetParam();
    const QString line = EntryLines::MakeMnemonicLine(c.name, kId);
    const QList<uint> columns = Columns(line);
    EXPECT_EQ(columns.size(), 64 + kId.size());
    EXPECT_EQ(columns.value(63), uint('\t'));
    EXPECT_EQ(FromColumn(line, 64), kId);
    EXPECT_FALSE(HasLoneSurrogate(line));
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
                    LineCase{"emojiInColumn62", QString(62, 'a') + Astral(1),
                             QString(62, 'a') + Astral(1)},
                    LineCase{"emojiPastColumn62", QString(63, 'a') + Astral(1), QString(63, 'a')},
                    LineCase{"emoji62", Astral(62), Astral(62)},
                    LineCase{"emoji63", Astral(63), Astral(63)},
                    LineCase{"emoji64ShowsFirst63", Astral(64), Astral(63)},
                    LineCase{"mixedPlanes", QStringLiteral("Merci 🎉 beaucoup 😀!"),
                             QStringLiteral("Merci 🎉 beaucoup 😀!")}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.label); });

TEST(EntryLines, ReadTheStoresUtf8Columns) {
    const std::string name = "Caf\xC3\xA9";
    const QString line = EntryLines::MakeMnemonicLine(name, kId.toStdString());
    EXPECT_EQ(EntryLines::MnemonicName(line), QStringLiteral("Café"));
    // Columns count characters, not bytes: the tab stays at 63.
    EXPECT_EQ(line.at(63), QLatin1Char('\t'));
}

TEST(EntryLines, LinesOfBasicPlaneTextKeepTheirExactLayout) {
    // The settings remember whole category lines: they must stay exactly
    // what they always were.
    const QString name = QStringLiteral("Grüße");
    EXPECT_EQ(EntryLines::MakeCategoryLine(name, kId), name + QString(507, ' ') + kId);
    EXPECT_EQ(EntryLines::MakeMnemonicLine(name, kId),
              name + QString(58, ' ') + QLatin1Char('\t') + kId);
}

TEST(EntryLines, ShortOrMissingLinesGiveNoKey) {
    EXPECT_TRUE(EntryLines::CategoryKey(QStringLiteral("Greetings")).isEmpty());
    EXPECT_TRUE(EntryLines::MnemonicKey(QString()).isEmpty());
    QComboBox empty;
    EXPECT_TRUE(EntryLines::SelectedCategoryLine(empty).isEmpty());
    EXPECT_TRUE(EntryLines::LineOf(nullptr).isEmpty());
}
