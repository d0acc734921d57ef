#pragma once

#include "store/RecordShape.h"

#include <QSqlError>
#include <QString>
#include <QVariant>

#include <vector>

class QSqlDatabase;
struct sqlite3_stmt;

// Walks the rows of a query straight through the SQLite C interface of a
// Qt SQLite connection, copying each value out of SQLite once, as the
// UTF-8 bytes the members hold (into their existing storage), instead of
// through Qt's UTF-16 strings and variants and back. The palette's lists
// of thousands of rows are read this way; every other statement goes
// through Qt.
//
// The statement (and so a read transaction) stays open from Start to the
// last row or to the cursor's end, so it is for reads that are walked to
// the end at once.
class CNativeCursor {
public:
    // Whether `db` is a SQLite connection whose handle this can use.
    static bool IsAvailable(const QSqlDatabase& db);

    CNativeCursor() = default;
    ~CNativeCursor();
    CNativeCursor(const CNativeCursor&) = delete;
    CNativeCursor& operator=(const CNativeCursor&) = delete;

    // Runs `sql` with `parameters` bound in order (text, bytes or integers,
    // as ToBindValue gives them) for the columns of `shape` (which outlives
    // the cursor) and stands on its first row, or at the end.
    // Returns false with `error` set (the engine's code and text) when
    // SQLite refused.
    bool Start(const QSqlDatabase& db, const QString& sql, const std::vector<QVariant>& parameters,
               const RecordShape& shape, QSqlError& error);
    // Moves to the next row (or the end); false with `error` on a failure.
    bool Next(QSqlError& error);
    bool AtEnd() const { return m_statement == nullptr; }

    // Puts the current row's values into the shape's output-column
    // members, in exchange order.
    void Load() const;

private:
    bool Step(QSqlError& error);
    void Finish();

    struct sqlite3* m_handle = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    const RecordShape* m_shape = nullptr;
};
