#pragma once

#include "store/BoundFields.h"
#include "store/RecordSource.h"

#include <QString>

#include <functional>
#include <vector>

class QSqlQuery;

// What an open recordset reads and where it puts it: its table or view,
// the columns it binds (in exchange order, and as the source knows them)
// and its members, reached through the recordset's field exchange.
struct RecordShape {
    const RecordSource* source = nullptr;
    std::vector<BoundField> columns;
    std::vector<const RecordSource::Column*> schema;
    std::function<void(CFieldExchange*)> exchange;

    // The bound columns of a result row, from `firstColumn` on.
    FieldValues RowValues(const QSqlQuery& query, int firstColumn) const;
    void LoadMembers(FieldValues values) const;
    FieldValues MemberValues() const;
    // The bound columns' names, quoted and separated by commas.
    QString ColumnList() const;

    static QString Quoted(const char* identifier);
};
