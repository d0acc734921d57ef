// A library watched as a palette watches it: every way another program
// changes it is heard, on a file and on a server, and a server connection
// that breaks is heard again once it is back.
#include "store/LibraryWatch.h"
#include "store/Library.h"
#include "store/LibraryLocation.h"
#include "store/LibraryWatchStart.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PostgresServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

namespace {

// Generous: the watch tells within a second on a quiet machine; a busy
// test machine must not make the test fail.
constexpr int kWaitMs = 10000;

struct ChangeCase {
    const char* name;
    Engine engine;
    // Changes the library as another program would.
    std::function<void(const CTempLibrary&)> change;
};

std::string CaseName(const testing::TestParamInfo<ChangeCase>& info) {
    return info.param.name;
}

class WatchedChange : public testing::TestWithParam<ChangeCase> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ENGINE(library);
        category = AddCategory("Watched", 0);
        AddPhrase(category, "one", "One9|", 0);
    }

    CTempLibrary library{GetParam().engine};
    std::string category;
};

void Run(const CTempLibrary& library, const char* sql) {
    QueryDirect(library.path, QString::fromLatin1(sql));
}

TEST_P(WatchedChange, IsHeard) {
    const std::unique_ptr<CLibraryWatch> watch =
        StartLibraryWatch(CLibraryLocation::Parse(library.path));
    QSignalSpy changed(watch.get(), &CLibraryWatch::Changed);
    // A moment for the server watch to connect and listen.
    QSignalSpy settled(watch.get(), &CLibraryWatch::Changed);
    settled.wait(500);
    changed.clear();

    GetParam().change(library);
    ASSERT_TRUE(changed.count() > 0 || changed.wait(kWaitMs)) << "the change was not heard";
    EXPECT_TRUE(watch->IsListening());
}

const ChangeCase kChanges[] = {
    {"FileCategoryAdded", Engine::SQLite,
     [](const CTempLibrary& library) {
         Run(library, "INSERT INTO \"tblCategory\" (\"Description\") VALUES ('New')");
     }},
    {"FileItemRenamed", Engine::SQLite,
     [](const CTempLibrary& library) {
         Run(library, "UPDATE \"tblPhrase\" SET \"Mnemonic\" = 'uno'");
     }},
    {"FileReplacedByAnother", Engine::SQLite,
     [](const CTempLibrary& library) {
         const QString other = QString::fromStdString(library.FilePath("other.blz"));
         CreateLibrary(other.toStdString());
         ASSERT_TRUE(QDir().rename(other, QString::fromStdString(library.path)) ||
                     (QFile::remove(QString::fromStdString(library.path)) &&
                      QDir().rename(other, QString::fromStdString(library.path))));
     }},
    {"ServerCategoryAdded", Engine::PostgreSQL,
     [](const CTempLibrary& library) {
         Run(library, "INSERT INTO \"tblCategory\" (\"Description\") VALUES ('New')");
     }},
    {"ServerItemRenamed", Engine::PostgreSQL,
     [](const CTempLibrary& library) {
         Run(library, "UPDATE \"tblPhrase\" SET \"Mnemonic\" = 'uno'");
     }},
    {"ServerCategoryDeletedWithItsItems", Engine::PostgreSQL,
     [](const CTempLibrary& library) { Run(library, "DELETE FROM \"tblCategory\""); }},
    {"ServerItemsTruncated", Engine::PostgreSQL,
     [](const CTempLibrary& library) { Run(library, "TRUNCATE \"tblPhrase\""); }},
};

INSTANTIATE_TEST_SUITE_P(Changes, WatchedChange, testing::ValuesIn(kChanges), CaseName);

class ServerWatch : public testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ENGINE(library);
        server = CPostgresServer::Shared();
        database = CLibraryLocation::Parse(library.path).DatabaseName();
    }

    // Ends every connection to the library but the test's own, as a
    // server restart or a network failure would.
    void CutConnections() {
        server->Run(QStringLiteral("postgres"),
                    QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM "
                                   "pg_stat_activity WHERE datname = '%1'")
                        .arg(database));
    }

    CTempLibrary library{Engine::PostgreSQL};
    CPostgresServer* server = nullptr;
    QString database;
};

TEST_F(ServerWatch, ALostConnectionIsToldAndWhatWasMissedIsHeardWhenItIsBack) {
    const std::unique_ptr<CLibraryWatch> watch =
        StartLibraryWatch(CLibraryLocation::Parse(library.path));
    QSignalSpy listening(watch.get(), &CLibraryWatch::ListeningChanged);
    QSignalSpy changed(watch.get(), &CLibraryWatch::Changed);
    changed.wait(500);

    CutConnections();
    ASSERT_TRUE(listening.wait(kWaitMs)) << "the lost connection was not told";
    EXPECT_FALSE(listening.takeFirst().at(0).toBool());
    EXPECT_FALSE(watch->IsListening());

    // Changed while nobody listened: heard as soon as the watch is back.
    changed.clear();
    AddCategory("While away", 5);
    ASSERT_TRUE(listening.count() > 0 || listening.wait(kWaitMs)) << "never connected again";
    EXPECT_TRUE(listening.takeFirst().at(0).toBool());
    ASSERT_TRUE(changed.count() > 0 || changed.wait(kWaitMs));

    // And listening again.
    changed.clear();
    AddCategory("After", 6);
    EXPECT_TRUE(changed.wait(kWaitMs));
}

// A change every 30 ms that never pauses long enough to settle: any role
// that may connect can send notifications as fast.
TEST_F(ServerWatch, AFloodOfChangesIsToldWhileItLasts) {
    const std::unique_ptr<CLibraryWatch> watch =
        StartLibraryWatch(CLibraryLocation::Parse(library.path));
    QSignalSpy changed(watch.get(), &CLibraryWatch::Changed);
    changed.wait(500);
    QTimer flood;
    std::int16_t count = 0;
    QObject::connect(&flood, &QTimer::timeout, [&count] { AddCategory("Flood", ++count); });
    flood.start(30);
    changed.clear();
    EXPECT_TRUE(changed.wait(kWaitMs)) << "nothing was told while changes kept coming";
}

TEST_F(ServerWatch, ALibraryOutOfReachIsNotListenedToAndTheWatchEndsAtOnce) {
    const std::string address = server->Address(QStringLiteral("no_such_database_") + database);
    auto watch = StartLibraryWatch(CLibraryLocation::Parse(address));
    QSignalSpy listening(watch.get(), &CLibraryWatch::ListeningChanged);
    ASSERT_TRUE(listening.wait(kWaitMs));
    EXPECT_FALSE(watch->IsListening());
    watch.reset(); // must not wait for the next attempt
}

} // namespace
