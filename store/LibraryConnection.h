#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <string>

class QSqlError;

// One connection to a library file under a connection name of its own (Qt
// keeps connections by name, so each recordset gets its own and drops it
// again). Busy timeout and foreign keys are set on every connection.
// Every failure throws CDaoException.
class CLibraryConnection {
public:
    enum class Access { ReadOnly, ReadWrite };

    // Opens the file as it is: no check that it is a library. The file must
    // exist; SQLite is never allowed to create it here.
    CLibraryConnection(const std::string& path, Access access);
    ~CLibraryConnection();
    CLibraryConnection(const CLibraryConnection&) = delete;
    CLibraryConnection& operator=(const CLibraryConnection&) = delete;

    // Opens an existing library for reading and writing, after checking that
    // the file is a library this version can use. A file that is not one is
    // refused with a message naming it, before anything is written to it.
    static std::unique_ptr<CLibraryConnection> OpenLibrary(const std::string& path);

    QSqlDatabase& Database() { return m_db; }
    const std::string& Path() const { return m_path; }

    // A prepared, forward-only statement.
    QSqlQuery Prepare(const QString& sql);
    // Runs one statement that takes no parameters (pragmas, schema).
    void Exec(const QString& sql);
    // The first column of the first row of a parameterless statement.
    QVariant Value(const QString& sql);

    // Throws the engine's text, naming the library.
    [[noreturn]] void Fail(const QSqlError& error) const;

private:
    std::string m_path;
    QString m_canonicalPath;
    QString m_name;
    QSqlDatabase m_db;
};

// Whether this process holds a connection to the file at `path` now.
// Anything that reads the file outside SQLite must not open and close it
// then: closing any descriptor of a file drops every POSIX lock the process
// holds on it, SQLite's included, and another program's SQLite would then
// take the file for unused and remove its write-ahead log under us.
bool IsOpenInThisProcess(const std::string& path);

// The engine's text of an error, naming the library file.
std::string DescribeEngineError(const QSqlError& error, const std::string& path);
