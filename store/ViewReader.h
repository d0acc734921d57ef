#pragma once

#include "store/RecordShape.h"

#include <cstddef>
#include <memory>
#include <vector>

class CLibraryConnection;
class CNativeCursor;

// A query recordset's rows: read once, front to back, into the members,
// and never written. SQLite is read row by row where the connection
// allows it; otherwise the whole result is read at once, so no read
// transaction stays open while the caller walks it.
class CViewReader {
public:
    CViewReader(std::unique_ptr<CLibraryConnection> connection, RecordShape shape);
    ~CViewReader(); // gives the connection back

    CViewReader(const CViewReader&) = delete;
    CViewReader& operator=(const CViewReader&) = delete;

    // Reads the rows matching `parameters` (their values taken from the
    // members) and loads the first into the members.
    void Read(const std::vector<BoundField>& parameters);
    bool AtEnd() const;
    void MoveNext();

    const RecordShape& Shape() const { return m_shape; }
    CLibraryConnection* Connection() const { return m_connection.get(); }

private:
    RecordShape m_shape;
    // Before the cursor, so that it goes last: Qt wants every statement
    // gone before its connection is removed.
    std::unique_ptr<CLibraryConnection> m_connection;
    std::vector<FieldValues> m_rows;
    std::size_t m_rowIndex = 0;
    std::unique_ptr<CNativeCursor> m_cursor; // a query read row by row instead
};
