#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>

#include <chrono>
#include <future>
#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString UniqueKey() {
    return QStringLiteral("BlurtleTest-") + QUuid::createUuid().toString(QUuid::Id128);
}

// Claims in another thread, as a second start of the program would, while
// this thread runs the primary's event loop.
CSingleInstance::Role ClaimElsewhere(const QString& key, CSingleInstance::Request request,
                                     int timeoutMs) {
    auto result = std::async(std::launch::async, [&] {
        CSingleInstance second(key);
        return second.Claim(request, timeoutMs);
    });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return result.get();
}

} // namespace

TEST(SingleInstance, KeyNamesTheTitleAndTheUser) {
    const QString key = CSingleInstance::KeyFor(QStringLiteral("Blurtle (TM)"));
    EXPECT_TRUE(key.startsWith(QStringLiteral("Blurtle-TM-"))) << key.toStdString();
    EXPECT_FALSE(key.contains(QLatin1Char(' ')));
}

TEST(SingleInstance, LaterStartsHandTheirRequestToTheFirst) {
    const QString key = UniqueKey();
    CSingleInstance first(key);
    ASSERT_EQ(first.Claim(CSingleInstance::Request::Show), CSingleInstance::Role::Primary);
    QSignalSpy shows(&first, &CSingleInstance::ShowRequested);
    QSignalSpy closes(&first, &CSingleInstance::HideAndCloseRequested);

    EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::Show, 5000),
              CSingleInstance::Role::HandedOver);
    EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::Show, 5000),
              CSingleInstance::Role::HandedOver);
    EXPECT_EQ(shows.count(), 2);
    EXPECT_EQ(closes.count(), 0);

    EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::HideAndClose, 5000),
              CSingleInstance::Role::HandedOver);
    EXPECT_EQ(closes.count(), 1);
}

TEST(SingleInstance, WhatACrashLeftBehindNeverBlocksAStart) {
    const QString key = UniqueKey();
    CSingleInstance probe(key);
    // A socket file and a lock file whose owner is long gone.
    {
        QFile socket(probe.SocketPath());
        ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
        QFile lock(probe.LockPath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write("2147483646\nblurtle\n\n");
    }
    CSingleInstance start(key);
    EXPECT_EQ(start.Claim(CSingleInstance::Request::Show, 2000), CSingleInstance::Role::Primary);
    EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::Show, 5000),
              CSingleInstance::Role::HandedOver);
}

TEST(SingleInstance, AStartThatNeverListensMakesTheNextGiveUpInTime) {
    const QString key = UniqueKey();
    CSingleInstance probe(key);
    QLockFile held(probe.LockPath());
    ASSERT_TRUE(held.tryLock(0));
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::Show, 300),
              CSingleInstance::Role::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
}

TEST(SingleInstance, TheLockIsFreeAgainOnceThePrimaryEnds) {
    const QString key = UniqueKey();
    {
        CSingleInstance first(key);
        ASSERT_EQ(first.Claim(CSingleInstance::Request::Show), CSingleInstance::Role::Primary);
    }
    CSingleInstance next(key);
    EXPECT_EQ(next.Claim(CSingleInstance::Request::Show, 1000), CSingleInstance::Role::Primary);
}

namespace {

// What another user may have left where a start without a session runtime
// directory keeps its lock and socket.
enum class Planted {
    Nothing,
    OurFolderOpenToAll, // ours, but anyone could have put a lock in it
    LinkToTheirFolder,  // a symbolic link to a folder of another user
    TheirFolder,        // the folder's name taken by another user
};

struct PlantedCase {
    const char* name;
    Planted planted;
};
void PrintTo(const PlantedCase& c, std::ostream* os) {
    *os << c.name;
}

class WithoutRuntimeDirectory : public testing::TestWithParam<PlantedCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_shared.isValid());
        // Shared as /tmp is: anyone may make files, only their owner
        // removes them.
        ASSERT_EQ(::chmod(QFile::encodeName(m_shared.path()).constData(), 01777), 0);
        m_runtime = qgetenv("XDG_RUNTIME_DIR");
        m_tmp = qgetenv("TMPDIR");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(m_shared.path()));
    }
    void TearDown() override {
        Restore("XDG_RUNTIME_DIR", m_runtime);
        Restore("TMPDIR", m_tmp);
    }

    QString Shared(const QString& name) const { return m_shared.filePath(name); }
    static void Restore(const char* name, const QByteArray& value) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }

    QTemporaryDir m_shared;
    QByteArray m_runtime;
    QByteArray m_tmp;
};

constexpr uid_t kNobody = 65534;

void MakeFolder(const QString& path, mode_t mode, uid_t owner) {
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::mkdir(native.constData(), mode), 0);
    ASSERT_EQ(::chmod(native.constData(), mode), 0);
    ASSERT_EQ(::chown(native.constData(), owner, static_cast<gid_t>(-1)), 0);
}

} // namespace

TEST_P(WithoutRuntimeDirectory, TheLockAndSocketLiveInAFolderOnlyWeReach) {
    const PlantedCase& c = GetParam();
    const QString ours = Shared(QStringLiteral("blurtle-%1").arg(::getuid()));
    const QString theirs = Shared(QStringLiteral("theirs"));
    if ((c.planted == Planted::LinkToTheirFolder || c.planted == Planted::TheirFolder) &&
        ::getuid() != 0) {
        GTEST_SKIP() << "giving a folder to another user needs root";
    }
    switch (c.planted) {
    case Planted::Nothing:
        break;
    case Planted::OurFolderOpenToAll:
        MakeFolder(ours, 0777, ::getuid());
        ASSERT_TRUE(QFile(ours + QStringLiteral("/planted")).open(QIODevice::WriteOnly));
        break;
    case Planted::LinkToTheirFolder:
        MakeFolder(theirs, 0777, kNobody);
        ASSERT_TRUE(QFile::link(theirs, ours));
        break;
    case Planted::TheirFolder:
        MakeFolder(ours, 0700, kNobody);
        break;
    }

    const QString key = UniqueKey();
    CSingleInstance first(key);
    ASSERT_EQ(first.Claim(CSingleInstance::Request::Show, 2000), CSingleInstance::Role::Primary);
    const QString folder = QFileInfo(first.SocketPath()).path();
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode)) << folder.toStdString();
    EXPECT_EQ(info.st_uid, ::getuid());
    EXPECT_EQ(info.st_mode & 077, 0u) << std::oct << info.st_mode;
    EXPECT_NE(QDir(folder).canonicalPath(), QDir(m_shared.path()).canonicalPath());
    EXPECT_EQ(QFileInfo(first.LockPath()).path(), folder);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/planted")));
    if (c.planted == Planted::LinkToTheirFolder) {
        EXPECT_TRUE(QDir(theirs).isEmpty()) << "the link was followed";
    }
    EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::Show, 5000),
              CSingleInstance::Role::HandedOver);
}

INSTANTIATE_TEST_SUITE_P(
    Planted, WithoutRuntimeDirectory,
    testing::Values(PlantedCase{"nothing", Planted::Nothing},
                    PlantedCase{"ourFolderOpenToAll", Planted::OurFolderOpenToAll},
                    PlantedCase{"linkToTheirFolder", Planted::LinkToTheirFolder},
                    PlantedCase{"theirFolder", Planted::TheirFolder}),
    [](const testing::TestParamInfo<PlantedCase>& param) { return param.param.name; });
