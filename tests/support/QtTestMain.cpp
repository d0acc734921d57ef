// Entry point of the Qt test executables: an offscreen QApplication whose
// settings, data and caches live in a fresh temporary home, so no test
// reads or writes the user's own.
#include <gtest/gtest.h>

#include "app/ErrorGuard.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/blurtle-test-XXXXXX"));
    if (!home.isValid()) {
        return 2;
    }
    const QByteArray root = home.path().toLocal8Bit();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    QDir(home.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);

    testing::InitGoogleTest(&argc, argv);
    // The program's own application object, so errors escaping an event
    // handler are reported as the program reports them.
    CGuardedApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
