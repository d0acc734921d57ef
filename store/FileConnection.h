#pragma once

#include "store/LibraryConnection.h"

#include <QTimer>

#include <sys/types.h>

#include <memory>
#include <string>

// A connection to a library file (SQLite). Busy timeout and foreign keys
// are set on every connection.
//
// A connection remembers which file it opened (device and inode). When the
// path comes to name another file (a sync tool or a restored backup renamed
// a file over it) or no file at all, the connection is stale: it would
// read and write a file nobody sees any more, and SQLite names a library's
// -wal and -shm companions after the path, so the old file's log would be
// shared with the new one. Opening a new connection to a path first closes
// this process's stale connections to it; owners of long-lived connections
// ask IsCurrent() before they use theirs.
//
// Another program may still have the old file open when one is renamed
// over the path; its log and shared memory beside the path are then the
// old file's, and reading the new file through them mixes the two. Such a
// file is read from itself alone, read-only, until that program lets go
// (the connection is no longer current then, and is opened again).
class CFileConnection : public CLibraryConnection {
public:
    // Opens the file as it is: no check that it is a library. The file must
    // exist; SQLite is never allowed to create it here. Messages name the
    // library `display`, or `path` when that is empty.
    CFileConnection(const std::string& path, Access access, const std::string& display = {});
    ~CFileConnection() override;

    bool IsCurrent() const override;
    // Whether this connection is open on the file that `path` names now.
    bool HoldsFileAt(const std::string& path) const;

    QVariant BindValue(const FieldValue& value) const override;
    QString NewKeyExpression() const override;

    void Begin() override;
    // Takes the write lock and lets it go at once, without waiting for
    // another program that holds it.
    bool CanWriteNow() override;
    void Commit() override;
    void Rollback() override;
    // Shortly after (or when the connection closes first) the write-ahead
    // log is emptied into the file unless another program is reading, so a
    // log left beside the path never holds this file's changes for long
    // (see the class comment).
    void AfterCommit() override;
    // Empties the log now (see AfterCommit).
    void CheckpointNow();

    [[noreturn]] void Fail(const QSqlError& error) const override;

protected:
    bool IsReusable() const override;
    bool Revalidate() override;

private:
    // Which file a path names: none, or its device and inode.
    struct Identity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        friend bool operator==(const Identity&, const Identity&) = default;
    };
    static Identity IdentityOf(const QString& path);

    void CloseStale();
    void HandOverCheckpoint();
    // Whether the log and shared memory beside the path belong to the
    // users of another file (see the class comment).
    bool LogOfAnotherFile() const;

    QString m_absolutePath;
    Identity m_file; // the file opened
    bool m_closed = false;
    bool m_logOfAnotherFile = false;
    QTimer m_checkpointTimer;
};

// Whether this process holds a connection to the file at `path` now.
// Anything that reads the file outside SQLite must not open and close it
// then: closing any descriptor of a file drops every POSIX lock the process
// holds on it, SQLite's included, and another program's SQLite would then
// take the file for unused and remove its write-ahead log under us.
bool IsOpenInThisProcess(const std::string& path);

// Whether another process holds a lock on any byte of `file`: SQLite's
// connections hold one on a library file and one on its -shm for as long
// as they are open, and one on a file they are writing. Only for files
// that no connection of ours locks: closing the descriptor asked through
// drops the process's own locks.
bool LockedByAnotherProcess(const QString& file);

// Whether this user may change the library at `path`: the file and its
// folder (where SQLite keeps the library's companions) are writable.
bool IsLibraryWritable(const std::string& path);
