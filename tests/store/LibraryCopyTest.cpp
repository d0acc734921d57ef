// Whole libraries copied between files and server databases, seen through
// connections of the test's own: every row and every order arrives
// exactly, and a target that can't take the copy is left as it was.
#include "store/LibraryCopy.h"
#include "store/DaoException.h"
#include "store/Library.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PostgresServer.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct CategoryRow {
    const char* key;
    const char* description;
    int zOrder;
    const char* textKey;
};
struct ItemRow {
    const char* category;
    const char* key;
    const char* mnemonic;
    const char* data;
    int zOrder;
    int leading;
    int trailing;
};

// Keys in upper, lower and mixed case; equal ZOrder values whose order is
// the order of adding; a ZOrder beyond 16 bits; text beyond ASCII and with
// several iterations; an empty strCategoryID and one in another case.
const CategoryRow kCategories[] = {
    {"{aaaaaaaa-1111-4111-8111-000000000001}", "Grüße & Co", 1,
     "{aaaaaaaa-1111-4111-8111-000000000001}"},
    {"{BBBBBBBB-2222-4222-8222-000000000002}", "Zeta", 0, ""},
    {"{CcCcCcCc-3333-4333-8333-000000000003}", "Tie after Grüße", 1,
     "{CCCCCCCC-3333-4333-8333-000000000003}"},
};
const ItemRow kItems[] = {
    {"{aaaaaaaa-1111-4111-8111-000000000001}", "{dddddddd-0000-4000-8000-000000000001}", "hello",
     "Hello9|Grüß dich3|Servus1|", 2, 0, 2},
    {"{aaaaaaaa-1111-4111-8111-000000000001}", "{DdDdDdDd-0000-4000-8000-000000000002}", "日本",
     "日本語5|", 0, 3, 4},
    {"{aaaaaaaa-1111-4111-8111-000000000001}", "{DDDDDDDD-0000-4000-8000-000000000003}", "tie",
     "first of two at 2", 2, 1, 0},
    {"{BBBBBBBB-2222-4222-8222-000000000002}", "{eeeeeeee-0000-4000-8000-000000000004}", "far",
     "Far down9|", 40000, 4, 1},
    {"{BBBBBBBB-2222-4222-8222-000000000002}", "{EEEEEEEE-0000-4000-8000-000000000005}", "", "", 7,
     0, 0},
    {"{CcCcCcCc-3333-4333-8333-000000000003}", "{fFfFfFfF-0000-4000-8000-000000000006}",
     "  spaced  ", "line\nbreak9|tab\there1|", 1, 2, 3},
};

// Adds the rows above through the store's own connection, in the order
// listed.
void FillSource(const std::string& location) {
    std::unique_ptr<CLibraryConnection> connection = OpenLibrary(CLibraryLocation::Parse(location));
    connection->Begin();
    QSqlQuery category = connection->Prepare(
        "INSERT INTO \"tblCategory\" (\"CategoryID\", \"Description\", \"ZOrder\", "
        "\"strCategoryID\") VALUES (?, ?, ?, ?)");
    for (const CategoryRow& row : kCategories) {
        category.bindValue(0, QString::fromUtf8(row.key));
        category.bindValue(1, QString::fromUtf8(row.description));
        category.bindValue(2, row.zOrder);
        category.bindValue(3, QString::fromUtf8(row.textKey));
        ASSERT_TRUE(category.exec()) << category.lastError().text().toStdString();
    }
    QSqlQuery item = connection->Prepare(
        "INSERT INTO \"tblPhrase\" (\"CategoryID\", \"PhraseID\", \"Mnemonic\", \"Data\", "
        "\"ZOrder\", \"PunctuationLeading\", \"PunctuationTrailing\") VALUES (?, ?, ?, ?, ?, ?, "
        "?)");
    for (const ItemRow& row : kItems) {
        item.bindValue(0, QString::fromUtf8(row.category));
        item.bindValue(1, QString::fromUtf8(row.key));
        item.bindValue(2, QString::fromUtf8(row.mnemonic));
        item.bindValue(3, QString::fromUtf8(row.data));
        item.bindValue(4, row.zOrder);
        item.bindValue(5, row.leading);
        item.bindValue(6, row.trailing);
        ASSERT_TRUE(item.exec()) << item.lastError().text().toStdString();
    }
    connection->Commit();
}

