#include "app/MumbletApp.h"
#include "app/Profile.h"
#include "store/CategoryQry.h"
#include "store/CurrentDatabase.h"
#include "store/Library.h"
#include "store/LibraryFile.h"
#include "store/PhrasesInCategoryQry.h"
#include "tests/support/ConsoleRun.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <optional>
#include <ostream>

namespace {

const QString kCaption = QStringLiteral("Blurtle (TM)");
const QString kFilter = QStringLiteral("Blurtle (TM) Databases (*.blz);;Older libraries (*.mdb)");

QString DefaultPathMessage() {
    return QStringLiteral("Default database path is not defined.  Press OK to assign the default "
                          "database.  The factory default location is:\n\n") +
           CMumbletApp::DefaultDatabasePath() +
           QStringLiteral(".\n\nYou may also share this database or access another Blurtle "
                          "database across your network.");
}

QString MissingMessage(const QString& path) {
    return QStringLiteral("Unable to locate database file \"") + path +
           QStringLiteral("\".  Please locate a valid Blurtle data file.");
}

// The palette as an owner: records how it was asked to close.
class CloseRecorder : public QWidget {
public:
    std::optional<bool> closedSpontaneously;

protected:
    void closeEvent(QCloseEvent* event) override {
        closedSpontaneously = event->spontaneous();
        QWidget::closeEvent(event);
    }
};

class DatabaseLocation : public testing::Test {
protected:
    void SetUp() override {
        ForgetSetting();
        QFile::remove(CMumbletApp::DefaultDatabasePath());
        library = dir.filePath("chosen.blz");
        CreateLibraryFile(library.toStdString());
    }
    void TearDown() override {
        ForgetSetting();
        QFile::remove(CMumbletApp::DefaultDatabasePath());
    }
    static void ForgetSetting() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quillfen",
                  QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
            .remove("General/DatabasePath");
        ASSERT_FALSE(Profile::Contains("DatabasePath"));
    }
    std::string Path() const { return app.m_strDatabasePath; }

    QTemporaryDir dir;
    QString library;
    CScriptedPromptService prompts;
    CMumbletApp app;
    QWidget palette;
};

TEST_F(DatabaseLocation, FirstStartMakesTheFactoryLibraryWithoutAWord) {
    app.VerifyDatabasePath(&palette);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(prompts.fileRequests.empty());
    const QString expected = CMumbletApp::DefaultDatabasePath();
    EXPECT_TRUE(expected.endsWith("/Quillfen/Blurtle/Blurtle.blz")) << expected.toStdString();
    EXPECT_EQ(Path(), expected.toStdString());
    EXPECT_EQ(CheckLibraryFile(Path()), "");

    CCategoryQry categories;
    categories.Open();
    ASSERT_FALSE(categories.IsEOF());
    CPhrasesInCategoryQry items;
    items.m_CATEGORYID = categories.m_CategoryID.substr(6, 38);
    items.Open();
    int count = 0;
    for (; !items.IsEOF(); items.MoveNext()) {
        ++count;
    }
    EXPECT_GE(count, 3);
}

TEST_F(DatabaseLocation, AbsentSettingWithTheDefaultFilePresentSaysNothing) {
    app.VerifyDatabasePath(&palette); // makes the default file
    CScriptedPromptService later;
    CMumbletApp second;
    second.VerifyDatabasePath(&palette);
    EXPECT_TRUE(later.messages.empty());
    EXPECT_EQ(second.m_strDatabasePath, CMumbletApp::DefaultDatabasePath().toStdString());
    EXPECT_FALSE(Profile::Contains("DatabasePath"));
}

TEST_F(DatabaseLocation, PresentLibrarySaysNothing) {
    Profile::WriteString("DatabasePath", library);
    app.VerifyDatabasePath(&palette);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_EQ(Path(), library.toStdString());
    EXPECT_EQ(GetCurrentDatabasePath(), library.toStdString());
}

