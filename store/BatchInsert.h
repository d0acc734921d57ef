#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

class CLibraryConnection;

// Inserts many rows with few statements: rows are collected and written
// as one INSERT of many rows each (a round trip per batch rather than per
// row, which is what a server library costs most). Every value is a bound
// parameter; the statements are prepared once. Works on both engines, in
// the caller's transaction.
class CBatchInsert {
public:
    // `head` is the statement up to VALUES ("INSERT INTO t (a, b) VALUES"),
    // `row` one row's values with a "?" per parameter ("(?, coalesce(?,
    // ...))").
    CBatchInsert(CLibraryConnection& connection, QString head, QString row);

    // Adds one row's parameters (one for each "?"); writes a
    // batch when it is full.
    void Add(std::initializer_list<QVariant> values);
    // Writes the rows still collected.
    void Flush();

    // Small enough for SQLite's oldest limit of 999 parameters at 7 a row.
    static constexpr int kRowsPerBatch = 128;

private:
    QSqlQuery Prepare(int rows);
    void Write(QSqlQuery& statement);

    CLibraryConnection& m_connection;
    QString m_head;
    QString m_row;
    int m_parameters;
    std::vector<QVariant> m_pending;
    std::optional<QSqlQuery> m_full;
};