std::vector<QStringList> Sorted(std::vector<QStringList> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Everything a library holds, as another program reads it: the views'
// orders and every column of both tables.
struct LibraryContent {
    std::vector<QStringList> categoryOrder;
    std::vector<QStringList> itemOrder;
    std::vector<QStringList> categories;
    std::vector<QStringList> items;

    friend bool operator==(const LibraryContent&, const LibraryContent&) = default;
};

LibraryContent ReadContent(const std::string& location) {
    return {
        RowsDirect(location, "SELECT \"CategoryID\", \"Description\", \"ZOrder\" "
                             "FROM \"qryCategory\""),
        RowsDirect(location, "SELECT \"CategoryID\", \"PhraseID\", \"Mnemonic\", \"ZOrder\" "
                             "FROM \"qryPhrasesInCategory\""),
        Sorted(RowsDirect(location, "SELECT \"CategoryID\", \"Description\", \"ZOrder\", "
                                    "\"strCategoryID\" FROM \"tblCategory\"")),
        Sorted(RowsDirect(location, "SELECT \"CategoryID\", \"Data\", \"Mnemonic\", "
                                    "\"PhraseID\", \"ZOrder\", \"PunctuationLeading\", "
                                    "\"PunctuationTrailing\" FROM \"tblPhrase\"")),
    };
}

void PrintTo(const LibraryContent& content, std::ostream* os) {
    for (const auto* rows :
         {&content.categoryOrder, &content.itemOrder, &content.categories, &content.items}) {
        for (const QStringList& row : *rows) {
            *os << "\n  " << row.join(" | ").toStdString();
        }
        *os << "\n  --";
    }
}

// Where a copy goes on each engine: somewhere that holds no library yet
// (a path without a file; a database without our tables), or an empty
// library.
enum class Target { Nothing, EmptyLibrary };

struct Direction {
    Engine from;
    Engine to;
    Target target;
};

class Libraries : public testing::Test {
protected:
    // A new source or target location on `engine`; empty (and the test
    // skipped) when the server's programs are not installed.
    std::string Location(Engine engine, Target target) {
        static int count = 0;
        ++count;
        if (engine == Engine::SQLite) {
            const std::string path =
                dir.filePath(QStringLiteral("library %1.blz").arg(count)).toStdString();
            if (target == Target::EmptyLibrary) {
                CreateLibrary(path);
            }
            return path;
        }
        std::string whyNot;
        CPostgresServer* server = CPostgresServer::Shared(&whyNot);
        if (server == nullptr) {
            skipReason = whyNot;
            return {};
        }
        const std::string address = server->Address(server->CreateDatabase());
        if (target == Target::EmptyLibrary) {
            CreateLibrary(address);
        }
        return address;
    }

    std::string Library(Engine engine) { return Location(engine, Target::EmptyLibrary); }

    QTemporaryDir dir;
    std::string skipReason;
};

class CopyDirections : public Libraries, public testing::WithParamInterface<Direction> {};

TEST_P(CopyDirections, EveryRowAndOrderArrivesAsStored) {
    const std::string from = Library(GetParam().from);
    const std::string to = Location(GetParam().to, GetParam().target);
    if (!skipReason.empty()) {
        GTEST_SKIP() << skipReason;
    }
    FillSource(from);
    const LibraryContent source = ReadContent(from);
    ASSERT_EQ(source.items.size(), std::size(kItems));

    const LibraryCopySummary summary = CopyLibrary(from, to);
    EXPECT_EQ(summary.categories, 3);
    EXPECT_EQ(summary.items, 6);
    EXPECT_EQ(CheckLibrary(to), "");
    EXPECT_EQ(ReadContent(to), source);
    // The source is only read.
    EXPECT_EQ(ReadContent(from), source);
}

INSTANTIATE_TEST_SUITE_P(
    Engines, CopyDirections,
    testing::Values(Direction{Engine::SQLite, Engine::PostgreSQL, Target::Nothing},
                    Direction{Engine::PostgreSQL, Engine::SQLite, Target::Nothing},
                    Direction{Engine::SQLite, Engine::SQLite, Target::EmptyLibrary},
                    Direction{Engine::PostgreSQL, Engine::PostgreSQL, Target::EmptyLibrary}),
    [](const testing::TestParamInfo<Direction>& param) {
        return EngineName(param.param.from) + "To" + EngineName(param.param.to) +
               (param.param.target == Target::Nothing ? "New" : "EmptyLibrary");
    });

class CopyRefusal : public Libraries, public testing::WithParamInterface<Engine> {
protected:
    std::string Display(const std::string& location) { return LibraryDisplayName(location); }
};

// A library that holds anything is no target: the message names it, and
// it keeps exactly what it held.
TEST_P(CopyRefusal, ANonEmptyTargetIsRefusedAndKeptAsItWas) {
    const std::string from = Library(Engine::SQLite);
    const std::string to = Library(GetParam());
    if (!skipReason.empty()) {
        GTEST_SKIP() << skipReason;
    }
    FillSource(from);
    {
        std::unique_ptr<CLibraryConnection> target = OpenLibrary(CLibraryLocation::Parse(to));
        target->Exec("INSERT INTO \"tblCategory\" (\"Description\") VALUES ('Mine')");
    }
    const LibraryContent before = ReadContent(to);
    try {
        CopyLibrary(from, to);
        FAIL() << "a copy went into a library that holds a category";
    } catch (const CDaoException& error) {
        EXPECT_EQ(error.what(), "The library \"" + Display(to) +
                                    "\" is not empty: it holds 1 category and 0 items. Only an "
                                    "empty library can take these rows in.");
    }
    EXPECT_EQ(ReadContent(to), before);
}

// An item whose category is missing (a file edited without foreign keys)
// is refused by the target after the categories went in: nothing of the
// copy stays, neither rows nor a new file nor tables in an empty database.
TEST_P(CopyRefusal, ARowTheTargetRefusesLeavesNothingBehind) {
    const std::string from = Library(Engine::SQLite);
    const std::string to = Location(GetParam(), Target::Nothing);
    if (!skipReason.empty()) {
        GTEST_SKIP() << skipReason;
    }
    FillSource(from);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "orphan");
        db.setDatabaseName(QString::fromStdString(from));
        ASSERT_TRUE(db.open());
        QSqlQuery orphan(db);
        ASSERT_TRUE(orphan.exec("INSERT INTO tblPhrase (CategoryID, Mnemonic, ZOrder) "
                                "VALUES ('{00000000-0000-4000-8000-00000000DEAD}', 'lost', 99)"))
            << orphan.lastError().text().toStdString();
        orphan.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("orphan");

    EXPECT_THROW(CopyLibrary(from, to), CDaoException);
    if (GetParam() == Engine::SQLite) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(to + suffix))) << suffix;
        }
    } else {
        EXPECT_EQ(QueryDirect(to, "SELECT count(*) FROM pg_class c JOIN pg_namespace n ON "
                                  "n.oid = c.relnamespace WHERE n.nspname = 'public'")
                      .toInt(),
                  0);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, CopyRefusal, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         [](const testing::TestParamInfo<Engine>& param) {
                             return EngineName(param.param);
                         });

