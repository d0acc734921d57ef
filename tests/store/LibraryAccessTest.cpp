// How the store meets the file system and other programs: libraries the
// user may only read, a file replaced or deleted while a recordset holds
// it, and errors told in words.
#include "store/CategoryQry.h"
#include "store/DaoException.h"
#include "store/KeyHelpers.h"
#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/PhraseTbl.h"
#include "store/PhrasesInCategoryQry.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <string>

namespace {

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

// What another program (the sqlite3 shell) reads from the file at `path`.
QString ShellQuery(const std::string& path, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QString::fromStdString(path), sql});
    if (!shell.waitForFinished(20000)) {
        return QStringLiteral("<sqlite3 did not finish>");
    }
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed() +
           QString::fromUtf8(shell.readAllStandardError()).trimmed();
}

std::string ReasonText(CDaoException::Reason reason) {
    switch (reason) {
    case CDaoException::Reason::Engine:
        return "Engine";
    case CDaoException::Reason::NotALibrary:
        return "NotALibrary";
    case CDaoException::Reason::ReadOnly:
        return "ReadOnly";
    case CDaoException::Reason::LibraryGone:
        return "LibraryGone";
    }
    return "?";
}

struct ReadOnlyCase {
    const char* name;
    bool folderReadOnly;
};

class ReadOnlyLibrary : public testing::TestWithParam<ReadOnlyCase> {};

// A library shared read-only (the file, or the folder it is in) is listed
// and read; a write says so in words and changes nothing; nothing is left
// beside the file.
TEST_P(ReadOnlyLibrary, IsReadAndRefusesWritesLeavingNothingBeside) {
    if (RerunAsNobodyIfRoot()) {
        return;
    }
    CTempLibrary library;
    const std::string category = AddCategory("Shared", 0);
    const std::string item = AddPhrase(category, "hello", "Hello9|", 0);
    CLibraryConnection::CloseIdle(); // the program that wrote it has ended
    const QString folder = library.dir.path();
    const QString file = QString::fromStdString(library.path);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    if (GetParam().folderReadOnly) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    const QStringList before = FolderEntries(folder);

    {
        CCategoryQry categories;
        categories.Open();
        ASSERT_FALSE(categories.IsEOF());
        EXPECT_EQ(categories.m_Description, "Shared");

        CPhraseTbl table;
        table.Open();
        table.SetCurrentIndex("PrimaryKey");
        EXPECT_FALSE(table.CanUpdate());
        ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
        EXPECT_EQ(table.m_Data, "Hello9|");

        const std::string expected = "The library \"" + library.path + "\" is read-only.";
        const std::function<void()> writes[] = {
            [&] { table.Edit(); },
            [&] { table.AddNew(); },
            [&] { table.Delete(); },
            [&] { table.BeginTrans(); },
        };
        for (const auto& write : writes) {
            try {
                write();
                ADD_FAILURE() << "a write on a read-only library went through";
            } catch (const CDaoException& error) {
                EXPECT_EQ(error.what(), expected);
                EXPECT_EQ(ReasonText(error.GetReason()), "ReadOnly");
            }
        }
        EXPECT_EQ(FolderEntries(folder), before) << "while open";
    }
    EXPECT_EQ(FolderEntries(folder), before) << "after the close";
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(*) FROM tblPhrase").toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Sharing, ReadOnlyLibrary,
                         testing::Values(ReadOnlyCase{"ReadOnlyFile", false},
                                         ReadOnlyCase{"ReadOnlyFolder", true}),
                         [](const testing::TestParamInfo<ReadOnlyCase>& param) {
                             return std::string(param.param.name);
                         });

class MovedLibrary : public testing::Test {
protected:
    void SetUp() override {
        category = AddCategory("C", 0);
        item = AddPhrase(category, "original", "Original9|", 0);
        table.Open();
        table.SetCurrentIndex("PrimaryKey");
        ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
    }

    // Another copy of the library, made as a sync tool or a restore would.
    std::string MakeCopy(const char* name, const char* mnemonic) {
        const std::string copy = library.FilePath(name);
        EXPECT_EQ(ShellQuery(library.path,
                             QStringLiteral(".backup '%1'").arg(QString::fromStdString(copy))),
                  QString());
        QueryDirect(copy, QStringLiteral("UPDATE tblPhrase SET Mnemonic = '%1'")
                              .arg(QString::fromLatin1(mnemonic)));
        return copy;
    }

    CTempLibrary library;
    std::string category;
    std::string item;
    CPhraseTbl table;
};

// A file renamed over the library's path is the library from then on:
// the long-lived table reads and writes it, not the file it opened.
TEST_F(MovedLibrary, AFileRenamedOverItIsFollowed) {
    const std::string copy = MakeCopy("incoming.blz", "from the copy");
    ASSERT_EQ(std::rename(copy.c_str(), library.path.c_str()), 0);

    EXPECT_TRUE(table.FollowLibrary());
    EXPECT_FALSE(table.FollowLibrary()) << "followed once is enough";
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
    EXPECT_EQ(table.m_Mnemonic, "from the copy");

    ASSERT_EQ(std::rename(MakeCopy("second.blz", "second copy").c_str(), library.path.c_str()), 0);
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item))) << "a seek follows by itself";
    EXPECT_EQ(table.m_Mnemonic, "second copy");
    table.Edit();
    table.m_Mnemonic = "written";
    table.Update();
    EXPECT_EQ(ShellQuery(library.path, "SELECT Mnemonic FROM tblPhrase"), "written");
    EXPECT_EQ(ShellQuery(library.path, "PRAGMA integrity_check"), "ok");
}

