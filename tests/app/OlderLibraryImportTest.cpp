#include "app/OlderLibraryImport.h"
#include "app/MumbletApp.h"
#include "app/Profile.h"
#include "import/ReaderProcess.h"
#include "store/LibraryFile.h"
#include "tests/support/ImportFixture.h"
#include "tests/support/ScriptedPromptService.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>

namespace {

// The palette as an owner: records that it was asked to close.
class Palette : public QWidget {
public:
    bool closed = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        closed = true;
        QWidget::closeEvent(event);
    }
};

// "Change Active Database..." with an older library chosen in the dialog.
class OlderLibraryChosen : public testing::Test {
protected:
    void SetUp() override {
        SetOldLibraryReaderProgram(QStringLiteral(BLURTLE_EXECUTABLE));
        current = dir.filePath("current.blz");
        CreateLibraryFile(current.toStdString());
        ASSERT_TRUE(Profile::WriteString("DatabasePath", current));
        app.UseLibrary(CLibraryLocation::Parse(current.toStdString()));
        old = dir.filePath("Phrases.mdb");
        ASSERT_TRUE(QFile::copy(QString::fromStdString(MdbFixture("small-jet4.mdb")), old));
    }

    QTemporaryDir dir;
    QString current;
    QString old;
    CScriptedPromptService prompts;
    CMumbletApp app;
    Palette palette;
};

TEST_F(OlderLibraryChosen, IsImportedBesideItAndTheNewLibraryUsed) {
    const QString made = dir.filePath("Phrases.blz");
    prompts.QueueFile(old);
    prompts.QueueFile(made);
    app.ChooseDatabaseFile(&palette, true);

    ASSERT_EQ(prompts.fileRequests.size(), 2U);
    EXPECT_FALSE(prompts.fileRequests[0].save);
    EXPECT_TRUE(prompts.fileRequests[0].filter.contains("Older libraries (*.mdb)"));
    EXPECT_TRUE(prompts.fileRequests[1].save);
    EXPECT_EQ(prompts.fileRequests[1].initialPath, made);
    EXPECT_EQ(prompts.fileRequests[1].filter, "Blurtle (TM) Databases (*.blz)");

    ASSERT_EQ(prompts.messages.size(), 2U) << prompts.MessageTexts().join('|').toStdString();
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Imported 5 categories and 30 items from " +
                                                    old + " into " + made + "."))
        << prompts.messages[0].text.toStdString();
    EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Information);
    EXPECT_EQ(prompts.messages[1].text,
              "In order to initialize the database, Blurtle must now close");
    EXPECT_EQ(app.m_strDatabasePath, made.toStdString());
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), made);
    EXPECT_TRUE(palette.closed);
    EXPECT_EQ(RowsOf(made.toStdString(), "SELECT count(*) FROM tblPhrase")[0][0].toInt(), 30);
}

TEST_F(OlderLibraryChosen, AnExistingFileIsRefusedAndTheNameAskedAgain) {
    const QString made = dir.filePath("Imported.blz");
    prompts.QueueFile(old);
    prompts.QueueFile(current);
    prompts.QueueFile(made);
    app.ChooseDatabaseFile(&palette, false);

    ASSERT_EQ(prompts.fileRequests.size(), 3U);
    EXPECT_EQ(prompts.fileRequests[2].initialPath, current);
    ASSERT_GE(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, "\"" + current +
                                            "\" already exists. The imported library needs a new "
                                            "file name.");
    EXPECT_EQ(app.m_strDatabasePath, made.toStdString());
    EXPECT_FALSE(palette.closed);
    EXPECT_EQ(CheckLibraryFile(current.toStdString()), "");
}

TEST_F(OlderLibraryChosen, CancellingTheSaveDialogChangesNothing) {
    prompts.QueueFile(old);
    app.ChooseDatabaseFile(&palette, true); // the save dialog finds no answer: cancelled
    EXPECT_EQ(prompts.fileRequests.size(), 2U);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(app.m_strDatabasePath, current.toStdString());
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), current);
    EXPECT_FALSE(palette.closed);
    EXPECT_EQ(FilesIn(dir.path()), QStringList({"current.blz", "Phrases.mdb"}));
}

TEST_F(OlderLibraryChosen, AFailedImportSaysWhyAndKeepsTheLibrary) {
    const QString cut = dir.filePath("cut.mdb");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(MdbFixture("truncated.mdb")), cut));
    prompts.QueueFile(cut);
    prompts.QueueFile(dir.filePath("cut.blz"));
    app.ChooseDatabaseFile(&palette, true);

    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_TRUE(prompts.messages[0].text.contains(cut)) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains("cut short"));
    EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Stop);
    EXPECT_EQ(app.m_strDatabasePath, current.toStdString());
    EXPECT_FALSE(palette.closed);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cut.blz")));
}

TEST_F(OlderLibraryChosen, AReaderThatCrashesIsTold) {
    prompts.QueueFile(old);
    prompts.QueueFile(dir.filePath("Phrases.blz"));
    qputenv("BLURTLE_TEST_READER_ABORT", "1");
    app.ChooseDatabaseFile(&palette, true);
    qunsetenv("BLURTLE_TEST_READER_ABORT");
    EXPECT_EQ(prompts.MessageTexts(),
              QStringList("\"" + old + "\" could not be read: the reader stopped (signal 6)."));
}

TEST(ProposedLibrary, IsBesideTheOldFileUnderANameNotTaken) {
    QTemporaryDir dir;
    const QString old = dir.filePath("My phrases.v2.mdb");
    const QString data = dir.filePath("data");
    EXPECT_EQ(ProposedLibraryPath(old, data), dir.filePath("My phrases.v2.blz"));
    CreateLibraryFile(dir.filePath("My phrases.v2.blz").toStdString());
    EXPECT_EQ(ProposedLibraryPath(old, data), dir.filePath("My phrases.v2 (2).blz"));
    QFile(dir.filePath("My phrases.v2 (2).blz")).open(QIODevice::WriteOnly);
    EXPECT_EQ(ProposedLibraryPath(old, data), dir.filePath("My phrases.v2 (3).blz"));
}

TEST(ProposedLibrary, IsInTheDataFolderWhenTheOldOnesCantBeWritten) {
    if (RerunAsNobodyIfRoot()) {
        return;
    }
    QTemporaryDir dir;
    const QString shelf = dir.filePath("read-only shelf");
    ASSERT_TRUE(QDir().mkpath(shelf));
    ASSERT_TRUE(QFile::setPermissions(shelf, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString data = dir.filePath("data");
    EXPECT_EQ(ProposedLibraryPath(shelf + "/Phrases.mdb", data), data + "/Phrases.blz");
    QFile::setPermissions(shelf,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
