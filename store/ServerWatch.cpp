#include "store/ServerWatch.h"

#include "store/DaoException.h"
#include "store/LibraryLocation.h"
#include "store/ServerConnection.h"
#include "store/ServerSchema.h"

#include <QSocketNotifier>
#include <QSqlDriver>
#include <QTimer>

#include <fcntl.h>

#include <memory>

// Lives in the watch's thread: owns the listening connection there (Qt's
// connections may be used only by the thread that made them).
class CServerWatch::Listener : public QObject {
    Q_OBJECT

public:
    explicit Listener(std::string location) : m_location(std::move(location)) {
        m_retry.setSingleShot(true);
        m_retry.setInterval(kRetryMs);
        connect(&m_retry, &QTimer::timeout, this, &Listener::Connect);
        m_probe.setInterval(kProbeMs);
        connect(&m_probe, &QTimer::timeout, this, &Listener::Probe);
    }
    ~Listener() override { Drop(); }

    void Connect() {
        if (!TryToListen()) {
            Drop();
            m_retry.start();
            emit Listening(false);
            return;
        }
        m_probe.start();
        emit Listening(true);
    }

signals:
    void Heard();
    void Listening(bool listening);

private:
    bool TryToListen() {
        try {
            m_connection = std::make_unique<CServerConnection>(m_location,
                                                               CLibraryLocation::Parse(m_location));
        } catch (const std::exception&) {
            return false;
        }
        QSqlDriver* driver = m_connection->Database().driver();
        connect(driver, &QSqlDriver::notification, this, [this] { emit Heard(); });
        if (!driver->subscribeToNotification(QLatin1String(kLibraryChangedChannel))) {
            return false;
        }
        // Qt's driver reads the notifications when the socket has data,
        // but says nothing when the server closes it (the socket is then
        // closed under the driver). Looking right after each read finds
        // such a connection before the closed socket is watched in vain.
        if (auto* socket = driver->findChild<QSocketNotifier*>()) {
            m_socket = static_cast<int>(socket->socket());
            connect(socket, &QSocketNotifier::activated, this, [this, socket] {
                if (m_socket >= 0 && fcntl(m_socket, F_GETFD) == -1) {
                    socket->setEnabled(false);
                    // Not here: the connection and its notifier go with it.
                    QMetaObject::invokeMethod(this, &Listener::Lost, Qt::QueuedConnection);
                }
            });
        }
        return true;
    }

    void Probe() {
        if (m_connection == nullptr) {
            return;
        }
        try {
            m_connection->Value(QStringLiteral("SELECT 1"));
        } catch (const std::exception&) {
            Lost();
        }
    }

    void Lost() {
        if (m_connection == nullptr) {
            return;
        }
        Drop();
        emit Listening(false);
        m_retry.start();
    }

    void Drop() {
        m_probe.stop();
        m_socket = -1;
        m_connection.reset();
    }

    std::string m_location;
    std::unique_ptr<CServerConnection> m_connection;
    int m_socket = -1;
    QTimer m_retry;
    QTimer m_probe;
};

class CServerWatch::Thread : public QThread {
    Q_OBJECT

public:
    explicit Thread(std::string location) : m_location(std::move(location)) {}

protected:
    void run() override {
        Listener listener(m_location);
        connect(&listener, &Listener::Heard, this, &Thread::Heard);
        connect(&listener, &Listener::Listening, this, &Thread::Listening);
        listener.Connect();
        if (!isInterruptionRequested()) {
            exec();
        }
    }

signals:
    void Heard();
    void Listening(bool listening);

private:
    std::string m_location;
};

CServerWatch::CServerWatch(std::string location) : m_thread(new Thread(std::move(location))) {
    // Queued into this (the window's) thread; none arrive after the watch
    // has gone, as the connections end with it.
    connect(m_thread, &Thread::Heard, this, &CServerWatch::NoteChange);
    connect(m_thread, &Thread::Listening, this, [this](bool listening) {
        const bool back = listening && !IsListening();
        SetListening(listening);
        if (back) {
            NoteChange();
        }
    });
    m_thread->start();
}

CServerWatch::~CServerWatch() {
    disconnect(m_thread, nullptr, this, nullptr);
    m_thread->requestInterruption();
    m_thread->quit();
    if (m_thread->wait(2000)) {
        delete m_thread;
        return;
    }
    // Still inside a connection attempt: it ends within the connect
    // timeout, and the thread then deletes itself.
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    if (m_thread->isFinished()) {
        delete m_thread;
    }
}

#include "ServerWatch.moc"