TEST_F(DatabaseLocation, EmptySettingCancelledTwiceShowsBothMessagesAndTwoDialogs) {
    Profile::WriteString("DatabasePath", "");
    app.VerifyDatabasePath(&palette);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({DefaultPathMessage(), MissingMessage("")}));
    for (const auto& message : prompts.messages) {
        EXPECT_EQ(message.caption, kCaption);
        EXPECT_EQ(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    ASSERT_EQ(prompts.fileRequests.size(), 2U);
    EXPECT_EQ(prompts.fileRequests[0].filter, kFilter);
    EXPECT_EQ(prompts.fileRequests[0].defaultSuffix, "blz");
    EXPECT_EQ(prompts.fileRequests[0].initialPath, "");
    EXPECT_EQ(Path(), "");
    EXPECT_EQ(Profile::GetString("DatabasePath", "unset"), "");
}

TEST_F(DatabaseLocation, EmptySettingThenAChosenLibraryStoresIt) {
    Profile::WriteString("DatabasePath", "");
    prompts.QueueFile(library);
    app.VerifyDatabasePath(&palette);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({DefaultPathMessage()}));
    EXPECT_EQ(prompts.fileRequests.size(), 1U);
    EXPECT_EQ(Path(), library.toStdString());
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), library);
}

TEST_F(DatabaseLocation, MissingFileNamesItAndACancelKeepsThePath) {
    const QString gone = dir.filePath("gone \"%1\" .blz");
    Profile::WriteString("DatabasePath", gone);
    app.VerifyDatabasePath(&palette);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({MissingMessage(gone)}));
    ASSERT_EQ(prompts.fileRequests.size(), 1U);
    EXPECT_EQ(prompts.fileRequests[0].initialPath, gone);
    EXPECT_EQ(Path(), gone.toStdString());
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), gone);
}

TEST_F(DatabaseLocation, MissingFileThenAChosenLibraryStoresIt) {
    Profile::WriteString("DatabasePath", dir.filePath("gone.blz"));
    prompts.QueueFile(library);
    app.VerifyDatabasePath(&palette);
    EXPECT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(Path(), library.toStdString());
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), library);
}

TEST_F(DatabaseLocation, AFileThatIsNoLibraryIsNamedWithItsReason) {
    const QString junk = dir.filePath("junk.blz");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a database at all, just some words that fill a hundred bytes or more of "
               "text so the header can be read");
    file.close();
    Profile::WriteString("DatabasePath", junk);
    app.VerifyDatabasePath(&palette);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text,
              QString::fromStdString(CheckLibraryFile(junk.toStdString())) +
                  "  Please locate a valid Blurtle data file.");
    EXPECT_TRUE(prompts.messages[0].text.contains(junk));
    EXPECT_EQ(prompts.fileRequests.size(), 1U);
    EXPECT_EQ(Path(), junk.toStdString());
}

// A server address in the setting is a library like a file: a library
// there says nothing; a database that is none is named with its reason.
TEST_F(DatabaseLocation, AServerAddressIsCheckedAsALibrary) {
    std::string whyNot;
    CPostgresServer* server = CPostgresServer::Shared(&whyNot);
    if (server == nullptr) {
        GTEST_SKIP() << whyNot;
    }
    const QString shared = QString::fromStdString(server->Address(server->CreateDatabase()));
    CreateLibrary(shared.toStdString());
    Profile::WriteString("DatabasePath", shared);
    app.VerifyDatabasePath(&palette);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Path(), shared.toStdString());

    const QString empty = QString::fromStdString(server->Address(server->CreateDatabase()));
    Profile::WriteString("DatabasePath", empty);
    app.VerifyDatabasePath(&palette);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("The database \"%1\" is not a Blurtle "
                                                       "library.  Please locate a valid Blurtle "
                                                       "data file.")
                                            .arg(empty));
}

TEST_F(DatabaseLocation, ChangingTheDatabaseWritesTheSettingThenAsksThePaletteToClose) {
    Profile::WriteString("DatabasePath", dir.filePath("old.blz"));
    CloseRecorder owner;
    QString settingWhenTold;
    struct Witness : CScriptedPromptService {
        QString* seen = nullptr;
        QMessageBox::StandardButton ShowMessage(QWidget* o, const QString& text, const QString& c,
                                                QMessageBox::StandardButtons b, Icon i) override {
            *seen = Profile::GetString("DatabasePath", "");
            return CScriptedPromptService::ShowMessage(o, text, c, b, i);
        }
    } witness;
    witness.seen = &settingWhenTold;
    witness.QueueFile(library);

    app.ChooseDatabaseFile(&owner, true);
    EXPECT_EQ(witness.MessageTexts(),
              QStringList({"In order to initialize the database, Blurtle must now close"}));
    EXPECT_EQ(settingWhenTold, library);
    EXPECT_EQ(Path(), library.toStdString());
    ASSERT_TRUE(owner.closedSpontaneously.has_value());
    EXPECT_FALSE(*owner.closedSpontaneously);
}

