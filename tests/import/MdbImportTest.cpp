#include "import/LibraryImport.h"
#include "import/OldLibraryError.h"
#include "store/DaoException.h"
#include "store/LibraryFile.h"
#include "tests/support/ImportFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

QJsonObject Expected(const char* name) {
    QFile file(QString::fromStdString(MdbFixture(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Rows as comparable lines: the named columns' values, keys in upper case,
// "<generated>" standing for the key the import made.
using Lines = std::vector<std::string>;

std::string Line(const QStringList& values) {
    return values.join(QStringLiteral(" | ")).toStdString();
}

Lines ExpectedLines(const QJsonArray& rows, const QStringList& columns, const QStringList& keys,
                    const QString& generated) {
    Lines lines;
    for (const QJsonValue& row : rows) {
        QStringList values;
        for (const QString& column : columns) {
            const QJsonValue value = row.toObject().value(column);
            QString text = value.isDouble() ? QString::number(value.toInt()) : value.toString();
            if (text == QStringLiteral("<generated>")) {
                text = generated;
            }
            values << (keys.contains(column) ? text.toUpper() : text);
        }
        lines.push_back(Line(values));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

Lines ActualLines(const std::string& library, const QString& table, const QStringList& columns,
                  const QStringList& keys) {
    Lines lines;
    for (const QVariantList& row :
         RowsOf(library, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(','), table))) {
        QStringList values;
        for (int i = 0; i < columns.size(); ++i) {
            const QString text = row[i].toString();
            values << (keys.contains(columns[i]) ? text.toUpper() : text);
        }
        lines.push_back(Line(values));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

struct FixtureCase {
    const char* label;
    const char* mdb;
    const char* expected;
};
void PrintTo(const FixtureCase& c, std::ostream* os) {
    *os << c.label;
}

class FixtureImport : public testing::TestWithParam<FixtureCase> {};

// Seen by another connection, the library holds exactly the rows the
// fixture's list gives, every column, with the text as UTF-8 text and the
// numbers as integers.
TEST_P(FixtureImport, GivesEveryRowOfItsListAndNothingElse) {
    const FixtureCase& c = GetParam();
    QTemporaryDir dir;
    const std::string library = dir.filePath("imported.blz").toStdString();
    const ImportSummary summary = ImportOldLibrary(MdbFixture(c.mdb), library);
    const QJsonObject expected = Expected(c.expected);
    const QJsonObject counts = expected.value("counts").toObject();
    EXPECT_EQ(summary.categories, counts.value("categories").toInt());
    EXPECT_EQ(summary.items, counts.value("items").toInt());
    EXPECT_EQ(summary.itemsWithoutCategory, counts.value("items_without_a_category").toInt());
    EXPECT_TRUE(summary.warnings.empty());

    EXPECT_EQ(CheckLibraryFile(library), "");
    EXPECT_EQ(RowsOf(library, "PRAGMA application_id")[0][0].toLongLong(), kLibraryApplicationId);
    EXPECT_EQ(RowsOf(library, "PRAGMA user_version")[0][0].toInt(), kLibraryFormatVersion);
    EXPECT_EQ(RowsOf(library, "PRAGMA journal_mode")[0][0].toString(), "wal");

    const auto made = RowsOf(library, "SELECT CategoryID FROM tblCategory "
                                      "WHERE Description = 'Items without a category'");
    ASSERT_EQ(made.size(), 1U);
    const QString generated = made[0][0].toString();
    EXPECT_TRUE(QRegularExpression("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$")
                    .match(generated)
                    .hasMatch())
        << generated.toStdString();

    const QStringList categoryColumns = {"CategoryID", "Description", "ZOrder", "strCategoryID"};
    const QStringList itemColumns = {"CategoryID",         "Data",   "Mnemonic",
                                     "PhraseID",           "ZOrder", "PunctuationLeading",
                                     "PunctuationTrailing"};
    const QStringList keys = {"CategoryID", "PhraseID"};
    EXPECT_EQ(
        ActualLines(library, "tblCategory", categoryColumns, keys),
        ExpectedLines(expected.value("tblCategory").toArray(), categoryColumns, keys, generated));
    EXPECT_EQ(ActualLines(library, "tblPhrase", itemColumns, keys),
              ExpectedLines(expected.value("tblPhrase").toArray(), itemColumns, keys, generated));

    EXPECT_EQ(RowsOf(library, "SELECT count(*) FROM tblPhrase WHERE typeof(Data) <> 'text' OR "
                              "typeof(Mnemonic) <> 'text' OR typeof(ZOrder) <> 'integer' OR "
                              "typeof(PunctuationLeading) <> 'integer' OR "
                              "typeof(PunctuationTrailing) <> 'integer'")[0][0]
                  .toInt(),
              0);
    EXPECT_EQ(RowsOf(library, "SELECT count(*) FROM tblCategory WHERE typeof(Description) <> "
                              "'text' OR typeof(ZOrder) <> 'integer'")[0][0]
                  .toInt(),
              0);
    const QJsonObject deleted = expected.value("deleted").toObject();
    for (const char* table : {"tblCategory", "tblPhrase"}) {
        const char* key = std::string(table) == "tblCategory" ? "CategoryID" : "PhraseID";
        for (const QJsonValue& gone : deleted.value(table).toArray()) {
            EXPECT_TRUE(RowsOf(library, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = '%3'")
                                            .arg(table, key, gone.toString()))
                            .empty())
                << gone.toString().toStdString();
        }
    }
    // The new category comes last in the palette's order.
    const auto order = RowsOf(library, "SELECT Description FROM qryCategory");
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back()[0].toString(), "Items without a category");
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, FixtureImport,
    testing::Values(FixtureCase{"jet4", "small-jet4.mdb", "expected-small-jet4.json"},
                    FixtureCase{"jet3", "small-jet3.mdb", "expected-small-jet3.json"}),
    [](const testing::TestParamInfo<FixtureCase>& param) {
        return std::string(param.param.label);
    });

} // namespace
