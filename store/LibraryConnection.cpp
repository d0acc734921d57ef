#include "store/LibraryConnection.h"

#include "store/DaoException.h"
#include "store/EngineErrors.h"

#include <QCoreApplication>
#include <QSqlError>

#include <atomic>
#include <utility>
#include <vector>

namespace {

QString NextConnectionName() {
    static std::atomic<unsigned long long> counter{0};
    return QStringLiteral("blurtle-library-%1").arg(++counter);
}

// Connections given back for reuse, the most recent last.
std::vector<std::unique_ptr<CLibraryConnection>>& Idle() {
    static std::vector<std::unique_ptr<CLibraryConnection>> idle;
    return idle;
}

// How many idle connections are kept: enough for the palette's fills of
// the selector and the list, and an editor's table.
constexpr std::size_t kIdleLimit = 3;

} // namespace

CLibraryConnection::CLibraryConnection(std::string path, std::string display, Access access)
    : m_path(std::move(path)), m_display(std::move(display)), m_access(access),
      m_name(NextConnectionName()) {}

CLibraryConnection::~CLibraryConnection() {
    RemoveDatabase();
}

void CLibraryConnection::AddDatabase(const QString& driver, const char* package) {
    m_db = QSqlDatabase::addDatabase(driver, m_name);
    if (!m_db.isValid()) {
        RemoveDatabase();
        throw CDaoException(
            QStringLiteral("The %1 driver of Qt is not installed (Debian "
                           "package %2), so the library \"%3\" can't be opened.")
                .arg(driver, QLatin1String(package), QString::fromStdString(m_display))
                .toStdString());
    }
}

void CLibraryConnection::RemoveDatabase() {
    if (m_db.isValid()) {
        m_db.close();
    }
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase::removeDatabase(m_name);
    }
}

void CLibraryConnection::Release(std::unique_ptr<CLibraryConnection> connection) {
    if (connection == nullptr || connection->m_inTransaction || !connection->IsReusable()) {
        return;
    }
    // Before Qt's own SQL machinery goes away at the end of the program.
    [[maybe_unused]] static const bool cleanupRegistered = (qAddPostRoutine(&CloseIdle), true);
    auto& idle = Idle();
    idle.push_back(std::move(connection));
    if (idle.size() > kIdleLimit) {
        idle.erase(idle.begin());
    }
}

void CLibraryConnection::CloseIdle() {
    // Moved out first: closing a connection may look at the list.
    std::exchange(Idle(), {});
}

std::unique_ptr<CLibraryConnection> CLibraryConnection::TakeIdle(const std::string& location) {
    auto& idle = Idle();
    for (auto it = idle.rbegin(); it != idle.rend(); ++it) {
        if ((*it)->m_path != location || !(*it)->IsReusable()) {
            continue; // another library, or of no use any more: dropped below
        }
        std::unique_ptr<CLibraryConnection> reused = std::move(*it);
        idle.erase(std::next(it).base());
        if (reused->Revalidate()) {
            return reused;
        }
        break;
    }
    std::erase_if(idle, [](const auto& connection) { return !connection->IsReusable(); });
    return nullptr;
}

QSqlQuery CLibraryConnection::Prepare(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        Fail(query.lastError());
    }
    return query;
}

QSqlQuery CLibraryConnection::Query(const QString& sql) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        Fail(query.lastError());
    }
    return query;
}

void CLibraryConnection::Run(QSqlQuery& query) {
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        query.finish();
        Fail(error);
    }
}

bool CLibraryConnection::Next(QSqlQuery& query) {
    if (query.next()) {
        return true;
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid()) {
        Fail(error);
    }
    return false;
}

void CLibraryConnection::Exec(const QString& sql) {
    Query(sql);
}

QVariant CLibraryConnection::Value(const QString& sql) {
    QSqlQuery query = Query(sql);
    return Next(query) ? query.value(0) : QVariant();
}

std::string CLibraryConnection::ReadOnlyMessage() const {
    return DescribeReadOnly(m_display) + m_readOnlyWhy;
}

void CLibraryConnection::FailReadOnly() const {
    throw CDaoException(ReadOnlyMessage(), CDaoException::Reason::ReadOnly);
}