TEST_F(DatabaseLocation, ChoosingAFileThatIsNoLibraryChangesNothing) {
    Profile::WriteString("DatabasePath", library);
    app.UseLibrary(CLibraryLocation::Parse(library.toStdString()));
    const QString other = dir.filePath("other.txt");
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CloseRecorder owner;
    prompts.QueueFile(other);
    app.ChooseDatabaseFile(&owner, true);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_TRUE(prompts.messages[0].text.contains("is empty"))
        << prompts.messages[0].text.toStdString();
    EXPECT_EQ(Path(), library.toStdString());
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), library);
    EXPECT_FALSE(owner.closedSpontaneously.has_value());

    prompts.messages.clear();
    app.ChooseDatabaseFile(&owner, true); // cancelled
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Path(), library.toStdString());
}

// Settings that can't be written: the settings file's name taken by a
// folder, or its folder's name taken by a file (as root, file modes would
// not stop the write).
struct UnwritableCase {
    const char* label;
    bool folderIsAFile; // else the file is a folder
    bool closeAfterChange;
    QString why;
};
void PrintTo(const UnwritableCase& c, std::ostream* os) {
    *os << c.label;
}

class UnwritableSettings : public DatabaseLocation,
                           public testing::WithParamInterface<UnwritableCase> {
protected:
    void TearDown() override {
        QDir(settingsFile).removeRecursively();
        if (QFileInfo(settingsFolder).isFile()) {
            QFile::remove(settingsFolder);
        }
        DatabaseLocation::TearDown();
    }
    QString settingsFile = Profile::FileName();
    QString settingsFolder = QFileInfo(settingsFile).absolutePath();
};

TEST_P(UnwritableSettings, TheNewLibraryIsNotClaimedAsRemembered) {
    const UnwritableCase& c = GetParam();
    const QString old = dir.filePath("old.blz");
    CreateLibraryFile(old.toStdString());
    ASSERT_TRUE(Profile::WriteString("DatabasePath", old));
    app.UseLibrary(CLibraryLocation::Parse(old.toStdString()));
    if (c.folderIsAFile) {
        ASSERT_TRUE(QDir(settingsFolder).removeRecursively());
        QFile blocker(settingsFolder);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    } else {
        ASSERT_TRUE(QFile::remove(settingsFile));
        ASSERT_TRUE(QDir().mkpath(settingsFile));
    }

    CloseRecorder owner;
    prompts.QueueFile(library);
    app.ChooseDatabaseFile(&owner, c.closeAfterChange);

    ASSERT_EQ(prompts.messages.size(), 1U) << prompts.MessageTexts().join('|').toStdString();
    const QString text = prompts.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("The new library \"") + library +
                                QStringLiteral("\" could not be remembered")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\"") + settingsFile + QStringLiteral("\"")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(c.why)) << text.toStdString();
    EXPECT_FALSE(text.contains("must now close"));
    EXPECT_FALSE(owner.closedSpontaneously.has_value()) << "the palette must not close";
    // A change asked for while the palette runs keeps the open library;
    // at start-up the chosen one is used for this session.
    EXPECT_EQ(Path(), c.closeAfterChange ? old.toStdString() : library.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, UnwritableSettings,
    testing::Values(UnwritableCase{"fileIsAFolder", false, true, "a folder has its name"},
                    UnwritableCase{"folderIsAFile", true, true, "is a file, not a folder"},
                    UnwritableCase{"atStartUp", false, false, "a folder has its name"}),
    [](const testing::TestParamInfo<UnwritableCase>& param) {
        return std::string(param.param.label);
    });

TEST(MumbletApp, IsTheDatabasePathSourceWhileItLives) {
    {
        CMumbletApp app;
        EXPECT_EQ(CMumbletApp::Instance(), &app);
        app.UseLibrary(CLibraryLocation::Parse("/somewhere/else.blz"));
        EXPECT_EQ(GetCurrentDatabasePath(), "/somewhere/else.blz");
    }
    EXPECT_EQ(CMumbletApp::Instance(), nullptr);
    EXPECT_EQ(GetCurrentDatabasePath(), "");
}

