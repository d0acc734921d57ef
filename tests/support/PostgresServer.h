#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <string>

// A PostgreSQL server of a test program's own: a new cluster in a
// temporary folder that listens only on a Unix socket there, run by an
// unprivileged user when the tests run as root (the server refuses root),
// and torn down again. Its superuser "blurtle_test" logs in without a
// password; the role "blurtle_password" must give one (scram-sha-256).
// One server serves the whole test program, or every test program of a
// ctest run: ctest starts one before them (ServeDetached) and the file
// holding its socket directory is found where the build put it
// (BLURTLE_TEST_PG_FILE) or where BLURTLE_TEST_PG says. Each test takes a
// database of its own.
class CPostgresServer {
public:
    // The test program's server: the one BLURTLE_TEST_PG names, else one
    // started at its first use. Null when the server's programs (initdb,
    // pg_ctl) are not installed, with the reason in `whyNot`; throws
    // std::runtime_error when they are but the server did not start.
    static CPostgresServer* Shared(std::string* whyNot = nullptr);
    // Stops the shared server if this program started it.
    static void StopShared();

    // Starts a server that outlives this program and writes its socket
    // directory into `addressFile`; StopDetached stops it and removes its
    // folder and the file. Both return an exit code and print why they
    // failed.
    static int ServeDetached(const QString& addressFile);
    static int StopDetached(const QString& addressFile);

    CPostgresServer();
    ~CPostgresServer();
    CPostgresServer(const CPostgresServer&) = delete;
    CPostgresServer& operator=(const CPostgresServer&) = delete;

    const QString& SocketDirectory() const { return m_socketDirectory; }
    int Port() const { return kPort; }
    // The library address of `database` for `user` (the superuser when
    // empty), over the socket.
    std::string Address(const QString& database, const QString& user = {}) const;
    // A new, empty database; returns its name.
    QString CreateDatabase();
    // Runs SQL as the superuser in `database` and returns the first column
    // of its first row (invalid when it has none); throws
    // std::runtime_error with the server's text when it fails.
    QVariant Run(const QString& database, const QString& sql);

private:
    static constexpr int kPort = 5432;
    struct Attach {};
    CPostgresServer(Attach, QString socketDirectory);
    void Start();
    void Stop();
    void RunAs(const QString& socketDirectory);
    int RunTool(const QString& tool, const QStringList& arguments, QString* output = nullptr);

    QString m_binaries;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_socketDirectory;
    bool m_running = false;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
    bool m_dropPrivileges = false;
    int m_databases = 0;
};
