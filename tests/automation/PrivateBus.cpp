// Every run of the automation tests gets a session bus of its own: a
// dbus-daemon started before the first test and ended after the last, so
// the service name is free and no desktop session's bus is touched.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>

#include <cstdlib>

namespace {

class CPrivateBus : public testing::Environment {
public:
    void SetUp() override {
        m_daemon.setProgram(QStringLiteral("dbus-daemon"));
        m_daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
        m_daemon.start();
        if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000)) {
            FAIL() << "dbus-daemon did not start";
        }
        const QByteArray address = m_daemon.readLine().trimmed();
        ASSERT_FALSE(address.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        qunsetenv("DBUS_SESSION_BUS_PID");
    }
    void TearDown() override {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }

private:
    QProcess m_daemon;
};

[[maybe_unused]] testing::Environment* const g_bus =
    testing::AddGlobalTestEnvironment(new CPrivateBus);

} // namespace
