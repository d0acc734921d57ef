// `blurtle --copy-library FROM TO`, and `--import-library` into a server
// database, as the user runs them on a terminal: the exit status, the one
// line said, and the target library read through a connection of its own.
#include "store/LibraryLocation.h"
#include "tests/import/ImportFixture.h"
#include "tests/store/LibraryFixture.h"
#include "tests/support/ConsoleRun.h"
#include "tests/support/PostgresServer.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

#include <csignal>

namespace {

CConsoleRun Blurtle(const QStringList& arguments) {
    const CConsoleRun run = RunWithoutDisplay(QStringLiteral(BLURTLE_EXECUTABLE), arguments);
    EXPECT_FALSE(run.crashed);
    return run;
}

QString Fixture(const char* name) {
    return QString::fromStdString(MdbFixture(name));
}

int Count(const QString& location, const char* table) {
    return QueryDirect(location.toStdString(),
                       QStringLiteral("SELECT count(*) FROM \"%1\"").arg(QLatin1String(table)))
        .toInt();
}

// A library file with 5 categories and 30 items, made as a user makes one.
QString ImportedLibrary(const QTemporaryDir& dir) {
    const QString path = dir.filePath("source.blz");
    const CConsoleRun made = Blurtle({"--import-library", Fixture("small-jet4.mdb"), path});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    return path;
}

TEST(CopyCommand, CopiesIntoANewFileThenRefusesToCopyOverIt) {
    QTemporaryDir dir;
    const QString source = ImportedLibrary(dir);
    const QString target = dir.filePath("copy of source.blz");

    const CConsoleRun copied = Blurtle({"--copy-library", source, target});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(
        copied.out,
        QStringLiteral("Copied 5 categories and 30 items from %1 into %2.\n").arg(source, target));
    EXPECT_EQ(copied.err, "");
    EXPECT_EQ(Count(target, "tblCategory"), 5);
    EXPECT_EQ(Count(target, "tblPhrase"), 30);

    const CConsoleRun again = Blurtle({"--copy-library=" + source, target});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(again.err, QStringLiteral("blurtle: The library \"%1\" is not empty: it holds 5 "
                                        "categories and 30 items. Only an empty library can take "
                                        "these rows in.\n")
                             .arg(target));
    EXPECT_EQ(Count(target, "tblPhrase"), 30);
}

TEST(CopyCommand, ACopyKilledHalfwayLeavesNoFileAndTheNextRunMakesIt) {
    QTemporaryDir dir;
    const QString source = ImportedLibrary(dir);
    // Enough items that the copy is still being written when it is killed.
    QueryDirect(source.toStdString(),
                QStringLiteral("INSERT INTO tblPhrase (CategoryID, Mnemonic, Data) "
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 20000) SELECT (SELECT min(CategoryID) FROM "
                               "tblCategory), 'm' || i, 'Text ' || i || '9|' FROM n"));
    const QString target = dir.filePath("target.blz");

    QProcess copy;
    copy.start(QStringLiteral(BLURTLE_EXECUTABLE), {"--copy-library", source, target});
    ASSERT_TRUE(copy.waitForStarted());
    // Killed the moment the copy makes its first file.
    bool killed = false;
    while (copy.state() != QProcess::NotRunning && !killed) {
        for (const QString& name : FilesIn(dir.path())) {
            if (!name.startsWith(QLatin1String("source.blz"))) {
                ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
                killed = true;
                break;
            }
        }
    }
    copy.waitForFinished();
    ASSERT_TRUE(killed) << "the copy ended before it was killed";
    EXPECT_FALSE(QFileInfo::exists(target)) << "a half-made library was left at the target";
    // What the killed run left beside the target, as if some time ago: the
    // next run clears it away.
    const auto leftOver = [&dir] {
        QStringList names = FilesIn(dir.path());
        names.removeIf([](const QString& name) { return name.startsWith("source.blz"); });
        return names;
    };
    ASSERT_FALSE(leftOver().isEmpty());
    for (const QString& name : leftOver()) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                         QFileDevice::FileModificationTime);
    }

    const CConsoleRun again = Blurtle({"--copy-library", source, target});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(Count(target, "tblPhrase"), 20030);
    EXPECT_EQ(leftOver(), QStringList({"target.blz"}));
}

TEST(CopyCommand, AMissingSourceIsNamedAndNothingIsMade) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("no such.blz");
    const CConsoleRun run = Blurtle({"--copy-library", missing, dir.filePath("target.blz")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              QStringLiteral("blurtle: The library file \"%1\" does not exist.\n").arg(missing));
    EXPECT_TRUE(FilesIn(dir.path()).isEmpty()) << FilesIn(dir.path()).join(' ').toStdString();
}

class ServerTarget : public testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        server = CPostgresServer::Shared(&whyNot);
        if (server == nullptr) {
            GTEST_SKIP() << whyNot;
        }
        database = server->CreateDatabase();
        address = QString::fromStdString(server->Address(database));
    }

    CPostgresServer* server = nullptr;
    QString database;
    QString address;
};

// Into an empty database, with a password written into the address: the
// line names the database without it.
TEST_F(ServerTarget, CopyFillsAnEmptyDatabaseAndNeverPrintsThePassword) {
    QTemporaryDir dir;
    const QString source = ImportedLibrary(dir);
    QString withPassword = address;
    withPassword.replace("postgresql://blurtle_test@", "postgresql://blurtle_test:s3cret@");
    ASSERT_NE(withPassword, address);

    const CConsoleRun run = Blurtle({"--copy-library", source, withPassword});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Copied 5 categories and 30 items from %1 into %2.\n")
                           .arg(source, QString::fromStdString(
                                            LibraryDisplayName(withPassword.toStdString()))));
    EXPECT_FALSE(run.out.contains("s3cret"));
    EXPECT_EQ(Count(address, "tblPhrase"), 30);
}

// The import takes an empty database too, once: a second import into the
// library it made is refused and changes nothing.
TEST_F(ServerTarget, ImportFillsAnEmptyDatabaseOnce) {
    const CConsoleRun run = Blurtle({"--import-library", Fixture("small-jet3.mdb"), address});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Imported 5 categories and 26 items from %1 "
                                                  "into %2.")
                                       .arg(Fixture("small-jet3.mdb"), address)))
        << run.out.toStdString();
    EXPECT_EQ(Count(address, "tblCategory"), 5);
    EXPECT_EQ(Count(address, "tblPhrase"), 26);

    const CConsoleRun again = Blurtle({"--import-library", Fixture("small-jet4.mdb"), address});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.out, "");
    EXPECT_TRUE(again.err.contains(QStringLiteral("The library \"%1\" is not empty").arg(address)))
        << again.err.toStdString();
    EXPECT_EQ(Count(address, "tblPhrase"), 26);
}

} // namespace
