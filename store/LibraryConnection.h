#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <string>

class QSqlError;
struct FieldValue;

// One connection to a library under a connection name of its own (Qt
// keeps connections by name, so each recordset gets its own and drops it
// again). The library is an SQLite file (CFileConnection) or a database on
// a PostgreSQL server (CServerConnection); the recordsets see only this
// class, and every failure throws CDaoException with words that name the
// library.
class CLibraryConnection {
public:
    enum class Access { ReadOnly, ReadWrite };

    virtual ~CLibraryConnection();
    CLibraryConnection(const CLibraryConnection&) = delete;
    CLibraryConnection& operator=(const CLibraryConnection&) = delete;

    // A connection given back with Release for the library at `location`,
    // still able to serve it (see OpenLibrary in LibraryOpener.h); null when
    // none is kept.
    static std::unique_ptr<CLibraryConnection> TakeIdle(const std::string& location);
    // Gives a connection back after use: kept for reuse while it can still
    // serve its library, closed otherwise (and when enough are kept).
    static void Release(std::unique_ptr<CLibraryConnection> connection);
    // Closes every kept connection.
    static void CloseIdle();

    QSqlDatabase& Database() { return m_db; }
    // The location as it was given to open the library.
    const std::string& Path() const { return m_path; }
    // The library as messages name it (never with a password).
    const std::string& DisplayName() const { return m_display; }
    bool IsReadOnly() const { return m_access == Access::ReadOnly; }
    bool InTransaction() const { return m_inTransaction; }

    // False once the connection no longer serves its library: the file's
    // path names another file now, or the server connection broke. The
    // owner then opens the library again.
    virtual bool IsCurrent() const = 0;

    // A prepared, forward-only statement.
    QSqlQuery Prepare(const QString& sql);
    // Runs a prepared statement. Every failure below finishes the
    // statement and throws (Fail).
    void Run(QSqlQuery& query);
    // Moves to the next row; false, the statement finished, at the end.
    bool Next(QSqlQuery& query);
    // Runs one statement that takes no parameters: its rows, and nothing.
    QSqlQuery Query(const QString& sql);
    void Exec(const QString& sql);
    // The first column of the first row of a parameterless statement.
    QVariant Value(const QString& sql);
    // What a statement takes for a member's value: text, bytes or a number.
    // Invalid for text that this library can't hold.
    virtual QVariant BindValue(const FieldValue& value) const = 0;
    // The SQL expression that makes a new key on this engine (the key
    // columns' default), for statements that give a key where they have one
    // and want a new one where they have none: coalesce(?, expression).
    virtual QString NewKeyExpression() const = 0;

    // Transactions of several writes; every other write commits by itself.
    virtual void Begin() = 0;
    // Whether a write could start now, without waiting for another program.
    virtual bool CanWriteNow() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // Called after every committed write.
    virtual void AfterCommit() {}

    // Whether the library keeps the folded columns a find searches, once
    // FindColumns.h has asked; forgotten to ask again.
    std::optional<bool> KnownFindColumns() const { return m_findColumns; }
    void SetKnownFindColumns(bool present) { m_findColumns = present; }
    void ForgetFindColumns() { m_findColumns.reset(); }

    // Throws the engine's error in words, naming the library.
    [[noreturn]] virtual void Fail(const QSqlError& error) const = 0;
    // "The library ... is read-only.", and why when there is more to say.
    std::string ReadOnlyMessage() const;
    // Throws ReadOnlyMessage() for a write on a read-only library.
    [[noreturn]] void FailReadOnly() const;

protected:
    CLibraryConnection(std::string path, std::string display, Access access);

    // Adds the Qt connection for `driver`; throws when Qt lacks the driver.
    void AddDatabase(const QString& driver, const char* package);
    // Drops the Qt connection (after a failed open, or at the end).
    void RemoveDatabase();

    // Whether a kept connection can still serve its library.
    virtual bool IsReusable() const = 0;
    // Looks at the library once more before a kept connection is used
    // again: throws when a newer version changed it meanwhile; false when
    // this connection should make way for a new one.
    virtual bool Revalidate() = 0;

    QSqlDatabase m_db;
    std::string m_path;
    std::string m_display;
    Access m_access;
    // Said after "The library ... is read-only." when there is more to say.
    std::string m_readOnlyWhy;
    bool m_inTransaction = false;

private:
    std::optional<bool> m_findColumns;
    QString m_name;
};
