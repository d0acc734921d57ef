#include "tests/automation/BusClient.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// `blurtle --find` as a script runs it: no display, the library named by
// the user's settings.
class FindCommandTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string letters = AddCategory("Letters", 0);
        AddPhrase(letters, "Dear", "Dear Sir,9|", 0);
        AddPhrase(letters, "Crème", "Crème brûlée9|", 1);
        AddPhrase(AddCategory("Sweets", 1), "Cream cake", "Cake9|", 0);
        const QString folder = home.path() + QStringLiteral("/config/Quillfen");
        QDir().mkpath(folder);
        QFile settings(folder + QStringLiteral("/blurtle.conf"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("[%General]\nDatabasePath=%1\n")
                           .arg(QString::fromStdString(library.path))
                           .toUtf8());
    }

    CToolRun Run(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.path() + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return RunTool(QStringLiteral(BLURTLE_EXECUTABLE), arguments, environment);
    }

    CTempLibrary library;
    QTemporaryDir home;
};

// One line per match in the find's order, each a name --compose takes;
// the words need no quotes.
TEST_F(FindCommandTest, PrintsTheNamesComposeTakesInOrder) {
    CToolRun run = Run({QStringLiteral("--find"), QStringLiteral("cre")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Letters/Crème\nSweets/Cream cake\n"));
    run = Run({QStringLiteral("--find"), QStringLiteral("BRULEE"), QStringLiteral("creme")});
    EXPECT_EQ(run.out, QStringLiteral("Letters/Crème\n"));
    run = Run({QStringLiteral("--compose"), run.out.trimmed()});
    EXPECT_EQ(run.out, QStringLiteral("Crème brûlée  "));
}

TEST_F(FindCommandTest, NothingFoundExitsWithOneAndPrintsNothing) {
    const CToolRun run = Run({QStringLiteral("--find"), QStringLiteral("nowhere")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(run.err, QString());
}

} // namespace
