// Finding items by typed words, on both engines: in a library that keeps
// its folded columns (rows written by the program and by other programs),
// and in a read-only one without them, which folds as it reads.
#include "store/LibraryFind.h"
#include "engine/FindFold.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/PhraseTbl.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct FindCase {
    const char* typed;
    std::vector<std::string> found; // "Category/Mnemonic", in order
};

// Letters (ZOrder 0) comes before Sweets (ZOrder 1), though added after it.
const FindCase kCases[] = {
    // accents ignored; mnemonic matches before text matches, whatever the category
    {"creme", {"Sweets/Crème", "Letters/Cream"}},
    // letter case and accents of the stored text ignored
    {"NAIVE", {"Letters/Naïve reply"}},
    // accents typed are ignored too
    {"crème BRÛLÉE", {"Letters/Cream"}},
    // words in any order, each in the mnemonic or an iteration
    {"there dear", {"Letters/Dear"}},
    // a word in a later iteration
    {"hello", {"Letters/Dear"}},
    // every word must occur
    {"dear cream", {}},
    // a decomposed accent in the stored mnemonic
    {"cafe", {"Sweets/Cafe\xcc\x81"}},
    // each group in category order, then item order
    {"e",
     {"Letters/Dear", "Letters/Cream", "Letters/Naïve reply", "Sweets/Crème", "Sweets/Cafe\xcc\x81",
      "Letters/w", "Sweets/Tart"}},
    // the weight character is not text
    {"9", {}},
    // nor is the separator
    {"|", {}},
    // nor does a word run from one iteration into the next
    {"cd", {}},
    // a quote in a word of three letters or more, and _ and % are text
    {"e\"f", {"Letters/w"}},
    {"a_c", {}},
    // a text changed by the program's own edit is found as it is now
    {"lemon", {"Sweets/Tart"}},
    {"placeholder", {}},
    // no words, nothing found
    {"  ", {}},
};

// Every character the fold changes, as a mnemonic.
std::string EveryFoldedCharacter() {
    std::string text;
    for (const FoldedCharacter& entry : FindFoldTable()) {
        text += QString::fromUcs4(&entry.codePoint, 1).toStdString();
    }
    return text;
}

std::vector<std::string> Names(const std::vector<FoundPhrase>& found) {
    std::vector<std::string> names;
    for (const FoundPhrase& phrase : found) {
        names.push_back(phrase.categoryName + "/" + phrase.mnemonic);
    }
    return names;
}

struct FindMode {
    Engine engine;
    bool readOnlyWithoutColumns;
};

class LibraryFind : public testing::TestWithParam<FindMode> {
protected:
    // Rows as another program writes them, and as the program does.
    void Fill() {
        const auto direct = [this](const QString& sql) { QueryDirect(library.path, sql); };
        direct("INSERT INTO \"tblCategory\" (\"Description\", \"ZOrder\") VALUES ('Sweets', 1)");
        direct("INSERT INTO \"tblCategory\" (\"Description\", \"ZOrder\") VALUES ('Letters', 0)");
        const auto item = [&](const char* category, const QString& mnemonic, const char* data,
                              int zOrder) {
            direct(QStringLiteral("INSERT INTO \"tblPhrase\" (\"CategoryID\", \"Mnemonic\", "
                                  "\"Data\", \"ZOrder\") SELECT \"CategoryID\", '%1', '%2', %3 "
                                  "FROM \"tblCategory\" WHERE \"Description\" = '%4'")
                       .arg(mnemonic, QString::fromUtf8(data))
                       .arg(zOrder)
                       .arg(QLatin1String(category)));
        };
        item("Letters", QStringLiteral("w"), "abc9|de\"f3|", 3);
        item("Letters", QStringLiteral("Naïve reply"), "No9|", 2);
        item("Letters", QStringLiteral("Cream"), "Crème brûlée9|", 1);
        item("Letters", QStringLiteral("Dear"), "Dear Sir or Madam,9|Hello there3|", 0);
        item("Sweets", QStringLiteral("Crème"), "Sweet9|", 0);
        item("Sweets", QStringLiteral("Cafe\u0301"), "Coffee9|", 2);
        const std::string sweets = QueryDirect(library.path, "SELECT \"CategoryID\" FROM "
                                                             "\"tblCategory\" WHERE "
                                                             "\"Description\" = 'Sweets'")
                                       .toString()
                                       .toStdString();
        const std::string tart = AddPhrase(sweets, "Tart", "placeholder9|", 1);
        CPhraseTbl table;
        table.Open();
        ASSERT_TRUE(table.SeekKey(tart));
        table.Edit();
        table.m_Data = "Lemon tart with cream9|";
        table.Update();
    }