// The sqlite3 shell holds the old file, with a change in the log by the
// path: the new file is read alone, and written only once the shell ends.
TEST_F(MovedLibrary, AFileRenamedOverItWhileAnotherProgramHoldsTheOldIsNeverMixedWithIt) {
    const std::string copy = MakeCopy("incoming.blz", "from the copy");
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {QString::fromStdString(library.path)});
    holder.write(QStringLiteral("INSERT INTO tblPhrase (CategoryID, Mnemonic, Data) VALUES "
                                "('%1', 'only in the old file', 'x9|');\nSELECT 'holding';\n")
                     .arg(QString::fromStdString(category))
                     .toUtf8());
    while (!holder.readAllStandardOutput().contains("holding")) {
        ASSERT_TRUE(holder.waitForReadyRead(20000)) << holder.readAllStandardError().toStdString();
    }
    ASSERT_EQ(std::rename(copy.c_str(), library.path.c_str()), 0);

    CPhrasesInCategoryQry list;
    list.m_CATEGORYID = category;
    list.Open();
    EXPECT_EQ(list.m_Mnemonic, "from the copy");
    list.MoveNext();
    EXPECT_TRUE(list.IsEOF());
    list.Close();
    try {
        table.Edit();
        table.m_Mnemonic = "written on a mixed view";
        table.Update();
        FAIL() << "a write went through another file's log";
    } catch (const CDaoException& error) {
        EXPECT_EQ(ReasonText(error.GetReason()), "ReadOnly");
    }

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
    table.Edit();
    table.m_Mnemonic = "written";
    table.Update();
    table.Close();
    EXPECT_EQ(ShellQuery(library.path, "SELECT group_concat(Mnemonic) FROM tblPhrase"), "written");
}

// A library deleted while it is open: writes are refused with words that
// say so, and nothing is written anywhere.
TEST_F(MovedLibrary, ADeletedLibraryRefusesWrites) {
    table.Edit();
    table.m_Mnemonic = "lost?";
    ASSERT_TRUE(QFile::remove(QString::fromStdString(library.path)));
    try {
        table.Update();
        FAIL() << "a write went to a file that no longer exists";
    } catch (const CDaoException& error) {
        EXPECT_EQ(ReasonText(error.GetReason()), "LibraryGone");
        EXPECT_NE(std::string(error.what()).find("is no longer there"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(library.path)));
}

// The old file's changes must never reach a file put back at its path: a
// log of the old file left beside the path would be read as the new one's.
TEST_F(MovedLibrary, ItsChangesNeverReachAFilePutBackAtItsPath) {
    const std::string backup = MakeCopy("backup.blz", "restored");
    table.Edit();
    table.m_Mnemonic = "changed in the old file";
    table.Update();
    QTest::qWait(300); // the program goes idle after the change

    const std::string aside = library.FilePath("moved-away.blz");
    ASSERT_EQ(std::rename(library.path.c_str(), aside.c_str()), 0);
    ASSERT_EQ(std::rename(backup.c_str(), library.path.c_str()), 0);

    EXPECT_EQ(ShellQuery(library.path, "SELECT Mnemonic FROM tblPhrase"), "restored");
    EXPECT_EQ(ShellQuery(library.path, "PRAGMA integrity_check"), "ok");
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
    EXPECT_EQ(table.m_Mnemonic, "restored");
    table.Close();
    EXPECT_EQ(ShellQuery(library.path, "SELECT Mnemonic FROM tblPhrase"), "restored");
    EXPECT_EQ(ShellQuery(aside, "SELECT Mnemonic FROM tblPhrase"), "changed in the old file");
}

// A database error reaches the user as a sentence saying what happened,
// with the engine's own text after it for support.
TEST(EngineErrors, AreToldInWordsWithTheEngineTextAfter) {
    CTempLibrary library;
    const std::string category = AddCategory("C", 0);
    const std::string item = AddPhrase(category, "a", "a9|", 0);
    CPhraseTbl table;
    table.Open();
    table.SetCurrentIndex("PrimaryKey");

    // An item whose category does not exist.
    table.AddNew();
    table.m_CategoryID = "{00000000-0000-4000-8000-000000000000}";
    try {
        table.Update();
        FAIL() << "an item without its category was stored";
    } catch (const CDaoException& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.rfind("The library \"" + library.path +
                                 "\" refused the change: the "
                                 "item's category no longer exists",
                             0),
                  0U)
            << text;
        EXPECT_NE(text.find("Details: FOREIGN KEY constraint failed"), std::string::npos) << text;
    }

    // Another program holds the library's write lock past our patience.
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {QString::fromStdString(library.path)});
    ASSERT_TRUE(holder.waitForStarted());
    holder.write("BEGIN EXCLUSIVE;\nUPDATE tblPhrase SET Data = Data;\nSELECT 'locked';\n");
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_TRUE(table.Seek("=", MakeSeekKey(item)));
    table.Edit();
    table.m_Mnemonic = "b";
    try {
        table.Update();
        FAIL() << "a write went through a lock held by another program";
    } catch (const CDaoException& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.rfind("The library \"" + library.path + "\" is busy", 0), 0U) << text;
        EXPECT_NE(text.find("Details: database is locked"), std::string::npos) << text;
    }
    holder.write("ROLLBACK;\n.quit\n");
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
}

} // namespace
