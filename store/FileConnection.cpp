#include "store/FileConnection.h"

#include "store/BoundFields.h"
#include "store/DaoException.h"
#include "store/EngineErrors.h"
#include "store/LibrarySchema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

QString Absolute(const std::string& path) {
    return QFileInfo(QString::fromUtf8(path)).absoluteFilePath();
}

// A file: URI, so that the open mode can forbid SQLite to create a file
// that vanished since we looked at it.
QString UriFor(const QString& absolute, CLibraryConnection::Access access, bool logOfAnotherFile) {
    QString uri = QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded);
    if (logOfAnotherFile) {
        // Read from the file alone, without the companions beside it.
        return uri + QStringLiteral("?mode=ro&immutable=1");
    }
    if (access == CLibraryConnection::Access::ReadWrite) {
        return uri + QStringLiteral("?mode=rw");
    }
    // Reading a WAL-mode file needs its -wal and -shm companions, which
    // SQLite creates when they are missing (and can't, in a folder we may
    // not write). While a writer has the file open both exist and are
    // shared; without them there is nothing beyond the main file to read,
    // so it is read as immutable and the folder stays as it was.
    if (QFileInfo::exists(absolute + QStringLiteral("-wal")) &&
        QFileInfo::exists(absolute + QStringLiteral("-shm"))) {
        return uri + QStringLiteral("?mode=ro");
    }
    return uri + QStringLiteral("?mode=ro&immutable=1");
}

// Every file connection of this process, for the stale-file bookkeeping.
std::vector<CFileConnection*>& Connections() {
    static std::vector<CFileConnection*> connections;
    return connections;
}

// Long enough to ride out another process's burst of writes; a write that
// still finds the file locked after this reports the engine's text.
constexpr int kBusyTimeoutMs = 5000;

// How soon after a commit the write-ahead log is emptied into the file.
constexpr int kCheckpointDelayMs = 100;

} // namespace

CFileConnection::Identity CFileConnection::IdentityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return {true, info.st_dev, info.st_ino};
}

bool IsOpenInThisProcess(const std::string& path) {
    return std::any_of(
        Connections().begin(), Connections().end(),
        [&](const CFileConnection* connection) { return connection->HoldsFileAt(path); });
}

bool LockedByAnotherProcess(const QString& file) {
    const int descriptor = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0; // the whole file
    const bool locked = ::fcntl(descriptor, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(descriptor);
    return locked;
}

bool IsLibraryWritable(const std::string& path) {
    const QString absolute = Absolute(path);
    const QByteArray file = QFile::encodeName(absolute);
    const QByteArray folder = QFile::encodeName(QFileInfo(absolute).absolutePath());
    return ::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK) == 0;
}

CFileConnection::CFileConnection(const std::string& path, Access access, const std::string& display)
    : CLibraryConnection(path, display.empty() ? path : display, access),
      m_absolutePath(Absolute(path)) {
    m_checkpointTimer.setSingleShot(true);
    m_checkpointTimer.setInterval(kCheckpointDelayMs);
    QObject::connect(&m_checkpointTimer, &QTimer::timeout, [this] { CheckpointNow(); });

    // This process's connections to a file that the path no longer names
    // must be gone before SQLite opens the path's companions for the new
    // file (see the class comment).
    const Identity before = IdentityOf(m_absolutePath);
    for (CFileConnection* other : std::vector<CFileConnection*>(Connections())) {
        if (other->m_absolutePath == m_absolutePath && !other->m_closed &&
            other->m_file != before) {
            other->CloseStale();
        }
    }

    m_file = before;
    m_logOfAnotherFile = before.exists && LogOfAnotherFile();
    if (m_logOfAnotherFile) {
        m_access = Access::ReadOnly;
        m_readOnlyWhy = "\n\nAnother program still has open the file that was at this path "
                        "before, and the log beside the path is that file's. Until that program "
                        "lets go of it, Blurtle reads this library without changing it.";
    }

    AddDatabase(QStringLiteral("QSQLITE"), "libqt6sql6-sqlite");
    QString options =
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (m_access == Access::ReadOnly) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    m_db.setConnectOptions(options);
    m_db.setDatabaseName(UriFor(m_absolutePath, m_access, m_logOfAnotherFile));
    if (!m_db.open()) {
        const QSqlError error = m_db.lastError();
        RemoveDatabase();
        throw CDaoException(DescribeEngineError(error, m_display));
    }
    // The file SQLite opened is the one the path named just before, unless
    // it was replaced in between; then this connection is stale from the
    // start and its owner opens again.
    m_closed = !before.exists || IdentityOf(m_absolutePath) != before;
    try {
        Exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    } catch (...) {
        RemoveDatabase();
        throw;
    }
    Connections().push_back(this);
}

CFileConnection::~CFileConnection() {
    std::erase(Connections(), this);
    HandOverCheckpoint();
    if (m_inTransaction && !m_closed) {
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
    }
}

