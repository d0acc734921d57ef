// `blurtle --copy-library FROM TO`, and `--import-library` into a server
// database, as the user runs them on a terminal: the exit status, the one
// line said, and the target library read through a connection of its own.
#include "store/LibraryLocation.h"
#include "tests/support/ConsoleRun.h"
#include "tests/support/ImportFixture.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PostgresServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <string>

#include <utime.h>

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

TEST(CopyCommand, ACopyKilledHalfwayLeavesNoFileAndTheNextRunClearsItsLeftover) {
    QTemporaryDir dir;
    const QString source = ImportedLibrary(dir);
    // Enough items that the copy is still being written when it is killed.
    QueryDirect(source.toStdString(),
                QStringLiteral("INSERT INTO tblPhrase (CategoryID, Mnemonic, Data) SELECT "
                               "a.CategoryID, a.Mnemonic, a.Data FROM tblPhrase a, tblPhrase b, "
                               "tblPhrase c"));
    const QString target = dir.filePath("target.blz");
    const auto made = [&dir] {
        return FilesIn(dir.path()).filter(QRegularExpression("^(?!source)"));
    };

    QProcess copy;
    copy.start(QStringLiteral(BLURTLE_EXECUTABLE), {"--copy-library", source, target});
    while (made().isEmpty() && !copy.waitForFinished(1)) {
    }
    copy.kill();
    copy.waitForFinished();
    ASSERT_EQ(copy.exitStatus(), QProcess::CrashExit) << "the copy ended before it was killed";
    EXPECT_FALSE(QFileInfo::exists(target)) << "a half-made library was left at the target";
    const utimbuf longAgo{};
    for (const QString& name : made()) {
        ::utime(QFile::encodeName(dir.filePath(name)).constData(), &longAgo);
    }

    const CConsoleRun again = Blurtle({"--copy-library", source, target});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(made(), QStringList({"target.blz"}));
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
