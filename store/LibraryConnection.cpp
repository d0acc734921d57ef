#include "store/LibraryConnection.h"

#include "store/DaoException.h"
#include "store/LibraryFile.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

#include <atomic>
#include <map>

namespace {

QString NextConnectionName() {
    static std::atomic<unsigned long long> counter{0};
    return QStringLiteral("blurtle-library-%1").arg(++counter);
}

// A file: URI, so that the open mode can forbid SQLite to create a file
// that vanished since we looked at it.
QString UriFor(const std::string& path, CLibraryConnection::Access access) {
    const QString absolute = QFileInfo(QString::fromUtf8(path)).absoluteFilePath();
    QString uri = QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded);
    if (access == CLibraryConnection::Access::ReadWrite) {
        return uri + QStringLiteral("?mode=rw");
    }
    // Reading a WAL-mode file makes SQLite create its -wal and -shm
    // companions. With no -wal there is nothing beyond the main file to
    // read, so read it as immutable and leave the folder as it was.
    if (!QFileInfo::exists(absolute + QStringLiteral("-wal"))) {
        return uri + QStringLiteral("?mode=ro&immutable=1");
    }
    return uri + QStringLiteral("?mode=ro");
}

// Connections open now, by the file's canonical path.
std::map<QString, int>& OpenFiles() {
    static std::map<QString, int> files;
    return files;
}

QString CanonicalPath(const std::string& path) {
    return QFileInfo(QString::fromUtf8(path)).canonicalFilePath();
}

// Long enough to ride out another process's burst of writes; a write that
// still finds the file locked after this reports the engine's text.
constexpr int kBusyTimeoutMs = 5000;

} // namespace

bool IsOpenInThisProcess(const std::string& path) {
    const QString canonical = CanonicalPath(path);
    return !canonical.isEmpty() && OpenFiles().count(canonical) > 0;
}

std::string DescribeEngineError(const QSqlError& error, const std::string& path) {
    QString text = error.text().trimmed();
    if (text.isEmpty()) {
        text = QStringLiteral("Unknown database error");
    }
    return (text + QStringLiteral(" (library \"%1\")").arg(QString::fromUtf8(path))).toStdString();
}

CLibraryConnection::CLibraryConnection(const std::string& path, Access access)
    : m_path(path), m_name(NextConnectionName()) {
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw CDaoException("The SQLite driver of Qt (QSQLITE) is not installed.");
    }
    QString options =
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (access == Access::ReadOnly) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    m_db.setConnectOptions(options);
    m_db.setDatabaseName(UriFor(path, access));
    if (!m_db.open()) {
        const QSqlError error = m_db.lastError();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw CDaoException(DescribeEngineError(error, path));
    }
    try {
        Exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    } catch (...) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw;
    }
    m_canonicalPath = CanonicalPath(path);
    ++OpenFiles()[m_canonicalPath];
}

CLibraryConnection::~CLibraryConnection() {
    const auto open = OpenFiles().find(m_canonicalPath);
    if (open != OpenFiles().end() && --open->second <= 0) {
        OpenFiles().erase(open);
    }
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

std::unique_ptr<CLibraryConnection> CLibraryConnection::OpenLibrary(const std::string& path) {
    const std::string problem = CheckLibraryFile(path);
    if (!problem.empty()) {
        throw CDaoException(problem, CDaoException::Reason::NotALibrary);
    }
    auto connection = std::make_unique<CLibraryConnection>(path, Access::ReadWrite);
    // The file header can lag behind a newer version's migration that still
    // sits in the write-ahead log; the engine's own answer decides.
    const int version = connection->Value(QStringLiteral("PRAGMA user_version")).toInt();
    if (version > kLibraryFormatVersion) {
        throw CDaoException(DescribeNewerLibrary(path, version),
                            CDaoException::Reason::NotALibrary);
    }
    // In WAL mode NORMAL keeps every commit atomic and the file sound after
    // a crash, without a disk flush per commit.
    if (connection->Value(QStringLiteral("PRAGMA journal_mode")).toString() ==
        QLatin1String("wal")) {
        connection->Exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    }
    return connection;
}

QSqlQuery CLibraryConnection::Prepare(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        Fail(query.lastError());
    }
    return query;
}

void CLibraryConnection::Exec(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        Fail(query.lastError());
    }
}

QVariant CLibraryConnection::Value(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        Fail(query.lastError());
    }
    QVariant value;
    if (query.next()) {
        value = query.value(0);
    } else if (query.lastError().isValid()) {
        Fail(query.lastError());
    }
    return value;
}

void CLibraryConnection::Fail(const QSqlError& error) const {
    throw CDaoException(DescribeEngineError(error, m_path));
}
