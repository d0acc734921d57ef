// A library on a PostgreSQL server as its users meet it: roles that may
// only read, databases that are no library (or a newer one), a new library
// made in an empty database, and failures to connect told in words.
#include "store/CategoryQry.h"
#include "store/DaoException.h"
#include "store/KeyHelpers.h"
#include "store/Library.h"
#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"
#include "store/PhraseTbl.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PostgresServer.h"

#include <gtest/gtest.h>

#include <QTcpServer>

#include <functional>
#include <string>

namespace {

class ServerLibrary : public testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ENGINE(library);
        server = CPostgresServer::Shared();
        database = CLibraryLocation::Parse(library.path).DatabaseName();
    }

    // Roles belong to the whole server, which other test programs share.
    QString Role(const char* name) const { return QLatin1String(name) + '_' + database; }

    // The library's address for `role`, made with only the given rights.
    std::string AddressFor(const QString& role, const QString& rights) {
        server->Run(database, QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
        server->Run(database, QStringLiteral("GRANT %1 ON \"tblCategory\", \"tblPhrase\", "
                                             "blurtle_library TO %2")
                                  .arg(rights, role));
        server->Run(database, QStringLiteral("GRANT SELECT ON \"qryCategory\", "
                                             "\"qryPhrasesInCategory\" TO %1")
                                  .arg(role));
        return server->Address(database, role);
    }

    std::string Display(const std::string& address) {
        return CLibraryLocation::Parse(address).Display();
    }

    CTempLibrary library{Engine::PostgreSQL};
    CPostgresServer* server = nullptr;
    QString database;
};

struct RightsCase {
    const char* role;
    const char* rights;
};

class ReadOnlyRole : public ServerLibrary, public testing::WithParamInterface<RightsCase> {};

// A role that may not insert, update and delete in both tables reads the
// library; each write says it is read-only, as for a read-only file.
TEST_P(ReadOnlyRole, ReadsAndRefusesWritesInWords) {
    const std::string category = AddCategory("Shared", 0);
    const std::string item = AddPhrase(category, "hello", "Hello9|", 0);
    const std::string address = AddressFor(Role(GetParam().role), GetParam().rights);
    library.UsePath(address);

    CCategoryQry categories;
    categories.Open();
    ASSERT_FALSE(categories.IsEOF());
    EXPECT_EQ(categories.m_Description, "Shared");

    CPhraseTbl table;
    table.Open();
    table.SetCurrentIndex("PrimaryKey");
    EXPECT_FALSE(table.CanUpdate());
    EXPECT_FALSE(table.CanWriteNow());
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
    EXPECT_EQ(table.m_Data, "Hello9|");

    const std::string expected = "The library \"" + Display(address) + "\" is read-only.";
    const std::function<void()> writes[] = {
        [&] { table.Edit(); },
        [&] { table.AddNew(); },
        [&] { table.Delete(); },
        [&] { table.BeginTrans(); },
    };
    for (const auto& write : writes) {
        try {
            write();
            ADD_FAILURE() << "a write by a read-only role went through";
        } catch (const CDaoException& error) {
            EXPECT_EQ(error.what(), expected);
            EXPECT_EQ(error.GetReason(), CDaoException::Reason::ReadOnly);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rights, ReadOnlyRole,
                         testing::Values(RightsCase{"reader", "SELECT"},
                                         RightsCase{"no_delete", "SELECT, INSERT, UPDATE"}),
                         [](const testing::TestParamInfo<RightsCase>& param) {
                             return std::string(param.param.role);
                         });

// Rights taken away while the library is open: the write is refused by the
// server, and told as the read-only library it now is.
TEST_F(ServerLibrary, RightsRevokedWhileOpenRefuseTheWriteInWords) {
    const std::string category = AddCategory("C", 0);
    const std::string item = AddPhrase(category, "a", "a9|", 0);
    const std::string address = AddressFor(Role("editor"), "SELECT, INSERT, UPDATE, DELETE");
    library.UsePath(address);
    CPhraseTbl table;
    table.Open();
    table.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(table.CanUpdate());
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));

    server->Run(database, "REVOKE UPDATE ON \"tblPhrase\" FROM " + Role("editor"));
    table.Edit();
    table.m_Mnemonic = "b";
    try {
        table.Update();
        FAIL() << "the write went through";
    } catch (const CDaoException& error) {
        EXPECT_EQ(
            std::string(error.what())
                .rfind("The library \"" + Display(address) + "\" is read-only.\n\nDetails: ", 0),
            0U)
            << error.what();
        EXPECT_EQ(error.GetReason(), CDaoException::Reason::ReadOnly);
    }
    EXPECT_EQ(QueryDirect(library.path, "SELECT \"Mnemonic\" FROM \"tblPhrase\"").toString(), "a");
}

