#include "import/LibraryImport.h"
#include "import/OldLibraryError.h"
#include "store/LibraryFile.h"
#include "tests/support/ImportFixture.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

struct BadCase {
    const char* label;
    // Makes the file to import in the folder; returns its path.
    std::function<std::string(const QString& folder)> make;
    const char* reason; // in the message
};
void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.label;
}

std::string Fixture(const char* name) {
    return MdbFixture(name);
}

class BadFile : public testing::TestWithParam<BadCase> {};

// The message names the older file and says why; the new library's file
// is never left behind, nor anything SQLite makes beside it.
TEST_P(BadFile, IsRefusedWithItsNameAndReasonAndLeavesNothing) {
    const BadCase& c = GetParam();
    QTemporaryDir sources;
    QTemporaryDir targets;
    const std::string source = c.make(sources.path());
    const std::string target = targets.filePath("new.blz").toStdString();
    try {
        ImportOldLibrary(source, target);
        ADD_FAILURE() << "imported";
    } catch (const std::runtime_error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(source), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_TRUE(FilesIn(targets.path()).isEmpty())
        << FilesIn(targets.path()).join(' ').toStdString();
}

std::string EmptyFile(const QString& folder) {
    const QString path = QDir(folder).filePath("empty.mdb");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFile,
    testing::Values(
        BadCase{"randomBytes", [](const QString&) { return Fixture("not-a-library.mdb"); },
                "it is not an Access database"},
        BadCase{"cutShort", [](const QString&) { return Fixture("truncated.mdb"); },
                "holds 30 rows, but only 0 of them can be read: the file is damaged or cut short"},
        // Found by fuzzing: the table list's own table without a list of
        // its pages, which libmdb 1.0 would follow through a null pointer.
        BadCase{"noPageListOfTheTableList",
                [](const QString&) { return Fixture("no-page-list.mdb"); },
                "its list of tables can't be read: the file is damaged or cut short"},
        BadCase{"empty", EmptyFile, "the file is empty"},
        BadCase{
            "missing",
            [](const QString& folder) { return QDir(folder).filePath("gone.mdb").toStdString(); },
            "there is no such file"},
        BadCase{"folder",
                [](const QString& folder) {
                    QDir(folder).mkdir("folder.mdb");
                    return QDir(folder).filePath("folder.mdb").toStdString();
                },
                "it is a folder"},
        // Opening a pipe would wait for a writer for ever.
        BadCase{"pipe",
                [](const QString& folder) {
                    const std::string path = QDir(folder).filePath("pipe.mdb").toStdString();
                    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
                    return path;
                },
                "it is not an ordinary file"},
        BadCase{"newLibrary",
                [](const QString& folder) {
                    const std::string path = QDir(folder).filePath("library.mdb").toStdString();
                    CreateLibraryFile(path);
                    return path;
                },
                "it is not an Access database"},
        BadCase{"noItemTable",
                [](const QString& folder) {
                    return PatchedFixture("small-jet4.mdb", folder, "no-items.mdb",
                                          {{Utf16("tblPhrase"), Utf16("tblPhraze")}});
                },
                "it has no table tblPhrase"},
        BadCase{"noTables",
                [](const QString& folder) {
                    return PatchedFixture(
                        "small-jet3.mdb", folder, "no-tables.mdb",
                        {{"tblPhrase", "tblPhraze"}, {"tblCategory", "tblKategory"}});
                },
                "it has no tables tblCategory and tblPhrase"},
        BadCase{"noKeyColumn",
                [](const QString& folder) {
                    return PatchedFixture("small-jet4.mdb", folder, "no-keys.mdb",
                                          {{Utf16("CategoryID"), Utf16("CategoryXX")}});
                },
                "it has no column tblCategory.CategoryID"}),
    [](const testing::TestParamInfo<BadCase>& param) { return std::string(param.param.label); });

struct TextCase {
    const char* label;
    const char* fixture;
    QByteArray from;
    QByteArray to;
    QString table;
    QString column;
    QString key;      // of the row that holds the text
    QString expected; // its value after the import
    const char* what; // "item" or "category"
};
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.label;
}

class InvalidText : public testing::TestWithParam<TextCase> {};

