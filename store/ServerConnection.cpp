#include "store/ServerConnection.h"

#include "store/BoundFields.h"
#include "store/DaoException.h"
#include "store/FindColumns.h"
#include "store/LibraryLocation.h"
#include "store/LibrarySchema.h"
#include "store/PasswordSource.h"
#include "store/ServerErrors.h"
#include "store/ServerSchema.h"

#include <QSqlError>
#include <QStringDecoder>

#include <map>
#include <mutex>
#include <optional>

namespace {

// Whether the role may insert, update and delete rows of both tables on a
// server that takes writes. (has_table_privilege with a list of rights
// asks for any of them, so each is asked apart.)
const char* const kFormatAndRights =
    "SELECT (SELECT max(format) FROM blurtle_library),\n"
    "  has_table_privilege('\"tblCategory\"', 'INSERT')\n"
    "  AND has_table_privilege('\"tblCategory\"', 'UPDATE')\n"
    "  AND has_table_privilege('\"tblCategory\"', 'DELETE')\n"
    "  AND has_table_privilege('\"tblPhrase\"', 'INSERT')\n"
    "  AND has_table_privilege('\"tblPhrase\"', 'UPDATE')\n"
    "  AND has_table_privilege('\"tblPhrase\"', 'DELETE')\n"
    "  AND NOT pg_is_in_recovery()\n"
    "  AND current_setting('default_transaction_read_only') = 'off'";

// Lock waits give up as a file library's busy timeout does; the same
// round trip asks whether the database holds our tables, and whether this
// role may read them.
const char* const kSetUpAndFindTables =
    "SELECT set_config('lock_timeout', '5000', false) IS NOT NULL AND found,\n"
    "  CASE WHEN found THEN has_table_privilege('blurtle_library', 'SELECT')\n"
    "    AND has_table_privilege('\"tblCategory\"', 'SELECT')\n"
    "    AND has_table_privilege('\"tblPhrase\"', 'SELECT')\n"
    "    AND has_table_privilege('\"qryCategory\"', 'SELECT')\n"
    "    AND has_table_privilege('\"qryPhrasesInCategory\"', 'SELECT') END\n"
    "FROM (SELECT to_regclass('blurtle_library') IS NOT NULL\n"
    "  AND to_regclass('\"tblCategory\"') IS NOT NULL\n"
    "  AND to_regclass('\"tblPhrase\"') IS NOT NULL\n"
    "  AND to_regclass('\"qryCategory\"') IS NOT NULL\n"
    "  AND to_regclass('\"qryPhrasesInCategory\"') IS NOT NULL AS found) AS library";

// How often the connections to each library were marked lost; the
// watch's thread marks them, the window's thread asks.
struct Generations {
    std::mutex mutex;
    std::map<std::string, unsigned long> byPath;
};

Generations& LostGenerations() {
    static Generations generations;
    return generations;
}

unsigned long LostGeneration(const std::string& path) {
    Generations& generations = LostGenerations();
    const std::lock_guard lock(generations.mutex);
    const auto found = generations.byPath.find(path);
    return found == generations.byPath.end() ? 0 : found->second;
}

std::string NotALibrary(const std::string& display) {
    return QStringLiteral("The database \"%1\" is not a Blurtle library.")
        .arg(QString::fromStdString(display))
        .toStdString();
}

} // namespace

CServerConnection::CServerConnection(const CLibraryLocation& location)
    : CLibraryConnection(location.Text(), location.Display(), Access::ReadWrite),
      m_generation(LostGeneration(location.Text())) {
    AddDatabase(QStringLiteral("QPSQL"), "libqt6sql6-psql");
    if (!location.Host().isEmpty()) {
        m_db.setHostName(location.Host());
    }
    if (location.Port() != -1) {
        m_db.setPort(location.Port());
    }
    m_db.setDatabaseName(location.DatabaseName());
    if (!location.UserName().isEmpty()) {
        m_db.setUserName(location.UserName());
    }
    QString options = location.ConnectOptions();
    // An unreachable host is reported after a while, not waited for.
    if (!options.contains(QLatin1String("connect_timeout="))) {
        options += QStringLiteral("%1connect_timeout='10'")
                       .arg(options.isEmpty() ? QString() : QStringLiteral(";"));
    }
    if (!options.contains(QLatin1String("application_name="))) {
        options += QStringLiteral(";application_name='Blurtle'");
    }
    m_db.setConnectOptions(options);
    Connect(location);
}

void CServerConnection::Connect(const CLibraryLocation& location) {
    location.ThrowIfMalformed();
    // The address's password, else one that logged in before in this
    // session; without either libpq looks in its own places.
    std::optional<QString> password =
        location.Password().isEmpty() ? RememberedPassword(location) : location.Password();
    bool asked = false;
    for (;;) {
        m_db.setPassword(password.value_or(QString()));
        if (m_db.open()) {
            if (password.has_value()) {
                RememberPassword(location, *password);
            }
            return;
        }
        const QSqlError error = m_db.lastError();
        const PasswordTrouble trouble = PasswordTroubleOf(error);
        std::optional<QString> answer;
        if (trouble != PasswordTrouble::None) {
            if (trouble == PasswordTrouble::Refused) {
                ForgetPassword(location); // changed on the server meanwhile, perhaps
            }
            if (!MayAskForPassword()) {
                RemoveDatabase();
                throw CDaoException(DescribePasswordNeeded(error, m_display));
            }
            // An empty answer comes back as "no password" rather than as
            // a refusal; it was refused all the same.
            answer = AskForPassword(
                {LoginName(location), m_display, asked || trouble == PasswordTrouble::Refused});
            asked = true;
        }
        if (!answer.has_value()) {
            RemoveDatabase();
            throw CDaoException(DescribeServerError(error, m_display));
        }
        password = std::move(answer);
    }
}