// A role that may only read the target's library: refused in the usual
// words, nothing written.
TEST_F(Libraries, ATargetTheRoleMayNotWriteIsRefused) {
    const std::string from = Library(Engine::SQLite);
    const std::string owned = Library(Engine::PostgreSQL);
    if (!skipReason.empty()) {
        GTEST_SKIP() << skipReason;
    }
    FillSource(from);
    CPostgresServer* server = CPostgresServer::Shared();
    const QString database = CLibraryLocation::Parse(owned).DatabaseName();
    const QString role = "copy_reader_" + database;
    server->Run(database, "CREATE ROLE " + role + " LOGIN");
    server->Run(database, "GRANT SELECT ON blurtle_library, \"tblCategory\", \"tblPhrase\", "
                          "\"qryCategory\", \"qryPhrasesInCategory\" TO " +
                              role);
    const std::string to = server->Address(database, role);
    try {
        CopyLibrary(from, to);
        FAIL() << "a read-only role filled the library";
    } catch (const CDaoException& error) {
        EXPECT_EQ(error.what(), "The library \"" + LibraryDisplayName(to) + "\" is read-only.");
    }
    EXPECT_EQ(QueryDirect(owned, "SELECT count(*) FROM \"tblCategory\"").toInt(), 0);
}

} // namespace