void CFileConnection::CloseStale() {
    if (m_inTransaction) {
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
        m_inTransaction = false;
    }
    // Our latest changes may still sit in the log beside the path, which
    // SQLite would read as the new file's: empty it into our old file
    // first (SQLite itself leaves the log of a moved file alone at close).
    if (m_checkpointTimer.isActive()) {
        CheckpointNow();
    }
    // Qt finalises the statements still prepared on the connection; their
    // owner finds the connection stale before it uses them again.
    m_db.close();
    m_closed = true;
}

bool CFileConnection::HoldsFileAt(const std::string& path) const {
    return !m_closed && IdentityOf(Absolute(path)) == m_file;
}

bool CFileConnection::IsCurrent() const {
    if (m_closed) {
        return false;
    }
    // Once the log beside the path is free, the file is opened again as
    // any other, for writing too.
    return IdentityOf(m_absolutePath) == m_file && (!m_logOfAnotherFile || LogOfAnotherFile());
}

bool CFileConnection::LogOfAnotherFile() const {
    // A connection of ours that uses the log has the file itself open: the
    // log is this file's then (and asking would cost that connection its
    // locks).
    const bool usedHere = std::any_of(
        Connections().begin(), Connections().end(), [this](const CFileConnection* other) {
            return other != this && !other->m_closed && !other->m_logOfAnotherFile &&
                   other->m_file == m_file;
        });
    if (usedHere) {
        return false;
    }
    // Another program's lock on the -shm while nobody locks this file: that
    // program uses the log for the file that was at the path before.
    const QString shm = m_absolutePath + QStringLiteral("-shm");
    return QFileInfo::exists(shm) && !LockedByAnotherProcess(m_absolutePath) &&
           LockedByAnotherProcess(shm);
}

bool CFileConnection::IsReusable() const {
    // Rights the user no longer has (or now has) need a new connection.
    return IsCurrent() && IsReadOnly() != IsLibraryWritable(m_path);
}

bool CFileConnection::Revalidate() {
    // The file is the one that was checked when this connection opened;
    // only a newer program's migration can have changed its format.
    const int version = Value(QStringLiteral("PRAGMA user_version")).toInt();
    if (version > kLibraryFormatVersion) {
        throw CDaoException(DescribeNewerLibrary(m_path, version),
                            CDaoException::Reason::NotALibrary);
    }
    return true;
}

QVariant CFileConnection::BindValue(const FieldValue& value) const {
    return ToBindValue(value);
}

QString CFileConnection::NewKeyExpression() const {
    return LibraryNewKeyExpression();
}

void CFileConnection::Begin() {
    if (IsReadOnly()) {
        FailReadOnly();
    }
    // The write lock from the start: a reader turning writer halfway could
    // fail for a conflict the busy timeout can't wait out.
    Exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_inTransaction = true;
}

bool CFileConnection::CanWriteNow() {
    if (IsReadOnly() || m_closed) {
        return false;
    }
    if (m_inTransaction) {
        return true;
    }
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    const bool locked = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (locked) {
        query.exec(QStringLiteral("ROLLBACK"));
    }
    query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyTimeoutMs));
    return locked;
}

void CFileConnection::Commit() {
    Exec(QStringLiteral("COMMIT"));
    m_inTransaction = false;
    AfterCommit();
}

void CFileConnection::Rollback() {
    if (!m_inTransaction) {
        return;
    }
    m_inTransaction = false;
    Exec(QStringLiteral("ROLLBACK"));
}

void CFileConnection::AfterCommit() {
    if (IsReadOnly() || m_inTransaction || m_closed) {
        return;
    }
    // Shortly after, once the program is idle: emptying the log flushes the
    // file to disk, which the user's step need not wait for.
    m_checkpointTimer.start();
}

void CFileConnection::CheckpointNow() {
    m_checkpointTimer.stop();
    if (m_closed || m_inTransaction) {
        return;
    }
    // Never waits: with another program reading, the log stays until a
    // later commit or the last connection's close empties it.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    query.finish();
    query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyTimeoutMs));
}

void CFileConnection::HandOverCheckpoint() {
    if (!m_checkpointTimer.isActive()) {
        return;
    }
    // Another connection of ours to the same file empties the log later;
    // without one it is done now, before this connection goes.
    for (CFileConnection* other : Connections()) {
        if (other != this && !other->IsReadOnly() && !other->m_closed && other->m_file == m_file) {
            other->m_checkpointTimer.start();
            m_checkpointTimer.stop();
            return;
        }
    }
    CheckpointNow();
}

void CFileConnection::Fail(const QSqlError& error) const {
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xFF;
    if (numeric && IsReadOnlyCode(code)) {
        throw CDaoException(DescribeEngineError(error, m_display), CDaoException::Reason::ReadOnly);
    }
    throw CDaoException(DescribeEngineError(error, m_display));
}