// `blurtle --new-library PATH`, run as the user would, without a display.
using RunResult = CConsoleRun;

RunResult RunBlurtle(const QStringList& arguments) {
    return RunWithoutDisplay(QStringLiteral(BLURTLE_EXECUTABLE), arguments,
                             QProcessEnvironment::systemEnvironment(), 30000);
}

struct CommandLineCase {
    const char* label;
    QStringList arguments;
    int exitCode;
    QStringList out; // texts the standard output holds
    QStringList err; // texts the error output holds
};
void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.label;
}

class WithoutADisplay : public testing::TestWithParam<CommandLineCase> {};

TEST_P(WithoutADisplay, TheCommandLineIsAnsweredOnTheTerminal) {
    const CommandLineCase& c = GetParam();
    const RunResult run = RunBlurtle(c.arguments);
    ASSERT_FALSE(run.crashed) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
    for (const QString& text : c.out) {
        EXPECT_TRUE(run.out.contains(text))
            << text.toStdString() << " in " << run.out.toStdString();
    }
    for (const QString& text : c.err) {
        EXPECT_TRUE(run.err.contains(text))
            << text.toStdString() << " in " << run.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, WithoutADisplay,
    testing::Values(
        CommandLineCase{"help", {"--help"}, 0, {"--new-library <path>", "--help-all"}, {}},
        CommandLineCase{"helpAll", {"--help-all"}, 0, {"--new-library <path>", "--platform"}, {}},
        CommandLineCase{"version", {"--version"}, 0, {"blurtle "}, {}},
        CommandLineCase{"unknownLong", {"--bogus"}, 1, {}, {"Unknown option 'bogus'."}},
        CommandLineCase{"unknownShort", {"-x"}, 1, {}, {"Unknown option 'x'."}},
        CommandLineCase{"missingValue", {"--new-library"}, 1, {}, {"--new-library"}},
        // Qt's own options stay Qt's: never taken for unknown ones.
        CommandLineCase{"withQtStyle", {"-style", "fusion", "--version"}, 0, {"blurtle "}, {}},
        CommandLineCase{
            "withX11Geometry", {"-geometry", "200x300+0+0", "--help"}, 0, {"--help-all"}, {}},
        CommandLineCase{
            "withDisplayNamed", {"-display", ":77", "--help-all"}, 0, {"--help-all"}, {}},
        // The palette itself needs a display: said, not crashed.
        CommandLineCase{"palette", {}, 1, {}, {"no display"}}),
    [](const testing::TestParamInfo<CommandLineCase>& param) {
        return std::string(param.param.label);
    });

TEST(NewLibraryOption, MakesAnEmptyLibraryAndNeverOverwrites) {
    QTemporaryDir dir;
    const QString path = dir.filePath("fresh library.blz");
    const RunResult made = RunBlurtle({"--new-library", path});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(path)) << made.out.toStdString();
    EXPECT_EQ(CheckLibraryFile(path.toStdString()), "");

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const RunResult again = RunBlurtle({QStringLiteral("--new-library=") + path});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains(path)) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains("already exists")) << again.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);

    const RunResult nowhere = RunBlurtle({"--new-library", dir.filePath("no/such/dir/x.blz")});
    EXPECT_NE(nowhere.exitCode, 0);
    EXPECT_FALSE(nowhere.err.isEmpty());
}

// A server address makes the library in an empty database, once.
TEST(NewLibraryOption, MakesALibraryInAnEmptyServerDatabaseOnce) {
    std::string whyNot;
    CPostgresServer* server = CPostgresServer::Shared(&whyNot);
    if (server == nullptr) {
        GTEST_SKIP() << whyNot;
    }
    const QString address = QString::fromStdString(server->Address(server->CreateDatabase()));
    const RunResult made = RunBlurtle({"--new-library", address});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(address)) << made.out.toStdString();
    EXPECT_EQ(CheckLibrary(address.toStdString()), "");

    const RunResult again = RunBlurtle({"--new-library", address});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains("already holds a Blurtle library")) << again.err.toStdString();
}

} // namespace
