// A table recordset's current row is the row it read, named by its key:
// whatever other programs do to the file meanwhile, Update and Delete
// change that row or none. Positions are whole integers, and several
// writes can be one transaction.
#include "store/DaoException.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

namespace {

struct WriteCase {
    const char* name;
    std::function<void(CPhraseTbl&)> write;
};

class ReplacedRow : public testing::TestWithParam<std::tuple<Engine, WriteCase>> {
protected:
    void SetUp() override { SKIP_WITHOUT_ENGINE(library); }
    CTempLibrary library{std::get<0>(GetParam())};
};

// Another program deletes the row we stand on and adds one: SQLite gives
// the new row the old row's rowid. Our write must not land in it, on a
// server either.
TEST_P(ReplacedRow, IsNeverWrittenThroughTheOldPosition) {
    const std::string category = AddCategory("C", 0);
    AddPhrase(category, "first", "First9|", 0);
    const std::string last = AddPhrase(category, "last", "Last9|", 1);

    CPhraseTbl table;
    table.Open();
    table.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(last)));
    const bool file = library.engine == Engine::SQLite;
    const QVariant rowid =
        file ? QueryDirect(library.path,
                           QStringLiteral("SELECT rowid FROM tblPhrase WHERE PhraseID = '%1'")
                               .arg(QString::fromStdString(last)))
             : QVariant();

    QueryDirect(library.path, QStringLiteral("DELETE FROM \"tblPhrase\" WHERE \"PhraseID\" = '%1'")
                                  .arg(QString::fromStdString(last)));
    QueryDirect(library.path,
                QStringLiteral("INSERT INTO \"tblPhrase\" (\"CategoryID\", \"Mnemonic\", "
                               "\"Data\") VALUES ('%1', 'theirs', 'Theirs9|')")
                    .arg(QString::fromStdString(category)));
    if (file) {
        ASSERT_EQ(
            QueryDirect(library.path, "SELECT rowid FROM tblPhrase WHERE Mnemonic = 'theirs'"),
            rowid)
            << "the other program's row should reuse the rowid, or this test proves nothing";
    }

    try {
        std::get<1>(GetParam()).write(table);
        FAIL() << "the write succeeded on a row that is gone";
    } catch (const CDaoException& error) {
        EXPECT_NE(std::string(error.what()).find("deleted by another program"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(QueryDirect(library.path, "SELECT \"Mnemonic\" || '/' || \"Data\" || '/' || "
                                        "\"ZOrder\" FROM \"tblPhrase\" WHERE \"Mnemonic\" = "
                                        "'theirs'")
                  .toString(),
              "theirs/Theirs9|/0");
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(*) FROM \"tblPhrase\"").toInt(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ReplacedRow,
    testing::Combine(testing::Values(Engine::SQLite, Engine::PostgreSQL),
                     testing::Values(WriteCase{"Update",
                                               [](CPhraseTbl& table) {
                                                   table.Edit();
                                                   table.m_Mnemonic = "mine";
                                                   table.m_ZOrder = 7;
                                                   table.Update();
                                               }},
                                     WriteCase{"Delete",
                                               [](CPhraseTbl& table) { table.Delete(); }})),
    [](const testing::TestParamInfo<ReplacedRow::ParamType>& param) {
        return EngineName(std::get<0>(param.param)) + "_" + std::get<1>(param.param).name;
    });

class Positions : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override { SKIP_WITHOUT_ENGINE(library); }
    CTempLibrary library{GetParam()};
};

// A position is a whole integer both ways: written past 16 bits it is
// stored as written, and one stored so by another program reads as it is.
TEST_P(Positions, BeyondSixteenBitsAreKeptAsTheyAre) {
    const std::string category = AddCategory("C", 0);
    const std::string mine = AddPhrase(category, "mine", "x9|", 0);
    const std::string theirs = AddPhrase(category, "theirs", "y9|", 0);
    QueryDirect(library.path, QStringLiteral("UPDATE \"tblPhrase\" SET \"ZOrder\" = 70000 "
                                             "WHERE \"PhraseID\" = '%1'")
                                  .arg(QString::fromStdString(theirs)));

    CPhraseTbl table;
    table.Open();
    table.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(theirs)));
    EXPECT_EQ(table.m_ZOrder, 70000);
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(mine)));
    table.Edit();
    table.m_ZOrder = 99999;
    table.Update();
    EXPECT_EQ(QueryDirect(library.path, QStringLiteral("SELECT \"ZOrder\" FROM \"tblPhrase\" "
                                                       "WHERE \"PhraseID\" = '%1'")
                                            .arg(QString::fromStdString(mine)))
                  .toInt(),
              99999);
}

// Several writes as one: another connection sees none of them until the
// commit, and none at all after a rollback or when the recordset goes
// away first.
TEST_P(Positions, ATransactionIsStoredWholeOrNotAtAll) {
    const std::string category = AddCategory("C", 0);
    const std::string a = AddPhrase(category, "a", "a9|", 0);
    const std::string b = AddPhrase(category, "b", "b9|", 1);
    const auto sum = [&] {
        return QueryDirect(library.path, "SELECT sum(\"ZOrder\") FROM \"tblPhrase\"").toInt();
    };
    const auto moveBoth = [&](CPhraseTbl& table) {
        table.BeginTrans();
        for (const std::string& key : {a, b}) {
            ASSERT_TRUE(table.Seek("=", MakeSeekKey(key)));
            table.Edit();
            table.m_ZOrder += 10;
            table.Update();
        }
    };

    {
        CPhraseTbl table;
        table.Open();
        moveBoth(table);
        table.Rollback();
        EXPECT_EQ(sum(), 1);
        moveBoth(table);
    } // destroyed with its transaction open
    EXPECT_EQ(sum(), 1);

    CPhraseTbl table;
    table.Open();
    moveBoth(table);
    table.CommitTrans();
    EXPECT_EQ(sum(), 21);
}

INSTANTIATE_TEST_SUITE_P(Engines, Positions, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         [](const testing::TestParamInfo<Engine>& param) {
                             return EngineName(param.param);
                         });

} // namespace
