#pragma once

#include "store/LibraryConnection.h"

#include <memory>
#include <string>

class CLibraryLocation;

// A connection to a library on a PostgreSQL server, through Qt's QPSQL
// driver and libpq. Passwords come from the address or from libpq's own
// means (~/.pgpass, PGPASSWORD, a service file); nothing is stored.
//
// A role that may not insert, update and delete rows of both tables, or a
// server that only serves reads (a standby), opens the library read-only.
// Lock waits end after 5 seconds, as the busy timeout of a file library.
// A connection that broke (the server restarted, the network failed) is no
// longer current, so its owner opens a new one at its next step.
class CServerConnection : public CLibraryConnection {
public:
    // Connects to the database that `location` names (`path` is the text it
    // was parsed from): no check that it is a library.
    CServerConnection(const std::string& path, const CLibraryLocation& location);
    ~CServerConnection() override;

    // Connects and checks that the database holds a library this version
    // can use (see CLibraryConnection::OpenLibrary).
    static std::unique_ptr<CLibraryConnection> OpenLibrary(const std::string& path,
                                                           const CLibraryLocation& location);

    bool IsCurrent() const override;
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
    // Reads the library's format (throwing for a newer one) and whether
    // this role may change it.
    bool ReadFormatAndRights();

    mutable bool m_broken = false;
    mutable bool m_transactionFailed = false;
};
