#include "store/CategoryQry.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"
#include "tests/support/LibraryFixture.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <csignal>

#include <memory>
#include <vector>

namespace {

TEST(ConcurrentWriters, TwoProcessesAddingToOneLibraryLoseNoRow) {
    CTempLibrary library;
    const std::string category = AddCategory("shared", 0);
    constexpr int kEach = 2000;

    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* tag : {"first", "second"}) {
        auto writer = std::make_unique<QProcess>();
        writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer->start(QStringLiteral(BLURTLE_STORE_WRITER),
                      {QString::fromStdString(library.path), QString::fromStdString(category),
                       QString::fromLatin1(tag), QString::number(kEach)});
        ASSERT_TRUE(writer->waitForStarted(10000));
        writers.push_back(std::move(writer));
    }
    for (auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(300000));
        EXPECT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0);
    }
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(*) FROM tblPhrase").toInt(), 2 * kEach);
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(DISTINCT Mnemonic) FROM tblPhrase").toInt(),
              2 * kEach);
    EXPECT_EQ(QueryDirect(library.path, "PRAGMA integrity_check").toString(), "ok");
}

// A writer killed at any moment (kill -9: no close, no checkpoint, no
// cleanup) leaves a sound library holding every row it reported stored.
TEST(ConcurrentWriters, AWriterKilledAtAnyMomentLosesNoCommittedRow) {
    CTempLibrary library;
    const std::string category = AddCategory("killed", 0);
    int reported = 0;
    for (int round = 0; round < 10; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(BLURTLE_STORE_WRITER),
                     {QString::fromStdString(library.path), QString::fromStdString(category),
                      QStringLiteral("r%1").arg(round), QStringLiteral("1000000"),
                      QStringLiteral("--report")});
        ASSERT_TRUE(writer.waitForStarted(10000));
        // A different moment every round: after 5 to 50 stored rows.
        const int wanted = 5 + round * 5;
        QStringList stored;
        while (stored.size() < wanted && writer.waitForReadyRead(20000)) {
            while (writer.canReadLine()) {
                stored << QString::fromUtf8(writer.readLine()).trimmed();
            }
        }
        ASSERT_GE(stored.size(), wanted) << "round " << round;
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(10000));
        stored << QString::fromUtf8(writer.readAll()).split('\n', Qt::SkipEmptyParts);
        reported += static_cast<int>(stored.size());

        EXPECT_EQ(QueryDirect(library.path, "PRAGMA integrity_check").toString(), "ok")
            << "round " << round;
        for (const QString& mnemonic : stored) {
            ASSERT_EQ(
                QueryDirect(library.path, QStringLiteral("SELECT count(*) FROM tblPhrase WHERE "
                                                         "Mnemonic = '%1'")
                                              .arg(mnemonic.trimmed()))
                    .toInt(),
                1)
                << mnemonic.toStdString() << " was reported stored in round " << round;
        }
    }
    EXPECT_GE(QueryDirect(library.path, "SELECT count(*) FROM tblPhrase").toInt(), reported);
}

// The palette keeps its phrase table open for hours while it opens and
// closes other recordsets, and other programs read and write the same file
// and exit. Nothing of that may cost the long-lived table its file.
TEST(ConcurrentWriters, ALongLivedTableSurvivesOtherOpensAndOtherProgramsExiting) {
    CTempLibrary library;
    const std::string category = AddCategory("shared", 0);
    CPhraseTbl longLived;
    longLived.Open();
    longLived.SetCurrentIndex("PrimaryKey");

    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 2; ++i) {
            CCategoryQry categories; // every open checks the file afresh
            categories.Open();
            categories.Close();
        }
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString tag = QStringLiteral("round%1").arg(round);
        writer.start(QStringLiteral(BLURTLE_STORE_WRITER),
                     {QString::fromStdString(library.path), QString::fromStdString(category), tag,
                      QStringLiteral("1")});
        ASSERT_TRUE(writer.waitForFinished(60000));
        ASSERT_EQ(writer.exitCode(), 0);

        const std::string key =
            QueryDirect(
                library.path,
                QStringLiteral("SELECT PhraseID FROM tblPhrase WHERE Mnemonic LIKE '%1%'").arg(tag))
                .toString()
                .toStdString();
        ASSERT_FALSE(key.empty());
        ASSERT_TRUE(longLived.Seek("=", MakeSeekKey(key))) << "round " << round;
        longLived.Edit();
        longLived.m_ZOrder = static_cast<std::int16_t>(round + 10);
        longLived.Update();
    }
    EXPECT_EQ(QueryDirect(library.path, "SELECT sum(ZOrder) FROM tblPhrase").toInt(), 33);
    EXPECT_EQ(QueryDirect(library.path, "PRAGMA integrity_check").toString(), "ok");
}

} // namespace
