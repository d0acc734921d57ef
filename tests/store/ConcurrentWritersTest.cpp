#include "tests/store/LibraryFixture.h"

#include <gtest/gtest.h>

#include <QProcess>

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

} // namespace
