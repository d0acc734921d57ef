#include "store/FindQuery.h"

#include "engine/FindWords.h"
#include "store/FindColumns.h"
#include "store/LibraryConnection.h"
#include "store/RecordShape.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

QString SelectList(const RecordShape& shape) {
    QStringList columns;
    for (const RecordSource::Column* column : shape.schema) {
        if (std::strcmp(column->name, "Found") == 0) {
            columns << QStringLiteral("count(*)");
        } else if (std::strcmp(column->name, "Description") == 0) {
            columns << QStringLiteral("c.\"Description\"");
        } else {
            columns << QStringLiteral("p.") + RecordShape::Quoted(column->name);
        }
    }
    return columns.join(QStringLiteral(", "));
}

} // namespace

FindStatement MakeFindStatement(CLibraryConnection& connection, const RecordShape& shape,
                                const FieldValues& parameters) {
    const bool server = IsServerLibrary(connection);
    const bool counting = shape.source->reading == RecordSource::Reading::FindCount;
    const CFindWords words(parameters.at(0).text);

    FindStatement statement;
    std::vector<QVariant> bound;
    for (const std::string& word : words.Folded()) {
        const QVariant value = connection.BindValue(FieldValue{FieldKind::Text, word, 0});
        // Text a server can't hold is in none of its rows.
        if (!value.isValid()) {
            bound.clear();
            break;
        }
        bound.push_back(value);
    }

    const QString source = FindRowSource(server, HasFindColumns(connection));
    const QString holds =
        server ? QStringLiteral("strpos(%1, ?) > 0") : QStringLiteral("instr(%1, ?) > 0");
    QStringList anywhere;
    QStringList inMnemonic;
    for (const QVariant& value : bound) {
        anywhere << QStringLiteral("(%1 OR %2)")
                        .arg(holds.arg(QStringLiteral("p.fm")), holds.arg(QStringLiteral("p.ft")));
        statement.values.push_back(value);
        statement.values.push_back(value);
    }
    statement.sql = QStringLiteral("SELECT %1 FROM %2\nJOIN \"tblCategory\" AS c ON "
                                   "c.\"CategoryID\" = p.\"CategoryID\"\nWHERE %3")
                        .arg(SelectList(shape), source,
                             anywhere.isEmpty() ? QStringLiteral("1 = 0")
                                                : anywhere.join(QStringLiteral(" AND ")));
    if (counting) {
        return statement;
    }
    for (const QVariant& value : bound) {
        inMnemonic << holds.arg(QStringLiteral("p.fm"));
        statement.values.push_back(value);
    }
    const QString categoryOrder =
        server ? QStringLiteral("c.\"AddOrder\"") : QStringLiteral("c.rowid");
    statement.sql += QStringLiteral("\nORDER BY CASE WHEN %1 THEN 0 ELSE 1 END, c.\"ZOrder\", %2, "
                                    "p.\"ZOrder\", p.\"RowOrder\"")
                         .arg(inMnemonic.isEmpty() ? QStringLiteral("1 = 1")
                                                   : inMnemonic.join(QStringLiteral(" AND ")),
                              categoryOrder);
    const int first = std::max(0, parameters.at(1).number);
    const int count = std::max(0, parameters.at(2).number);
    if (count > 0) {
        statement.sql += QStringLiteral(" LIMIT ? OFFSET ?");
        statement.values.emplace_back(count);
        statement.values.emplace_back(first);
    } else if (first > 0) {
        statement.sql +=
            server ? QStringLiteral(" OFFSET ?") : QStringLiteral(" LIMIT -1 OFFSET ?");
        statement.values.emplace_back(first);
    }
    return statement;
}