    // The library as an older version left it, shared read-only.
    void DropColumnsAndShareReadOnly() {
        CLibraryConnection::CloseIdle();
        if (library.engine == Engine::SQLite) {
            for (const char* sql :
                 {"DROP TRIGGER trgPhraseFoldInsert", "DROP TRIGGER trgPhraseFoldUpdate",
                  "DROP TRIGGER trgPhraseFoldDelete", "DROP TABLE tblPhraseFind",
                  "DROP INDEX idxPhraseInCategory",
                  "ALTER TABLE tblPhrase DROP COLUMN FoldedMnemonic",
                  "ALTER TABLE tblPhrase DROP COLUMN FoldedText"}) {
                QueryDirect(library.path, sql);
            }
            QFile::setPermissions(QString::fromStdString(library.path), QFileDevice::ReadOwner);
            return;
        }
        CPostgresServer* server = CPostgresServer::Shared();
        const QString database = CLibraryLocation::Parse(library.path).DatabaseName();
        const QString role = QStringLiteral("finder_") + database;
        server->Run(database, QStringLiteral("ALTER TABLE \"tblPhrase\" DROP COLUMN "
                                             "\"FoldedMnemonic\", DROP COLUMN \"FoldedText\""));
        server->Run(database, QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
        server->Run(database, QStringLiteral("GRANT SELECT ON \"tblCategory\", \"tblPhrase\", "
                                             "blurtle_library, \"qryCategory\", "
                                             "\"qryPhrasesInCategory\" TO %1")
                                  .arg(role));
        library.UsePath(server->Address(database, role));
    }

    CTempLibrary library{GetParam().engine};
};

TEST_P(LibraryFind, FindsEveryWordIgnoringCaseAndAccentsMnemonicsFirst) {
    if (GetParam().engine == Engine::SQLite && GetParam().readOnlyWithoutColumns &&
        RerunAsNobodyIfRoot()) {
        return;
    }
    SKIP_WITHOUT_ENGINE(library);
    // The program folds typed words with the table the library folds with.
    AddPhrase(AddCategory("All", 0), EveryFoldedCharacter(), "x9|", 0);
    EXPECT_EQ(CLibraryFind(EveryFoldedCharacter()).Count(), 1);
    QueryDirect(library.path, "DELETE FROM \"tblCategory\"");
    Fill();
    if (GetParam().readOnlyWithoutColumns) {
        DropColumnsAndShareReadOnly();
    }
    // Both plans: every match sorted at once, and the groups read in turn.
    for (const int fewMatches : {CLibraryFind::kFewMatches, 0}) {
        SCOPED_TRACE(fewMatches);
        for (const FindCase& row : kCases) {
            SCOPED_TRACE(row.typed);
            const CLibraryFind find(row.typed, fewMatches);
            EXPECT_EQ(Names(find.All()), row.found);
            EXPECT_EQ(find.Count(), static_cast<int>(row.found.size()));
        }
        // A page is the same slice of the same order, wherever it starts.
        const CLibraryFind find("e", fewMatches);
        const std::vector<std::string> all = Names(find.All());
        for (std::size_t first = 0; first <= all.size(); ++first) {
            const std::size_t last = std::min(all.size(), first + 2);
            EXPECT_EQ(Names(find.Page(static_cast<int>(first), 2)),
                      std::vector<std::string>(all.begin() + static_cast<long>(first),
                                               all.begin() + static_cast<long>(last)))
                << first;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, LibraryFind,
    testing::Values(FindMode{Engine::SQLite, false}, FindMode{Engine::SQLite, true},
                    FindMode{Engine::PostgreSQL, false}, FindMode{Engine::PostgreSQL, true}),
    [](const testing::TestParamInfo<FindMode>& param) {
        return EngineName(param.param.engine) +
               (param.param.readOnlyWithoutColumns ? "ReadOnlyWithoutColumns" : "KeepingColumns");
    });

// An older version's library: without the folded columns, or with them
// but without the indexes.
struct OlderMode {
    Engine engine;
    bool withColumns;
};

class OlderLibrary : public testing::TestWithParam<OlderMode> {};

// A library an older version made gets the folded columns and the indexes,
// rows already in it included, the first time this version opens it for
// writing.
TEST_P(OlderLibrary, GetsTheFoldedColumnsAtTheFirstOpenForWriting) {
    const bool server = GetParam().engine == Engine::PostgreSQL;
    CTempLibrary library(GetParam().engine);
    SKIP_WITHOUT_ENGINE(library);
    AddPhrase(AddCategory("Letters", 0), "Crème", "Brûlée9|", 0);
    CLibraryConnection::CloseIdle();
    std::vector<const char*> drops{"DROP INDEX \"idxCategoryOrder\""};
    if (server) {
        drops.push_back("DROP INDEX \"idxPhraseFind\"");
    } else {
        drops.insert(drops.end(), {"DROP TRIGGER trgPhraseFoldDelete", "DROP TABLE tblPhraseFind",
                                   "DROP INDEX idxPhraseInCategory"});
    }
    if (!GetParam().withColumns) {
        if (!server) {
            drops.insert(drops.end(),
                         {"DROP TRIGGER trgPhraseFoldInsert", "DROP TRIGGER trgPhraseFoldUpdate"});
        }
        drops.insert(drops.end(), {"ALTER TABLE \"tblPhrase\" DROP COLUMN \"FoldedMnemonic\"",
                                   "ALTER TABLE \"tblPhrase\" DROP COLUMN \"FoldedText\""});
    }
    for (const char* sql : drops) {
        QueryDirect(library.path, sql);
    }
    EXPECT_EQ(Names(CLibraryFind("brulee").All()), std::vector<std::string>{"Letters/Crème"});
    EXPECT_EQ(RowsDirect(library.path, "SELECT \"FoldedMnemonic\", \"FoldedText\" FROM "
                                       "\"tblPhrase\""),
              (std::vector<QStringList>{{"creme", "brulee\n"}}));
    // The indexes are there, the file's trigram index holding the row.
    EXPECT_EQ(
        QueryDirect(library.path, server ? "SELECT count(*) FROM pg_indexes WHERE indexname IN "
                                           "('idxCategoryOrder', 'idxPhraseFind')"
                                         : "SELECT (SELECT count(*) FROM tblPhraseFind WHERE "
                                           "tblPhraseFind MATCH '\"rul\"') + (SELECT count(*) FROM "
                                           "sqlite_master WHERE name IN ('idxCategoryOrder', "
                                           "'idxPhraseInCategory'))")
            .toInt(),
        server ? 2 : 3);
}

INSTANTIATE_TEST_SUITE_P(Libraries, OlderLibrary,
                         testing::Values(OlderMode{Engine::SQLite, false},
                                         OlderMode{Engine::SQLite, true},
                                         OlderMode{Engine::PostgreSQL, false},
                                         OlderMode{Engine::PostgreSQL, true}),
                         [](const testing::TestParamInfo<OlderMode>& param) {
                             return EngineName(param.param.engine) +
                                    (param.param.withColumns ? "WithColumns" : "WithoutColumns");
                         });

} // namespace