// The server ended the connection (a restart, an administrator): the step
// that finds out says so, and the next one works on a new connection.
TEST_F(ServerLibrary, ALostConnectionIsToldAndTheNextStepConnectsAgain) {
    const std::string category = AddCategory("C", 0);
    const std::string item = AddPhrase(category, "a", "a9|", 0);
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(list.Seek("=", MakeSeekKey(item)));

    server->Run(QStringLiteral("postgres"),
                QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                               "WHERE datname = '%1'")
                    .arg(database));
    try {
        list.Seek("=", MakeSeekKey(item));
        FAIL() << "a connection the server ended still served";
    } catch (const CDaoException& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind("The connection to the server of the library \"" +
                                 Display(library.path) + "\" was lost. Try again.",
                             0),
                  0U)
            << error.what();
    }
    ASSERT_TRUE(list.Seek("=", MakeSeekKey(item)));
    list.Edit();
    list.m_Mnemonic = "b";
    list.Update();
    EXPECT_EQ(QueryDirect(library.path, "SELECT \"Mnemonic\" FROM \"tblPhrase\"").toString(), "b");
}

// A library that a newer version has changed is refused, also through a
// connection that was kept open for reuse.
TEST_F(ServerLibrary, ANewerFormatIsRefused) {
    {
        CCategoryQry first;
        first.Open(); // its connection is kept for the next open
    }
    server->Run(database, "UPDATE blurtle_library SET format = 99");
    const std::string expected = DescribeNewerLibrary(Display(library.path), 99);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            CCategoryQry query;
            query.Open();
            FAIL() << "a newer library was opened";
        } catch (const CDaoException& error) {
            EXPECT_EQ(error.what(), expected);
            EXPECT_EQ(error.GetReason(), CDaoException::Reason::NotALibrary);
        }
    }
    EXPECT_EQ(CheckLibrary(library.path), expected);
}

TEST_F(ServerLibrary, ADatabaseWithoutOurTablesIsNoLibrary) {
    const std::string empty = server->Address(server->CreateDatabase());
    const std::string expected =
        "The database \"" + Display(empty) + "\" is not a Blurtle library.";
    EXPECT_EQ(CheckLibrary(empty), expected);
    library.UsePath(empty);
    CPhraseTbl table;
    try {
        table.Open();
        FAIL() << "a database without our tables was opened";
    } catch (const CDaoException& error) {
        EXPECT_EQ(error.what(), expected);
        EXPECT_EQ(error.GetReason(), CDaoException::Reason::NotALibrary);
    }
    EXPECT_EQ(server
                  ->Run(CLibraryLocation::Parse(empty).DatabaseName(),
                        "SELECT count(*) FROM pg_class WHERE relname = 'tblPhrase'")
                  .toInt(),
              0)
        << "nothing was made in it";
}

