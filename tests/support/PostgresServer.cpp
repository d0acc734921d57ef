#include "tests/support/PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVersionNumber>

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace {

const char* const kSuperuser = "blurtle_test";

// The newest server installed the Debian way, or where
// BLURTLE_PG_BINDIR points.
QString FindBinaries() {
    const QString configured = qEnvironmentVariable("BLURTLE_PG_BINDIR");
    if (!configured.isEmpty()) {
        return QFile::exists(configured + QStringLiteral("/pg_ctl")) ? configured : QString();
    }
    QString best;
    QVersionNumber bestVersion;
    const QDir root(QStringLiteral("/usr/lib/postgresql"));
    for (const QString& version : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString bin = root.filePath(version + QStringLiteral("/bin"));
        const QVersionNumber number = QVersionNumber::fromString(version);
        if (QFile::exists(bin + QStringLiteral("/initdb")) &&
            QFile::exists(bin + QStringLiteral("/pg_ctl")) && number > bestVersion) {
            best = bin;
            bestVersion = number;
        }
    }
    return best;
}

std::unique_ptr<CPostgresServer>& SharedServer() {
    static std::unique_ptr<CPostgresServer> server;
    return server;
}

} // namespace

CPostgresServer* CPostgresServer::Shared(std::string* whyNot) {
    auto& server = SharedServer();
    QString addressFile = qEnvironmentVariable("BLURTLE_TEST_PG");
#ifdef BLURTLE_TEST_PG_FILE
    if (addressFile.isEmpty()) {
        addressFile = QStringLiteral(BLURTLE_TEST_PG_FILE);
    }
#endif
    if (server == nullptr && !addressFile.isEmpty()) {
        QFile file(addressFile);
        if (file.open(QIODevice::ReadOnly)) {
            const QString socketDirectory = QString::fromUtf8(file.readAll()).trimmed();
            if (QFile::exists(socketDirectory + QStringLiteral("/.s.PGSQL.%1").arg(kPort))) {
                server.reset(new CPostgresServer(Attach{}, socketDirectory));
            }
        }
    }
    if (server == nullptr) {
        if (FindBinaries().isEmpty()) {
            if (whyNot != nullptr) {
                *whyNot = "the PostgreSQL server programs (initdb, pg_ctl under "
                          "/usr/lib/postgresql/*/bin) are not installed: Debian package "
                          "postgresql";
            }
            return nullptr;
        }
        server = std::make_unique<CPostgresServer>();
    }
    return server.get();
}

void CPostgresServer::StopShared() {
    SharedServer().reset();
}

CPostgresServer::CPostgresServer(Attach, QString socketDirectory)
    : m_socketDirectory(std::move(socketDirectory)) {}

int CPostgresServer::ServeDetached(const QString& addressFile) {
    QFile::remove(addressFile);
    if (FindBinaries().isEmpty()) {
        std::printf("No PostgreSQL server programs: the server tests will skip.\n");
        return 0;
    }
    try {
        CPostgresServer server;
        server.m_folder->setAutoRemove(false);
        QFile file(addressFile);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(server.m_socketDirectory.toUtf8() + '\n') < 0) {
            std::printf("Could not write %s\n", qPrintable(addressFile));
            return 1;
        }
        server.m_running = false; // it serves on after this program
        std::printf("PostgreSQL test server on %s\n", qPrintable(server.m_socketDirectory));
    } catch (const std::exception& error) {
        std::printf("%s\n", error.what());
        return 1;
    }
    return 0;
}

int CPostgresServer::StopDetached(const QString& addressFile) {
    QFile file(addressFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0; // none was started
    }
    const QString socketDirectory = QString::fromUtf8(file.readAll()).trimmed();
    file.close();
    CPostgresServer server(Attach{}, socketDirectory);
    server.m_binaries = FindBinaries();
    server.RunAs(socketDirectory);
    server.m_running = true;
    server.Stop();
    QDir(socketDirectory).removeRecursively();
    QFile::remove(addressFile);
    return 0;
}

CPostgresServer::CPostgresServer() : m_binaries(FindBinaries()) {
    if (m_binaries.isEmpty()) {
        throw std::runtime_error("the PostgreSQL server programs are not installed");
    }
    Start();
}

CPostgresServer::~CPostgresServer() {
    Stop();
}

