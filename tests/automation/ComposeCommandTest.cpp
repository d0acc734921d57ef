#include "tests/automation/BusClient.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// `blurtle --compose` as a script runs it: no display, the library named
// by the user's settings.
class ComposeCommandTest : public testing::Test {
protected:
    void SetUp() override {
        greetings = AddCategory("Greetings", 0);
        AddPhrase(greetings, "hello", "Hello there9|", 0, 2, 1);
        twice1 = AddPhrase(greetings, "twice", "one9|", 1);
        twice2 = AddPhrase(greetings, "twice", "two9|", 2);
        AddPhrase(greetings, "lines", "Dear Sir,9|", 3, 0, 4);
        UseLibrary(QString::fromStdString(library.path));
    }

    void UseLibrary(const QString& path) {
        const QString folder = home.path() + QStringLiteral("/config/Quillfen");
        QDir().mkpath(folder);
        QFile settings(folder + QStringLiteral("/blurtle.conf"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("[%General]\nDatabasePath=%1\n").arg(path).toUtf8());
    }

    CToolRun Compose(const QString& item) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.path() + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return RunTool(QStringLiteral(BLURTLE_EXECUTABLE), {QStringLiteral("--compose"), item},
                       environment);
    }

    CTempLibrary library;
    QTemporaryDir home;
    std::string greetings, twice1, twice2;
};

TEST_F(ComposeCommandTest, PrintsTheComposedTextAsItIs) {
    CToolRun run = Compose(QStringLiteral("Greetings/hello"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("  Hello there "));
    EXPECT_EQ(run.err, QString());
    // The item's own line breaks, and nothing added.
    run = Compose(QStringLiteral("greetings/lines"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Dear Sir,\n\n\n"));
}

TEST_F(ComposeCommandTest, AKeyNamesOneOfTwoItemsOfTheSameName) {
    const CToolRun run = Compose(QString::fromStdString(twice2).toLower());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("two  "));
}

TEST_F(ComposeCommandTest, AnAmbiguousNameFailsAndListsTheKeys) {
    const CToolRun run = Compose(QStringLiteral("Greetings/twice"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QString());
    EXPECT_TRUE(run.err.contains(QStringLiteral("2 items are called \"Greetings/twice\"")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromStdString(twice1))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromStdString(twice2))) << run.err.toStdString();
}

TEST_F(ComposeCommandTest, AMissingItemFailsWithItsName) {
    const CToolRun run = Compose(QStringLiteral("Greetings/goodbye"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(run.err, QStringLiteral("blurtle: There is no item \"Greetings/goodbye\".\n"));
}

TEST_F(ComposeCommandTest, AMissingLibraryFailsWithItsPath) {
    const QString missing = home.path() + QStringLiteral("/gone.blz");
    UseLibrary(missing);
    const CToolRun run = Compose(QStringLiteral("Greetings/hello"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(missing)) << "a library was made where none was";
}

} // namespace
