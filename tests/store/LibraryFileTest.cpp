#include "store/LibraryFile.h"
#include "store/CategoryQry.h"
#include "store/CategoryTbl.h"
#include "store/DaoException.h"
#include "store/PhraseTbl.h"
#include "store/PhrasesInCategoryQry.h"
#include "tests/support/LibraryFixture.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>

#include <functional>
#include <memory>
#include <string>

namespace {

QByteArray Fingerprint(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "(unreadable)";
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void WriteFile(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(LibraryFile, NewLibraryHasTheDocumentedSchemaAndMarks) {
    CTempLibrary library;
    const std::string& path = library.path;
    EXPECT_EQ(QueryDirect(path, "PRAGMA application_id").toLongLong(), kLibraryApplicationId);
    EXPECT_EQ(QueryDirect(path, "PRAGMA user_version").toInt(), kLibraryFormatVersion);
    EXPECT_EQ(QueryDirect(path, "PRAGMA journal_mode").toString(), "wal");
    EXPECT_EQ(QueryDirect(path, "SELECT group_concat(name, ',') FROM (SELECT name FROM "
                                "sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY name)")
                  .toString(),
              "idxCategoryOrder,idxPhraseCategory,idxPhraseInCategory,qryCategory,"
              "qryPhrasesInCategory,tblCategory,"
              "tblPhrase,tblPhraseFind,tblPhraseFind_config,tblPhraseFind_data,"
              "tblPhraseFind_idx,trgCategoryKeyCopy,trgPhraseFoldDelete,"
              "trgPhraseFoldInsert,trgPhraseFoldUpdate");
    EXPECT_EQ(
        QueryDirect(path, "SELECT group_concat(name, ',') FROM pragma_table_info('tblPhrase')")
            .toString(),
        "CategoryID,Data,Mnemonic,PhraseID,ZOrder,PunctuationLeading,PunctuationTrailing,"
        "FoldedMnemonic,FoldedText");
    EXPECT_EQ(
        QueryDirect(path, "SELECT group_concat(name, ',') FROM pragma_table_info('tblCategory')")
            .toString(),
        "CategoryID,Description,ZOrder,strCategoryID");
}

TEST(LibraryFile, RowsInsertedByAnyClientGetDistinctBracedKeys) {
    CTempLibrary library;
    const QRegularExpression braced(
        "^\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}$");
    QueryDirect(library.path, "INSERT INTO tblCategory (Description) VALUES ('scripted')");
    const QString category =
        QueryDirect(library.path, "SELECT CategoryID FROM tblCategory").toString();
    EXPECT_TRUE(braced.match(category).hasMatch()) << category.toStdString();
    EXPECT_EQ(QueryDirect(library.path, "SELECT strCategoryID FROM tblCategory").toString(),
              category);
    QueryDirect(library.path, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < 500) INSERT INTO tblPhrase (CategoryID, Mnemonic) "
                              "SELECT (SELECT CategoryID FROM tblCategory), i FROM n");
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(DISTINCT PhraseID) FROM tblPhrase").toInt(),
              500);
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(*) FROM tblPhrase WHERE PhraseID NOT GLOB "
                                        "'{[0-9A-F]*-*-4*-[89AB]*-*}' OR length(PhraseID) <> 38")
                  .toInt(),
              0);
}

TEST(LibraryFile, TheSqliteToolCanScriptALibrary) {
    const QString sqlite = QStandardPaths::findExecutable("sqlite3");
    if (sqlite.isEmpty()) {
        GTEST_SKIP() << "sqlite3 is not installed";
    }
    CTempLibrary library;
    QProcess tool;
    tool.start(sqlite, {QString::fromStdString(library.path),
                        "INSERT INTO tblCategory (Description, ZOrder) VALUES ('From the tool', 0);"
                        "INSERT INTO tblPhrase (CategoryID, Mnemonic, Data) "
                        "SELECT CategoryID, 'tool item', 'Hi9|' FROM tblCategory;"});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    CCategoryQry categories;
    categories.Open();
    ASSERT_FALSE(categories.IsEOF());
    EXPECT_EQ(categories.m_Description, "From the tool");
    CPhrasesInCategoryQry items;
    items.m_CATEGORYID =
        QueryDirect(library.path, "SELECT CategoryID FROM tblCategory").toString().toStdString();
    items.Open();
    ASSERT_FALSE(items.IsEOF());
    EXPECT_EQ(items.m_Mnemonic, "tool item");
}