int CPostgresServer::RunTool(const QString& tool, const QStringList& arguments, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A folder the server's user may enter: initdb looks where it stands.
    process.setWorkingDirectory(m_socketDirectory);
    const QString program = m_binaries + QLatin1Char('/') + tool;
    if (m_dropPrivileges) {
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=%1").arg(m_uid),
                                  QStringLiteral("--regid=%1").arg(m_gid),
                                  QStringLiteral("--clear-groups"), QStringLiteral("--"), program} +
                          arguments);
    } else {
        process.start(program, arguments);
    }
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    if (output != nullptr) {
        *output = QString::fromLocal8Bit(process.readAll());
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void CPostgresServer::Start() {
    m_folder =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/blurtle-pg-XXXXXX"));
    if (!m_folder->isValid()) {
        throw std::runtime_error("no temporary folder for the PostgreSQL server");
    }
    m_socketDirectory = m_folder->path();
    RunAs(m_socketDirectory);
    const QString data = m_socketDirectory + QStringLiteral("/data");
    QString output;
    if (RunTool(QStringLiteral("initdb"),
                {QStringLiteral("-D"), data, QStringLiteral("-U"), QString::fromLatin1(kSuperuser),
                 QStringLiteral("--auth=trust"), QStringLiteral("--no-sync"),
                 QStringLiteral("--no-instructions"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                 QStringLiteral("--locale=C.UTF-8")},
                &output) != 0) {
        throw std::runtime_error("initdb failed: " + output.toStdString());
    }
    // Every role but one logs in on the socket without a password.
    QFile hba(data + QStringLiteral("/pg_hba.conf"));
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        hba.write("local all blurtle_password scram-sha-256\n"
                  "local all all trust\n") < 0) {
        throw std::runtime_error("could not write pg_hba.conf");
    }
    hba.close();
    const QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses='' -c fsync=off "
                                           "-c synchronous_commit=off -c full_page_writes=off")
                                .arg(m_socketDirectory)
                                .arg(kPort);
    if (RunTool(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), data, QStringLiteral("-l"),
                 m_socketDirectory + QStringLiteral("/server.log"), QStringLiteral("-o"), options,
                 QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
                 QStringLiteral("start")},
                &output) != 0) {
        QFile log(m_socketDirectory + QStringLiteral("/server.log"));
        log.open(QIODevice::ReadOnly);
        throw std::runtime_error("pg_ctl start failed: " + output.toStdString() +
                                 log.readAll().toStdString());
    }
    m_running = true;
    Run(QStringLiteral("postgres"),
        QStringLiteral("CREATE ROLE blurtle_password LOGIN PASSWORD 'right password'"));
}

void CPostgresServer::RunAs(const QString& socketDirectory) {
    if (::geteuid() != 0) {
        return;
    }
    // The server's own user where the system has one, else nobody.
    const passwd* user = ::getpwnam("postgres");
    if (user == nullptr) {
        user = ::getpwnam("nobody");
    }
    if (user == nullptr) {
        throw std::runtime_error("running as root and no user to run the server as");
    }
    m_uid = user->pw_uid;
    m_gid = user->pw_gid;
    m_dropPrivileges = true;
    if (::chown(QFile::encodeName(socketDirectory).constData(), m_uid, m_gid) != 0) {
        throw std::runtime_error("could not give the server's folder to its user");
    }
}

void CPostgresServer::Stop() {
    if (m_running) {
        RunTool(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), m_socketDirectory + QStringLiteral("/data"),
                 QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                 QStringLiteral("stop")});
        m_running = false;
    }
}

std::string CPostgresServer::Address(const QString& database, const QString& user) const {
    return QStringLiteral("postgresql://%1@/%2?host=%3&port=%4")
        .arg(user.isEmpty() ? QString::fromLatin1(kSuperuser) : user, database, m_socketDirectory)
        .arg(kPort)
        .toStdString();
}

QString CPostgresServer::CreateDatabase() {
    // Unique among the test programs that share the server.
    const QString name = QStringLiteral("library_%1_%2").arg(::getpid()).arg(++m_databases);
    Run(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

QVariant CPostgresServer::Run(const QString& database, const QString& sql) {
    const QString connection = QStringLiteral("blurtle-test-server-%1").arg(database);
    QVariant result;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::contains(connection)
                              ? QSqlDatabase::database(connection)
                              : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        if (!db.isOpen()) {
            db.setHostName(m_socketDirectory);
            db.setPort(kPort);
            db.setUserName(QString::fromLatin1(kSuperuser));
            db.setDatabaseName(database);
            if (!db.open()) {
                error = db.lastError().text();
            }
        }
        if (error.isEmpty()) {
            QSqlQuery query(db);
            if (!query.exec(sql)) {
                error = query.lastError().text();
            } else if (query.next()) {
                result = query.value(0);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty()) {
        throw std::runtime_error(
            ("The test server refused \"" + sql + "\": " + error).toStdString());
    }
    return result;
}