// A character not valid in the file's encoding becomes U+FFFD, the row and
// every other row are imported, and the user hears of it.
TEST_P(InvalidText, IsReplacedAndTheRowNamed) {
    const TextCase& c = GetParam();
    QTemporaryDir dir;
    const std::string source = PatchedFixture(c.fixture, dir.path(), "odd.mdb", {{c.from, c.to}});
    const std::string library = dir.filePath("odd.blz").toStdString();
    const ImportSummary summary = ImportOldLibrary(source, library);
    EXPECT_EQ(summary.categories, 5);
    const auto value =
        RowsOf(library, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '%4'")
                            .arg(c.column, c.table,
                                 c.table == "tblPhrase" ? "PhraseID" : "CategoryID", c.key));
    ASSERT_EQ(value.size(), 1U);
    EXPECT_EQ(value[0][0].toString(), c.expected);
    ASSERT_EQ(summary.warnings.size(), 1U);
    const std::string& warning = summary.warnings[0];
    EXPECT_NE(warning.find(std::string(c.what) + " \"" + c.expected.toStdString() + "\""),
              std::string::npos)
        << warning;
    EXPECT_NE(warning.find(source), std::string::npos) << warning;
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, InvalidText,
    testing::Values(
        // 0x81 is no character of Windows-1252.
        TextCase{"jet3UndefinedByte", "small-jet3.mdb", "Greetings", "Gree\x81ings", "tblCategory",
                 "Description", "{3E0944F0-0D26-4DBB-A374-EF575ABE9878}",
                 QStringLiteral("Gree\uFFFDings"), "category"},
        // A high surrogate without its low half.
        TextCase{"jet4LoneSurrogate", "small-jet4.mdb", QByteArray("\xB3\x03\xB5\x03", 4),
                 QByteArray("\x00\xD8\xB5\x03", 4), "tblPhrase", "Mnemonic",
                 "{1886A753-8A8D-4168-90C7-0C049D1E9792}", QStringLiteral("\uFFFDειά"), "item"}),
    [](const testing::TestParamInfo<TextCase>& param) { return std::string(param.param.label); });

// A column the import does not know is passed over; one it knows but the
// file lacks is said, and its values are empty.
TEST(ImportColumns, AnUnknownColumnInPlaceOfMnemonicLeavesTheNamesEmpty) {
    QTemporaryDir dir;
    const std::string source = PatchedFixture("small-jet4.mdb", dir.path(), "nicknames.mdb",
                                              {{Utf16("Mnemonic"), Utf16("Nickname")}});
    const std::string library = dir.filePath("nicknames.blz").toStdString();
    const ImportSummary summary = ImportOldLibrary(source, library);
    EXPECT_EQ(summary.items, 30);
    ASSERT_EQ(summary.warnings.size(), 1U);
    EXPECT_NE(summary.warnings[0].find("has no column tblPhrase.Mnemonic"), std::string::npos)
        << summary.warnings[0];
    EXPECT_EQ(RowsOf(library, "SELECT count(*) FROM tblPhrase WHERE Mnemonic = ''")[0][0].toInt(),
              30);
    EXPECT_EQ(RowsOf(library, "SELECT Data FROM tblPhrase WHERE PhraseID = "
                              "'{70A637B8-CC31-4567-8FA2-444170A8F622}'")[0][0]
                  .toString(),
              "Hello9|Hi there5|Hey1|");
}

TEST(ImportColumns, AnotherTableOfTheFileIsPassedOver) {
    QTemporaryDir dir;
    // One of the file's system tables renamed as if it were the user's.
    const std::string source = PatchedFixture("small-jet4.mdb", dir.path(), "notes.mdb",
                                              {{Utf16("MSysACEs"), Utf16("tblNotes")}});
    const std::string library = dir.filePath("notes.blz").toStdString();
    const ImportSummary summary = ImportOldLibrary(source, library);
    EXPECT_EQ(summary.categories, 5);
    EXPECT_EQ(summary.items, 30);
    EXPECT_TRUE(summary.warnings.empty());
    EXPECT_EQ(RowsOf(library, "SELECT count(*) FROM sqlite_master WHERE name LIKE '%Notes%'")
                  .at(0)
                  .at(0)
                  .toInt(),
              0);
}

QByteArray Fingerprint(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

TEST(ImportTarget, AnExistingFileIsRefusedAndLeftAsItWas) {
    QTemporaryDir dir;
    const QString target = dir.filePath("kept.blz");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not to be touched");
    }
    const QByteArray before = Fingerprint(target);
    try {
        ImportOldLibrary(Fixture("small-jet4.mdb"), target.toStdString());
        ADD_FAILURE() << "imported over an existing file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(target.toStdString() + "\" already exists"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(Fingerprint(target), before);
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"kept.blz"});
}

// The progress grows to its end; a stop at any step, reading or writing,
// leaves no file.
TEST(ImportProgressTest, GrowsToItsEndAndAStopAnywhereLeavesNothing) {
    QTemporaryDir dir;
    std::vector<std::pair<std::int64_t, std::int64_t>> steps;
    ImportOldLibrary(Fixture("small-jet4.mdb"), dir.filePath("all.blz").toStdString(),
                     [&steps](std::int64_t done, std::int64_t total) {
                         steps.emplace_back(done, total);
                         return true;
                     });
    ASSERT_FALSE(steps.empty());
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_GT(steps[i].first, steps[i - 1].first);
        EXPECT_LE(steps[i].first, steps[i].second);
    }
    // Then the commit, or the category for stray items and the commit.
    EXPECT_GE(steps.back().first + 2, steps.back().second);

    for (const std::size_t stopAt : {std::size_t{0}, steps.size() / 2, steps.size() - 1}) {
        QTemporaryDir targets;
        std::size_t calls = 0;
        EXPECT_THROW(ImportOldLibrary(Fixture("small-jet4.mdb"),
                                      targets.filePath("stopped.blz").toStdString(),
                                      [&](std::int64_t, std::int64_t) { return calls++ < stopAt; }),
                     CImportCancelled);
        EXPECT_TRUE(FilesIn(targets.path()).isEmpty()) << stopAt;
    }
}

} // namespace