TEST(LibraryFile, CreationRefusesAnExistingFileAndLeavesItAlone) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("taken.blz").toStdString();
    WriteFile(path, "precious");
    EXPECT_THROW(CreateLibraryFile(path), CDaoException);
    EXPECT_EQ(Fingerprint(QString::fromStdString(path)),
              QCryptographicHash::hash("precious", QCryptographicHash::Sha256));
    EXPECT_THROW(CreateLibraryFile(dir.filePath("no/such/folder.blz").toStdString()),
                 CDaoException);
}

TEST(LibraryFile, SeedContentLandsInOrder) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("seeded.blz").toStdString();
    CreateLibraryFile(path, {{"Alpha", {{"a1", "A9|", 0, 1}, {"a2", "B9|", 3, 4}}}, {"Beta", {}}});
    CTempLibrary library; // only for its path source
    library.UsePath(path);
    CCategoryQry categories;
    categories.Open();
    ASSERT_FALSE(categories.IsEOF());
    EXPECT_EQ(categories.m_Description, "Alpha");
    CPhrasesInCategoryQry items;
    items.m_CATEGORYID = QueryDirect(path, "SELECT strCategoryID FROM tblCategory WHERE "
                                           "Description = 'Alpha'")
                             .toString()
                             .toStdString();
    items.Open();
    ASSERT_FALSE(items.IsEOF());
    EXPECT_EQ(items.m_Mnemonic, "a1");
    items.MoveNext();
    EXPECT_EQ(items.m_Mnemonic, "a2");
    categories.MoveNext();
    EXPECT_EQ(categories.m_Description, "Beta");
}

TEST(LibraryFile, AMissingTableReportsTheEngineText) {
    CTempLibrary library;
    QueryDirect(library.path, "DROP TABLE tblPhrase");
    CPhraseTbl table;
    try {
        table.Open();
        FAIL() << "no exception";
    } catch (const CDaoException& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find("no such table"), std::string::npos) << text;
        EXPECT_NE(text.find(library.path), std::string::npos) << text;
    }
    EXPECT_FALSE(table.IsOpen());
}

TEST(LibraryFile, AHandMadeLibraryWithoutOurMarkOpens) {
    CTempLibrary library;
    QueryDirect(library.path, "PRAGMA application_id = 0");
    QueryDirect(library.path, "PRAGMA wal_checkpoint(TRUNCATE)");
    EXPECT_EQ(CheckLibraryFile(library.path), "");
    CCategoryTbl table;
    EXPECT_NO_THROW(table.Open());
}

// Files that are not a library: every class refuses them with a message
// naming the file, and the file stays exactly as it was.
struct NotALibraryCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* expected; // part of the message
};

void PrintTo(const NotALibraryCase& c, std::ostream* os) {
    *os << c.name;
}

void MakeSqliteFile(const std::string& path, const QStringList& statements) {
    for (const QString& statement : statements) {
        QueryDirect(path, statement);
    }
    QueryDirect(path, "PRAGMA wal_checkpoint(TRUNCATE)");
}

class NotALibrary : public testing::TestWithParam<NotALibraryCase> {};

TEST_P(NotALibrary, IsRefusedByNameAndLeftUntouched) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("suspect \"file\".blz").toStdString();
    GetParam().make(path);
    const QByteArray before = Fingerprint(QString::fromStdString(path));
    const QStringList entriesBefore = Entries(dir);

    const std::string problem = CheckLibraryFile(path);
    EXPECT_NE(problem.find(path), std::string::npos) << problem;
    EXPECT_NE(problem.find(GetParam().expected), std::string::npos) << problem;

    CTempLibrary pathSource;
    pathSource.UsePath(path);
    std::unique_ptr<CDaoRecordset> recordsets[] = {
        std::make_unique<CCategoryQry>(), std::make_unique<CCategoryTbl>(),
        std::make_unique<CPhrasesInCategoryQry>(), std::make_unique<CPhraseTbl>()};
    for (auto& recordset : recordsets) {
        try {
            recordset->Open();
            ADD_FAILURE() << "opened " << recordset->GetDefaultSQL();
        } catch (const CDaoException& error) {
            EXPECT_EQ(error.what(), problem);
            EXPECT_EQ(error.GetReason(), CDaoException::Reason::NotALibrary);
        }
        EXPECT_FALSE(recordset->IsOpen());
    }
    EXPECT_EQ(Fingerprint(QString::fromStdString(path)), before);
    EXPECT_EQ(Entries(dir), entriesBefore);
}

