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

#include <fcntl.h>
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

// Without XDG_RUNTIME_DIR the lock and socket live in a folder only we reach,
// whatever another user put under its name (only root can plant the last two).
TEST(SingleInstance, WithoutARuntimeDirectoryUsesAFolderOnlyThisUserReaches) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    for (const std::string planted : {"nothing", "open", "link", "theirs"}) {
        QTemporaryDir shared;
        const std::string base = QFile::encodeName(shared.path()).toStdString();
        const std::string ours = base + "/blurtle-" + std::to_string(::getuid());
        const std::string theirs = planted == "link" ? base + "/theirs" : ours;
        EXPECT_EQ(::chmod(base.c_str(), 01777), 0); // as /tmp is
        qputenv("TMPDIR", base.c_str());
        if (planted == "open") {
            EXPECT_EQ(::mkdir(ours.c_str(), 0777) + ::chmod(ours.c_str(), 0777) +
                          ::close(::creat((ours + "/planted").c_str(), 0600)),
                      0);
        } else if (planted != "nothing" && ::getuid() == 0) {
            EXPECT_EQ(::mkdir(theirs.c_str(), 0700) + ::chown(theirs.c_str(), 65534, -1U) +
                          (theirs != ours ? ::symlink(theirs.c_str(), ours.c_str()) : 0),
                      0);
        }
        const QString key = UniqueKey();
        CSingleInstance first(key);
        EXPECT_EQ(first.Claim(CSingleInstance::Request::Show, 2000),
                  CSingleInstance::Role::Primary);
        const QString folder = QFileInfo(first.SocketPath()).path();
        struct stat info {};
        EXPECT_TRUE(::lstat(QFile::encodeName(folder).constData(), &info) == 0 &&
                    S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
                    (info.st_mode & 077) == 0 && !QFile::exists(folder + "/planted"))
            << planted << ": " << folder.toStdString();
        EXPECT_EQ(ClaimElsewhere(key, CSingleInstance::Request::Show, 5000),
                  CSingleInstance::Role::HandedOver);
    }
    runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
    tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
}
