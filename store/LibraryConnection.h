#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTimer>

#include "store/EngineErrors.h"

#include <sys/types.h>

#include <memory>
#include <string>

class QSqlError;

// One connection to a library file under a connection name of its own (Qt
// keeps connections by name, so each recordset gets its own and drops it
// again). Busy timeout and foreign keys are set on every connection.
// Every failure throws CDaoException.
//
// A connection remembers which file it opened (device and inode). When the
// path comes to name another file (a sync tool or a restored backup renamed
// a file over it) or no file at all, the connection is stale: it would
// read and write a file nobody sees any more, and SQLite names a library's
// -wal and -shm companions after the path, so the old file's log would be
// shared with the new one. Opening a new connection to a path first closes
// this process's stale connections to it; owners of long-lived connections
// ask IsCurrent() before they use theirs.
class CLibraryConnection {
public:
    enum class Access { ReadOnly, ReadWrite };

    // Opens the file as it is: no check that it is a library. The file must
    // exist; SQLite is never allowed to create it here.
    CLibraryConnection(const std::string& path, Access access);
    ~CLibraryConnection();
    CLibraryConnection(const CLibraryConnection&) = delete;
    CLibraryConnection& operator=(const CLibraryConnection&) = delete;

    // Opens an existing library after checking that the file is a library
    // this version can use; a file that is not one is refused with a
    // message naming it, before anything is written to it. A library that
    // this user may not write (the file or its folder) is opened for
    // reading only and nothing is created beside it.
    //
    // A connection given back with Release is kept for the next open of the
    // same file, with its page cache and parsed schema: the recordsets open
    // and close a connection at every fill of a list.
    static std::unique_ptr<CLibraryConnection> OpenLibrary(const std::string& path);
    // Gives a connection back after use: kept for reuse while its file is
    // current, closed otherwise (and when enough are kept).
    static void Release(std::unique_ptr<CLibraryConnection> connection);
    // Closes every kept connection (their files are then free to go).
    static void CloseIdle();

    QSqlDatabase& Database() { return m_db; }
    const std::string& Path() const { return m_path; }
    bool IsReadOnly() const { return m_access == Access::ReadOnly; }

    // False once the path names another file than the one this connection
    // opened, or none, or the connection was closed for that reason.
    bool IsCurrent() const;
    // Whether this connection is open on the file that `path` names now.
    bool HoldsFileAt(const std::string& path) const;

    // A prepared, forward-only statement.
    QSqlQuery Prepare(const QString& sql);
    // Runs one statement that takes no parameters (pragmas, schema).
    void Exec(const QString& sql);
    // The first column of the first row of a parameterless statement.
    QVariant Value(const QString& sql);

    // Transactions of several writes; every other write commits by itself.
    void Begin();
    // Whether a write could start now: takes the write lock and lets it go
    // at once, without waiting for another program that holds it.
    bool CanWriteNow();
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_inTransaction; }
    // Called after every committed write: shortly after (or when the
    // connection closes first) the write-ahead log is emptied into the file
    // unless another program is reading, so a log left beside the path
    // never holds this file's changes for long (see the class comment).
    void AfterCommit();
    // Empties the log now (see AfterCommit).
    void CheckpointNow();

    // Throws the engine's text in words, naming the library.
    [[noreturn]] void Fail(const QSqlError& error) const;
    // Throws "The library ... is read-only." for a write on a read-only
    // library.
    [[noreturn]] void FailReadOnly() const;

private:
    void Register();
    void Unregister();
    void CloseStale();
    void HandOverCheckpoint();

    std::string m_path;
    QString m_absolutePath;
    QString m_name;
    Access m_access;
    QSqlDatabase m_db;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    bool m_closed = false;
    bool m_inTransaction = false;
    QTimer m_checkpointTimer;
};

// Whether this process holds a connection to the file at `path` now.
// Anything that reads the file outside SQLite must not open and close it
// then: closing any descriptor of a file drops every POSIX lock the process
// holds on it, SQLite's included, and another program's SQLite would then
// take the file for unused and remove its write-ahead log under us.
bool IsOpenInThisProcess(const std::string& path);

// Whether this user may change the library at `path`: the file and its
// folder (where SQLite keeps the library's companions) are writable.
bool IsLibraryWritable(const std::string& path);