CServerConnection::~CServerConnection() {
    if (m_inTransaction && IsCurrent()) {
        m_db.rollback();
    }
}

std::unique_ptr<CLibraryConnection>
CServerConnection::OpenLibrary(const CLibraryLocation& location) {
    auto connection = std::make_unique<CServerConnection>(location);
    QSqlQuery tables = connection->Query(QString::fromLatin1(kSetUpAndFindTables));
    if (!tables.next()) {
        connection->Fail(tables.lastError());
    }
    const bool isLibrary = tables.value(0).toBool();
    const bool mayRead = isLibrary && tables.value(1).toBool();
    tables.finish();
    if (!isLibrary) {
        throw CDaoException(NotALibrary(connection->m_display), CDaoException::Reason::NotALibrary);
    }
    if (!mayRead) {
        throw CDaoException(QStringLiteral("Blurtle is not allowed to read the library \"%1\": "
                                           "the server gives this user no right to its tables.")
                                .arg(QString::fromStdString(connection->m_display))
                                .toStdString(),
                            CDaoException::Reason::NotALibrary);
    }
    connection->m_access = connection->ReadFormatAndRights() ? Access::ReadWrite : Access::ReadOnly;
    // A library this version writes keeps the folded columns a find
    // searches; an older one gets them now, once, if this role owns it.
    AddFindColumns(*connection);
    return connection;
}

bool CServerConnection::ReadFormatAndRights() {
    QSqlQuery query = Query(QString::fromLatin1(kFormatAndRights));
    if (!query.next()) {
        Fail(query.lastError());
    }
    const QVariant format = query.value(0);
    const bool writable = query.value(1).toBool();
    query.finish();
    if (format.isNull()) {
        throw CDaoException(NotALibrary(m_display), CDaoException::Reason::NotALibrary);
    }
    if (format.toInt() > kLibraryFormatVersion) {
        throw CDaoException(DescribeNewerLibrary(m_display, format.toInt()),
                            CDaoException::Reason::NotALibrary);
    }
    return writable;
}

bool CServerConnection::IsCurrent() const {
    return !m_broken && m_db.isOpen() && m_generation == LostGeneration(m_path);
}

void CServerConnection::MarkConnectionsLost(const std::string& path) {
    Generations& generations = LostGenerations();
    const std::lock_guard lock(generations.mutex);
    ++generations.byPath[path];
}

bool CServerConnection::IsReusable() const {
    return IsCurrent();
}

bool CServerConnection::Revalidate() {
    try {
        // Rights granted or revoked meanwhile need a new connection.
        return ReadFormatAndRights() != IsReadOnly();
    } catch (const CDaoException& error) {
        if (error.GetReason() == CDaoException::Reason::NotALibrary) {
            throw;
        }
        return false; // the connection broke while it was kept
    }
}

QVariant CServerConnection::BindValue(const FieldValue& value) const {
    if (value.kind != FieldKind::Text) {
        return QVariant(static_cast<int>(value.number));
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(
        QByteArrayView(value.text.data(), static_cast<qsizetype>(value.text.size())));
    if (decoder.hasError() || text.contains(QChar(0))) {
        return {};
    }
    return text;
}

QString CServerConnection::NewKeyExpression() const {
    return ServerNewKeyExpression();
}

void CServerConnection::Begin() {
    if (IsReadOnly()) {
        FailReadOnly();
    }
    if (!m_db.transaction()) {
        Fail(m_db.lastError());
    }
    m_inTransaction = true;
    m_transactionFailed = false;
}

bool CServerConnection::CanWriteNow() {
    return !IsReadOnly() && IsCurrent();
}

void CServerConnection::Commit() {
    if (m_transactionFailed) {
        Rollback();
        throw CDaoException(
            QStringLiteral("The library \"%1\" stored none of the changes: one of them failed.")
                .arg(QString::fromStdString(m_display))
                .toStdString());
    }
    m_inTransaction = false;
    if (!m_db.commit()) {
        Fail(m_db.lastError());
    }
}

void CServerConnection::Rollback() {
    if (!m_inTransaction) {
        return;
    }
    m_inTransaction = false;
    m_transactionFailed = false;
    if (!m_db.rollback() && IsCurrent()) {
        Fail(m_db.lastError());
    }
}

void CServerConnection::Fail(const QSqlError& error) const {
    if (m_inTransaction) {
        m_transactionFailed = true; // the server ignores everything up to the rollback
    }
    if (IsConnectionLostCode(error.nativeErrorCode()) || !m_db.isOpen()) {
        m_broken = true;
    }
    throw CDaoException(DescribeServerError(error, m_display),
                        IsServerReadOnlyCode(error.nativeErrorCode())
                            ? CDaoException::Reason::ReadOnly
                            : CDaoException::Reason::Engine);
}
