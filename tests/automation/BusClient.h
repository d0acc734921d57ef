#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QList>
#include <QProcess>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QVariant>

// A client of the automation service with a bus connection of its own, in
// the test's process. Its calls wait with the event loop running, so the
// service in the same process can answer them.
class CBusClient {
public:
    explicit CBusClient(const QString& name)
        : m_name(name), m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {}
    ~CBusClient() { Leave(); }
    CBusClient(const CBusClient&) = delete;
    CBusClient& operator=(const CBusClient&) = delete;

    QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                      const QList<QVariant>& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("Mumblet.Application"),
                                                              path, interface, method);
        message.setArguments(arguments);
        return m_bus.call(message, QDBus::BlockWithGui, 10000);
    }
    // CreateObject's path, or an empty string when it failed.
    QString CreateObject() {
        const QDBusMessage reply = Call(QStringLiteral("/"), QStringLiteral("Mumblet.ClassFactory"),
                                        QStringLiteral("CreateObject"));
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                   ? reply.arguments().first().value<QDBusObjectPath>().path()
                   : QString();
    }
    QDBusMessage Release(const QString& path) {
        return Call(path, QStringLiteral("Mumblet.Application"), QStringLiteral("Release"));
    }
    QString UniqueName() const { return m_bus.baseService(); }
    // Leaves the bus without releasing anything, as a client that dies.
    void Leave() {
        if (!m_left) {
            // The connection closes only when no object refers to it.
            m_bus = QDBusConnection(QString());
            QDBusConnection::disconnectFromBus(m_name);
            m_left = true;
        }
    }

private:
    QString m_name;
    QDBusConnection m_bus;
    bool m_left = false;
};

struct CToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a command-line program to its end with the event loop running, so a
// service in the test's process answers it.
inline CToolRun
RunTool(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (!finished.wait(20000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
