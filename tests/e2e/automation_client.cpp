// A client of the automation service for end-to-end tests: asks for an
// object (which starts the program through the bus when it isn't running),
// prints its path and holds it until a line arrives on standard input:
// "release" gives it back; anything else, or the end of input, leaves the
// bus without giving it back, as a client that dies.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("Mumblet.Application");
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall(service, QStringLiteral("/"),
                                                QStringLiteral("Mumblet.ClassFactory"),
                                                QStringLiteral("CreateObject")),
                 QDBus::Block, 30000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        std::fprintf(stderr, "CreateObject failed: %s\n", qPrintable(reply.errorMessage()));
        return 1;
    }
    const QString path = reply.arguments().first().value<QDBusObjectPath>().path();
    std::printf("object %s\n", qPrintable(path));
    std::fflush(stdout);

    std::string line;
    std::getline(std::cin, line);
    if (line == "release") {
        const QDBusMessage released = bus.call(
            QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Release")),
            QDBus::Block, 10000);
        if (released.type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "Release failed: %s\n", qPrintable(released.errorMessage()));
            return 1;
        }
        std::printf("released\n");
    }
    std::fflush(stdout);
    return 0;
}
