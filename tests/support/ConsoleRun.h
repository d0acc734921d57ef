#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

// What a program run on a terminal gave back.
struct CConsoleRun {
    int exitCode = -1;
    QString out;
    QString err;
    bool crashed = false;
};

// Runs `program ARGUMENTS` as a user would on a terminal without a display:
// DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are taken out of
// `environment`. Waits for the end without an event loop.
inline CConsoleRun
RunWithoutDisplay(const QString& program, const QStringList& arguments,
                  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
                  int timeoutMs = 60000) {
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(timeoutMs)) << program.toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()),
            process.exitStatus() != QProcess::NormalExit};
}
