// A palette stopped by a signal (a session ending without a session manager,
// a service manager, Ctrl+C) quits in order rather than dying where it stands.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

class TerminationRequest : public testing::TestWithParam<int> {};

TEST_P(TerminationRequest, EndsThePaletteInOrder) {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
        environment.insert(QString::fromLatin1(name), home.path());
    QProcess palette;
    palette.setProcessEnvironment(environment);
    palette.start(QStringLiteral(BLURTLE_EXECUTABLE), {});
    // A first start makes its library once the signals are taken over.
    const QString library = home.path() + QStringLiteral("/Quillfen/Blurtle/Blurtle.blz");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(library); }, 10000));
    ::kill(static_cast<pid_t>(palette.processId()), GetParam());
    ASSERT_TRUE(palette.waitForFinished(10000));
    EXPECT_EQ(palette.exitCode(), 0) << palette.readAllStandardError().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationRequest, testing::Values(SIGTERM, SIGHUP, SIGINT));

} // namespace