QByteArray RandomBytes(int size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(42);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotALibrary,
    testing::Values(
        NotALibraryCase{"Missing", [](const std::string&) {}, "does not exist"},
        NotALibraryCase{"Empty", [](const std::string& p) { WriteFile(p, ""); }, "is empty"},
        NotALibraryCase{"RandomBytes",
                        [](const std::string& p) { WriteFile(p, RandomBytes(8192)); },
                        "not an SQLite database"},
        NotALibraryCase{"ShortText", [](const std::string& p) { WriteFile(p, "SQLite format 3"); },
                        "not an SQLite database"},
        NotALibraryCase{"Directory",
                        [](const std::string& p) { QDir().mkpath(QString::fromStdString(p)); },
                        "is not a file"},
        NotALibraryCase{"OtherProgramsDatabase",
                        [](const std::string& p) {
                            WriteFile(p, "");
                            MakeSqliteFile(p, {"CREATE TABLE notes (body TEXT)",
                                               "INSERT INTO notes VALUES ('mine')"});
                        },
                        "another program"},
        NotALibraryCase{"OtherProgramsMarkedDatabase",
                        [](const std::string& p) {
                            WriteFile(p, "");
                            MakeSqliteFile(p, {"PRAGMA application_id = 1234",
                                               "CREATE TABLE tblPhrase (x)",
                                               "CREATE TABLE tblCategory (y)"});
                        },
                        "another program"},
        NotALibraryCase{"NewerLibrary",
                        [](const std::string& p) {
                            CreateLibraryFile(p);
                            MakeSqliteFile(p, {"PRAGMA user_version = 3"});
                        },
                        "newer version of Blurtle (format 3)"},
        NotALibraryCase{
            "NewerHandMadeLibrary",
            [](const std::string& p) {
                CreateLibraryFile(p);
                MakeSqliteFile(p, {"PRAGMA application_id = 0", "PRAGMA user_version = 9"});
            },
            "newer version of Blurtle (format 9)"}),
    [](const testing::TestParamInfo<NotALibraryCase>& param) { return param.param.name; });

TEST(LibraryFile, AnEmptyPathIsNoLibrary) {
    EXPECT_EQ(CheckLibraryFile(""), "No library file has been chosen.");
    CTempLibrary library;
    library.UsePath("");
    CPhraseTbl table;
    EXPECT_THROW(table.Open(), CDaoException);
}

} // namespace

namespace {

// The file is opened through a file: URI; characters that mean something
// in a URI must still name the file.
TEST(LibraryFile, OpensWhateverCharactersItsPathHolds) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("we#ird ?%20 & f\xC3\xBCr=x");
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::string path = (folder + "/lib;rary%.blz").toStdString();
    CreateLibraryFile(path);
    EXPECT_EQ(CheckLibraryFile(path), "");
    CTempLibrary pathSource;
    pathSource.UsePath(path);
    AddCategory("found", 0);
    CCategoryQry categories;
    categories.Open();
    ASSERT_FALSE(categories.IsEOF());
    EXPECT_EQ(categories.m_Description, "found");
    // No file was made under a misread name.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({QFileInfo(folder).fileName()}));
}

} // namespace

namespace {

// A hand-made library in WAL mode whose log came along without its index
// file (copied while another program had it open): checking it, and opening
// and closing it, adds nothing beside it and keeps the logged row.
TEST(LibraryFile, CheckingAHandMadeLibraryWithALogLeavesNothingBeside) {
    QTemporaryDir source;
    QTemporaryDir dir;
    const std::string original = source.filePath("hand.blz").toStdString();
    CreateLibraryFile(original);
    QueryDirect(original, "PRAGMA application_id = 0");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "keeps-log");
        db.setDatabaseName(QString::fromStdString(original));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("PRAGMA wal_autocheckpoint = 0"));
        ASSERT_TRUE(query.exec("INSERT INTO tblCategory (Description) VALUES ('logged')"));
        for (const char* suffix : {"", "-wal"}) {
            ASSERT_TRUE(QFile::copy(QString::fromStdString(original) + suffix,
                                    dir.filePath(QStringLiteral("hand.blz") + suffix)));
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("keeps-log");
    const std::string path = dir.filePath("hand.blz").toStdString();
    const QStringList before = Entries(dir);
    ASSERT_EQ(before, QStringList({"hand.blz", "hand.blz-wal"}));

    EXPECT_EQ(CheckLibraryFile(path), "");
    for (const QString& entry : Entries(dir)) {
        EXPECT_TRUE(before.contains(entry)) << entry.toStdString() << " was left beside it";
    }
    EXPECT_EQ(QueryDirect(path, "SELECT Description FROM tblCategory").toString(), "logged");
}

} // namespace
