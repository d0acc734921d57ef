#pragma once

#include "store/LibraryLocation.h"
#include "store/RecordShape.h"

#include <QSqlQuery>
#include <QVariant>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class CLibraryConnection;

// A table recordset's position and writes. It stands on a row's key (or
// at EOF) and reads no further than one row per operation, so no read
// transaction outlives an operation; Update and Delete act on the row that
// was read or on none. Before it touches the library it follows its path
// (Follow) to whatever file that names now.
class CTableCursor {
public:
    CTableCursor(CLibraryLocation location, std::unique_ptr<CLibraryConnection> connection,
                 RecordShape shape);
    ~CTableCursor(); // gives the connection back; an open transaction rolls back

    CTableCursor(const CTableCursor&) = delete;
    CTableCursor& operator=(const CTableCursor&) = delete;

    // Prepares the statements and stands on the first row.
    void First();
    // Returns true when it had to open the file at its path anew; throws
    // (Reason::LibraryGone) when no library is there any more.
    bool Follow();

    bool AtEnd() const { return m_atEof; }
    void MoveNext();
    // Stands on the row whose key is `key`; false, changing nothing, when
    // there is none.
    bool Seek(const QVariant& key);
    void SetBookmark(const QVariant& bookmark);
    void AddNew();
    void Edit();
    void Update();
    void Delete();
    // Drops a pending AddNew or Edit (restoring the members AddNew saved).
    void CancelPending();

    QVariant LastModified() const { return m_lastModified; }
    const RecordShape& Shape() const { return m_shape; }
    CLibraryConnection* Connection() const { return m_connection.get(); }

private:
    enum class Mode { None, Edit, Add };

    void Prepare();
    void DropStatements();
    bool ReadRow(QSqlQuery& query);
    QSqlQuery& WriteStatement(bool insert, std::uint32_t mask);

    RecordShape m_shape;
    CLibraryLocation m_location; // the library as it was named at the open
    // Before the statements, so that it goes last: Qt wants every statement
    // gone before its connection is removed.
    std::unique_ptr<CLibraryConnection> m_connection;

    bool m_atEof = true;
    bool m_rowDeleted = false;
    QVariant m_key; // the current row's key, as the database holds it
    // What the members held when the current row was read, to find what an
    // Edit changed; the members saved by AddNew and their reset values.
    FieldValues m_loaded;
    Mode m_mode = Mode::None;
    FieldValues m_savedByAddNew;
    FieldValues m_addBase;
    QVariant m_lastModified;

    // Prepared once per open and reset after every use.
    std::optional<QSqlQuery> m_first, m_next, m_byKey, m_remove;
    std::map<std::uint32_t, QSqlQuery> m_updates, m_inserts;
};
