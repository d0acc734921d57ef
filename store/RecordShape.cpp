#include "store/RecordShape.h"

#include <QSqlQuery>

FieldValues RecordShape::RowValues(const QSqlQuery& query, int firstColumn) const {
    FieldValues values;
    values.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        values.push_back(FromColumn(query.value(firstColumn + static_cast<int>(i)), columns[i].kind,
                                    schema[i]->generatedKey));
    }
    return values;
}

void RecordShape::LoadMembers(FieldValues values) const {
    CLoadExchange load(std::move(values));
    exchange(&load);
}

FieldValues RecordShape::MemberValues() const {
    CStoreExchange store;
    exchange(&store);
    return std::move(store.columns);
}

QString RecordShape::ColumnList() const {
    QStringList names;
    for (const RecordSource::Column* column : schema) {
        names << Quoted(column->name);
    }
    return names.join(QStringLiteral(", "));
}

QString RecordShape::Quoted(const char* identifier) {
    return QLatin1Char('"') + QLatin1String(identifier) + QLatin1Char('"');
}