// A new library goes only into a database without our tables, all of it
// in one transaction.
TEST_F(ServerLibrary, ANewLibraryNeedsAnEmptyDatabase) {
    AddCategory("kept", 0);
    try {
        CreateLibrary(library.path, {{"Seeded", {}}});
        FAIL() << "a second library was made over the first";
    } catch (const CDaoException& error) {
        EXPECT_NE(std::string(error.what()).find("already holds a Blurtle library"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(QueryDirect(library.path, "SELECT string_agg(\"Description\", ',') FROM "
                                        "\"tblCategory\"")
                  .toString(),
              "kept");

    const std::string fresh = server->Address(server->CreateDatabase());
    CreateLibrary(fresh, {{"First", {{"hi", "Hi9|", 0, 2}}}, {"Second", {}}});
    EXPECT_EQ(CheckLibrary(fresh), "");
    EXPECT_EQ(QueryDirect(fresh, "SELECT string_agg(c.\"Description\" || ':' || c.\"ZOrder\" || "
                                 "':' || (c.\"strCategoryID\" = c.\"CategoryID\"), ',' ORDER BY "
                                 "c.\"ZOrder\") FROM \"tblCategory\" c")
                  .toString(),
              "First:0:true,Second:1:true");
    EXPECT_EQ(QueryDirect(fresh, "SELECT format FROM blurtle_library").toInt(),
              kLibraryFormatVersion);
}

struct ConnectCase {
    const char* name;
    std::function<std::string(CPostgresServer&)> address;
    const char* words; // what the message says after the library's name
};

class ConnectionFailure : public testing::TestWithParam<ConnectCase> {};

// Failures to connect are told in words that name the library without a
// password, with libpq's text after them.
TEST_P(ConnectionFailure, IsToldInWordsNamingTheLibrary) {
    std::string whyNot;
    CPostgresServer* server = CPostgresServer::Shared(&whyNot);
    if (server == nullptr) {
        GTEST_SKIP() << whyNot;
    }
    const std::string address = GetParam().address(*server);
    const std::string problem = CheckLibrary(address);
    EXPECT_NE(problem.find("\"" + LibraryDisplayName(address) + "\""), std::string::npos)
        << problem;
    EXPECT_NE(problem.find(GetParam().words), std::string::npos) << problem;
    EXPECT_NE(problem.find("\n\nDetails: "), std::string::npos) << problem;
    EXPECT_EQ(problem.find("wrong password"), std::string::npos) << problem;
}

int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort(); // nothing listens there once the probe is gone
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConnectionFailure,
    testing::Values(
        ConnectCase{"WrongPassword",
                    [](CPostgresServer& s) {
                        return s.Address("postgres", "blurtle_password") +
                               "&password=wrong%20password";
                    },
                    "could not log in to the server of the library"},
        ConnectCase{"NoPassword",
                    [](CPostgresServer& s) { return s.Address("postgres", "blurtle_password"); },
                    "the server needs a password, and no password was found"},
        ConnectCase{"UnknownUser",
                    [](CPostgresServer& s) { return s.Address("postgres", "nobody_known"); },
                    "the server knows no such user"},
        ConnectCase{"NoRightToConnect",
                    [](CPostgresServer& s) {
                        const QString database = s.CreateDatabase();
                        const QString role = "no_connect_" + database;
                        s.Run("postgres", "CREATE ROLE " + role + " LOGIN");
                        s.Run("postgres",
                              "REVOKE CONNECT ON DATABASE " + database + " FROM PUBLIC");
                        return s.Address(database, role);
                    },
                    "does not let this user connect to its database"},
        ConnectCase{"NoSuchDatabase",
                    [](CPostgresServer& s) { return s.Address("no_such_database"); },
                    "does not exist on its server"},
        ConnectCase{"ConnectionRefused",
                    [](CPostgresServer&) {
                        return "postgresql://127.0.0.1:" + std::to_string(FreePort()) + "/lib";
                    },
                    "refused the connection"},
        ConnectCase{"NoServerOnTheSocket",
                    [](CPostgresServer& s) {
                        return "postgresql:///lib?host=" + s.SocketDirectory().toStdString() +
                               "/nothing&port=5432";
                    },
                    "refused the connection"}),
    [](const testing::TestParamInfo<ConnectCase>& param) { return std::string(param.param.name); });

// The password may come from libpq's own means: PGPASSWORD here.
TEST_F(ServerLibrary, APasswordFromTheEnvironmentLogsIn) {
    server->Run(database, "GRANT SELECT ON \"tblCategory\", \"tblPhrase\", blurtle_library, "
                          "\"qryCategory\", \"qryPhrasesInCategory\" TO blurtle_password");
    const std::string address = server->Address(database, "blurtle_password");
    qputenv("PGPASSWORD", "right password");
    const std::string problem = CheckLibrary(address);
    qunsetenv("PGPASSWORD");
    EXPECT_EQ(problem, "");
}

} // namespace
