#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QUuid>

#include <chrono>
#include <future>

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
