#include "tests/support/ConsoleRun.h"
#include "tests/support/ImportFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

namespace {

using Outcome = CConsoleRun;

// `blurtle ARGUMENTS` as the user runs it on a terminal, without a display.
Outcome Blurtle(const QStringList& arguments) {
    const CConsoleRun run = RunWithoutDisplay(QStringLiteral(BLURTLE_EXECUTABLE), arguments);
    EXPECT_FALSE(run.crashed);
    return run;
}

QString Fixture(const char* name) {
    return QString::fromStdString(MdbFixture(name));
}

TEST(ImportCommand, PrintsOneLineAndMakesTheLibrary) {
    QTemporaryDir dir;
    const QString target = dir.filePath("from old.blz");
    const Outcome run = Blurtle({"--import-library", Fixture("small-jet4.mdb"), target});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Imported 5 categories and 30 items from %1 into %2. 2 items "
                                      "whose category is not in the file are in the new category "
                                      "\"Items without a category\".\n")
                           .arg(Fixture("small-jet4.mdb"), target));
    EXPECT_EQ(RowsOf(target.toStdString(), "SELECT count(*) FROM tblPhrase")[0][0].toInt(), 30);
    EXPECT_EQ(RowsOf(target.toStdString(), "SELECT count(*) FROM tblCategory")[0][0].toInt(), 5);
}

TEST(ImportCommand, TakesTheOldFileAfterAnEqualsSignToo) {
    QTemporaryDir dir;
    const Outcome run =
        Blurtle({"--import-library=" + Fixture("small-jet3.mdb"), dir.filePath("a.blz")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Imported 5 categories and 26 items from "))
        << run.out.toStdString();
}

struct RefusalCase {
    const char* label;
    std::function<QStringList(const QString& folder)> arguments;
    QStringList said; // in the error output
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.label;
}

class ImportRefusal : public testing::TestWithParam<RefusalCase> {};

// Status 1, the file and the reason on the error output, nothing on the
// standard output, and no new file.
TEST_P(ImportRefusal, SaysWhyAndLeavesNoFile) {
    QTemporaryDir dir;
    const Outcome run = Blurtle(GetParam().arguments(dir.path()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    for (const QString& text : GetParam().said) {
        EXPECT_TRUE(run.err.contains(text)) << run.err.toStdString();
    }
    EXPECT_TRUE(FilesIn(dir.path()).isEmpty()) << FilesIn(dir.path()).join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ImportRefusal,
    testing::Values(
        RefusalCase{"notALibrary",
                    [](const QString& folder) {
                        return QStringList{"--import-library", Fixture("not-a-library.mdb"),
                                           QDir(folder).filePath("new.blz")};
                    },
                    {Fixture("not-a-library.mdb"), "it is not an Access database"}},
        RefusalCase{"newFileMissing",
                    [](const QString&) {
                        return QStringList{"--import-library", Fixture("small-jet4.mdb")};
                    },
                    {"--import-library takes two file names"}},
        RefusalCase{"oneFileTooMany",
                    [](const QString& folder) {
                        return QStringList{"--import-library", Fixture("small-jet4.mdb"),
                                           QDir(folder).filePath("a.blz"),
                                           QDir(folder).filePath("b.blz")};
                    },
                    {"--import-library takes two file names"}},
        RefusalCase{"folderMissing",
                    [](const QString& folder) {
                        return QStringList{"--import-library", Fixture("small-jet4.mdb"),
                                           QDir(folder).filePath("no/such/folder/new.blz")};
                    },
                    {"no/such/folder/new.blz"}}),
    [](const testing::TestParamInfo<RefusalCase>& param) {
        return std::string(param.param.label);
    });

TEST(ImportCommand, NeverTouchesAnExistingFile) {
    QTemporaryDir dir;
    const QString target = dir.filePath("mine.blz");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("my own bytes");
    }
    const Outcome run = Blurtle({"--import-library", Fixture("small-jet4.mdb"), target});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(target + "\" already exists")) << run.err.toStdString();
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "my own bytes");
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"mine.blz"});
}

// A crash inside the reader ends only the reader: the command says so.
TEST(ImportCommand, AReaderThatCrashesIsTold) {
    QTemporaryDir dir;
    qputenv("BLURTLE_TEST_READER_ABORT", "1");
    const Outcome run = Blurtle({"--import-library", Fixture("small-jet4.mdb"), dir.filePath("a")});
    qunsetenv("BLURTLE_TEST_READER_ABORT");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("\" could not be read: the reader stopped (signal 6)."))
        << run.err.toStdString();
}

} // namespace
