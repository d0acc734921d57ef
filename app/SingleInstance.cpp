#include "app/SingleInstance.h"

#include "app/PrivateRuntimeDirectory.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr char kShow[] = "show\n";
constexpr char kHideAndClose[] = "hide-and-close\n";
constexpr char kDone[] = "done\n";

} // namespace

CSingleInstance::CSingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_directory(PrivateRuntimeDirectory()), m_key(key) {}

CSingleInstance::~CSingleInstance() {
    if (m_server != nullptr) {
        m_server->close();
    }
    // The lock goes last, so no later start can take it while our socket
    // still answers.
    m_lock.reset();
}

QString CSingleInstance::KeyFor(const QString& title) {
    QString key = title;
    key.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
    while (key.endsWith(QLatin1Char('-'))) {
        key.chop(1);
    }
    return QStringLiteral("%1-%2").arg(key).arg(::getuid());
}

QString CSingleInstance::SocketPath() const {
    return m_directory + QLatin1Char('/') + m_key;
}

QString CSingleInstance::LockPath() const {
    return SocketPath() + QStringLiteral(".lock");
}

CSingleInstance::Role CSingleInstance::Claim(Request request, int timeoutMs) {
    if (!HasPrivateDirectory()) {
        return Role::Failed;
    }
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (TryBecomePrimary()) {
            return m_server != nullptr ? Role::Primary : Role::Failed;
        }
        if (TryHandOver(request, 500)) {
            return Role::HandedOver;
        }
        if (deadline.hasExpired()) {
            return Role::Failed;
        }
        // The holder of the lock is still starting (or just ending): give
        // it a moment and try both again.
        QThread::msleep(50);
    }
}

bool CSingleInstance::WaitToBecomePrimary(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!TryBecomePrimary()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    return IsPrimary();
}

void CSingleInstance::KeepTryingToBecomePrimary(int intervalMs) {
    auto* retry = new QTimer(this);
    connect(retry, &QTimer::timeout, this, [this, retry] {
        if (TryBecomePrimary()) {
            retry->deleteLater();
        }
    });
    retry->start(intervalMs);
}

bool CSingleInstance::TryBecomePrimary() {
    if (!HasPrivateDirectory()) {
        return false;
    }
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(LockPath());
        // A running palette's lock never goes stale by age; a dead owner's
        // lock is recognised by its process id.
        m_lock->setStaleLockTime(0);
    }
    if (!m_lock->tryLock(0)) {
        return false;
    }
    // Whatever socket file is there belongs to a copy that died.
    QLocalServer::removeServer(SocketPath());
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(SocketPath())) {
        delete server;
        return true; // we own the lock but can't listen: Role::Failed
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    return true;
}

bool CSingleInstance::TryHandOver(Request request, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(waitMs)) {
        return false;
    }
    socket.write(request == Request::Show ? kShow : kHideAndClose);
    if (!socket.waitForBytesWritten(waitMs)) {
        return false;
    }
    // The answer comes once the palette has acted, so a start that ends
    // here leaves the palette already shown (or already closing).
    const int answerWaitMs = 5000;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerWaitMs)) {
            // A palette that closes while handling HideAndClose may drop
            // the connection before answering; it got the request.
            return request == Request::HideAndClose;
        }
    }
    return socket.readLine() == QByteArray(kDone);
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        if (socket->canReadLine()) {
            OnReadable(socket);
        }
    }
}

void CSingleInstance::OnReadable(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        if (line == QByteArray(kShow)) {
            emit ShowRequested();
        } else if (line == QByteArray(kHideAndClose)) {
            socket->write(kDone);
            socket->flush();
            emit HideAndCloseRequested();
            return;
        } else {
            socket->disconnectFromServer();
            return;
        }
        socket->write(kDone);
        socket->flush();
    }
}
