#include "store/ServerWatch.h"

#include "store/DaoException.h"
#include "store/LibraryLocation.h"
#include "store/ServerConnection.h"
#include "store/ServerSchema.h"

#include <QSqlDriver>
#include <QTimer>

#include <libpq-fe.h>

#include <memory>

// Lives in the watch's thread: owns the listening connection there (Qt's
// connections may be used only by the thread that made them).
class CServerWatch::Listener : public QObject {
    Q_OBJECT

public:
    explicit Listener(CLibraryLocation location) : m_location(std::move(location)) {
        m_retry.setSingleShot(true);
        m_retry.setInterval(kRetryMs);
        connect(&m_retry, &QTimer::timeout, this, &Listener::Connect);
        m_probe.setInterval(kProbeMs);
        connect(&m_probe, &QTimer::timeout, this, &Listener::Probe);
        m_state.setInterval(kStateMs);
        connect(&m_state, &QTimer::timeout, this, &Listener::CheckState);
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
        m_state.start();
        emit Listening(true);
    }

signals:
    void Heard();
    void Listening(bool listening);

private:
    bool TryToListen() {
        try {
            m_connection = std::make_unique<CServerConnection>(m_location);
        } catch (const std::exception&) {
            return false;
        }
        QSqlDriver* driver = m_connection->Database().driver();
        connect(driver, &QSqlDriver::notification, this, [this] { emit Heard(); });
        if (!driver->subscribeToNotification(QLatin1String(kLibraryChangedChannel))) {
            return false;
        }
        m_handle = driver->handle();
        return true;
    }

    // Qt's driver reads the notifications when the socket has data, but
    // says nothing when that read finds the server gone: libpq's own state
    // of the connection tells (without asking the server anything).
    void CheckState() {
        if (m_connection == nullptr) {
            return;
        }
        // Qt's driver hands its libpq connection out under the name of the
        // struct behind libpq's PGconn.
        const char* type = m_handle.typeName();
        if (qstrcmp(type, "pg_conn*") != 0 && qstrcmp(type, "PGconn*") != 0) {
            m_state.stop(); // unknown: the probe alone tells
            return;
        }
        PGconn* handle = *static_cast<PGconn* const*>(m_handle.constData());
        if (handle == nullptr || PQstatus(handle) == CONNECTION_BAD) {
            Lost();
        }
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
        CServerConnection::MarkConnectionsLost(m_location.Text());
        emit Listening(false);
        m_retry.start();
    }

    void Drop() {
        m_probe.stop();
        m_state.stop();
        m_handle = QVariant();
        m_connection.reset();
    }

    CLibraryLocation m_location;
    std::unique_ptr<CServerConnection> m_connection;
    QVariant m_handle;
    QTimer m_retry;
    QTimer m_state;
    QTimer m_probe;
};

class CServerWatch::Thread : public QThread {
    Q_OBJECT

public:
    explicit Thread(CLibraryLocation location) : m_location(std::move(location)) {}

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
    CLibraryLocation m_location;
};

CServerWatch::CServerWatch(CLibraryLocation location) : m_thread(new Thread(std::move(location))) {
    // Queued into this (the window's) thread; none arrive after the watch
    // has gone, as the connections end with it.
    connect(m_thread, &Thread::Heard, this, &CServerWatch::NoteChange);
    connect(m_thread, &Thread::Listening, this, [this](bool listening) {
        SetListening(listening);
        if (listening) {
            // Whatever changed before the listening began (the palette may
            // have read the library while the watch was connecting, or the
            // server was out of reach) is caught up with now.
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
