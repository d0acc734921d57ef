#pragma once

#include "store/LibraryConnection.h"

#include <memory>
#include <string>

class CLibraryLocation;

// A connection to a library on a PostgreSQL server, through Qt's QPSQL
// driver and libpq. Passwords come from the address, from libpq's own
// means (~/.pgpass, PGPASSWORD, a service file), or from the password
// source (see PasswordSource.h), which keeps them for the session only.
//
// A role that may not insert, update and delete rows of both tables, or a
// server that only serves reads (a standby), opens the library read-only.
// Lock waits end after 5 seconds, as the busy timeout of a file library.
// A connection that broke (the server restarted, the network failed) is no
// longer current, so its owner opens a new one at its next step.
class CServerConnection : public CLibraryConnection {
public:
    // Connects to the database that `location` names: no check that it is
    // a library.
    explicit CServerConnection(const CLibraryLocation& location);
    ~CServerConnection() override;

    // Connects and checks that the database holds a library this version
    // can use (see OpenLibrary in LibraryOpener.h).
    static std::unique_ptr<CLibraryConnection> OpenLibrary(const CLibraryLocation& location);

    // False too once a connection to the same library was found broken
    // after this one was made (MarkConnectionsLost).
    bool IsCurrent() const override;

    // Every connection made so far to the library at `path` is taken for
    // broken: the server went away, so they very likely broke with it,
    // even those that have not tried to talk since. Their owners open new
    // ones at their next step instead of failing once first.
    static void MarkConnectionsLost(const std::string& path);
    // Text must be valid UTF-8 without zero characters (the server holds
    // nothing else in a text column).
    QVariant BindValue(const FieldValue& value) const override;
    QString NewKeyExpression() const override;

    void Begin() override;
    // Rows are locked one by one on a server: no lock of the whole library
    // can keep a write from starting.
    bool CanWriteNow() override;
    // A transaction in which a write failed is rolled back and the commit
    // throws: the server has refused everything after that failure.
    void Commit() override;
    void Rollback() override;

    [[noreturn]] void Fail(const QSqlError& error) const override;

protected:
    bool IsReusable() const override;
    bool Revalidate() override;

private:
    // Opens the connection. When the server wants a password that nothing
    // gave, or refuses the one given, asks the password source until one
    // logs in or the source gives up (then throws libpq's failure in words).
    void Connect(const CLibraryLocation& location);
    // Reads the library's format (throwing for a newer one) and whether
    // this role may change it.
    bool ReadFormatAndRights();

    mutable bool m_broken = false;
    // The library's count of MarkConnectionsLost when this one was made.
    unsigned long m_generation = 0;
    mutable bool m_transactionFailed = false;
};
