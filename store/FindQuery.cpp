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
        if (std::strcmp(column->name, "Description") == 0) {
            columns << QStringLiteral("c.\"Description\"");
        } else {
            columns << QStringLiteral("p.") + RecordShape::Quoted(column->name);
        }
    }
    return columns.join(QStringLiteral(", "));
}

// A LIKE pattern that finds `word` anywhere, its own %, _ and \ taken
// literally (the server's LIKE escapes with \).
QString ServerPattern(const QString& word) {
    QString escaped;
    for (const QChar character : word) {
        if (character == QLatin1Char('\\') || character == QLatin1Char('%') ||
            character == QLatin1Char('_')) {
            escaped += QLatin1Char('\\');
        }
        escaped += character;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

// An FTS5 query for the items that hold every three-letter run of the
// words, each run quoted. Runs are all a trigram index without positions
// can answer; the exact test follows in SQL. Empty when no word is that
// long.
QString TrigramQuery(const std::vector<std::string>& words) {
    QStringList runs;
    for (const std::string& word : words) {
        const QList<uint> characters = QString::fromStdString(word).toUcs4();
        for (qsizetype i = 0; i + 3 <= characters.size(); ++i) {
            QString run = QString::fromUcs4(reinterpret_cast<const char32_t*>(&characters[i]), 3);
            run.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            runs << QLatin1Char('"') + run + QLatin1Char('"');
        }
    }
    runs.removeDuplicates();
    return runs.join(QStringLiteral(" AND "));
}

// The conditions a find's words put on a row of p, with their values.
class WordConditions {
public:
    WordConditions(CLibraryConnection& connection, bool server, const CFindWords& words) {
        for (const std::string& word : words.Folded()) {
            QVariant value = connection.BindValue(FieldValue{FieldKind::Text, word, 0});
            // Text a server can't hold is in none of its rows.
            if (!value.isValid()) {
                m_values.clear();
                return;
            }
            if (server) {
                value = ServerPattern(value.toString());
            }
            m_values.push_back(value);
        }
        m_holds = server ? QStringLiteral("%1 LIKE ?") : QStringLiteral("instr(%1, ?) > 0");
    }

    // Every word in the mnemonic, or each in the mnemonic or the text.
    QString InMnemonic(std::vector<QVariant>& values) const {
        return Every(values, m_holds.arg(QStringLiteral("p.fm")), 1);
    }
    QString Anywhere(std::vector<QVariant>& values) const {
        return Every(
            values,
            QStringLiteral("(%1 OR %2)")
                .arg(m_holds.arg(QStringLiteral("p.fm")), m_holds.arg(QStringLiteral("p.ft"))),
            2);
    }
    QString Of(FindGroup group, std::vector<QVariant>& values) const {
        switch (group) {
        case FindGroup::InMnemonic:
            return InMnemonic(values);
        case FindGroup::InTextOnly: {
            const QString anywhere = Anywhere(values);
            return QStringLiteral("%1 AND NOT (%2)").arg(anywhere, InMnemonic(values));
        }
        case FindGroup::Every:
            break;
        }
        return Anywhere(values);
    }

private:
    // `term` for each word, AND-ed; it names the word `uses` times.
    QString Every(std::vector<QVariant>& values, const QString& term, std::size_t uses) const {
        if (m_values.empty()) {
            return QStringLiteral("1 = 0");
        }
        QStringList terms;
        for (const QVariant& value : m_values) {
            terms << term;
            values.insert(values.end(), uses, value);
        }
        return terms.join(QStringLiteral(" AND "));
    }

    std::vector<QVariant> m_values;
    QString m_holds;
};

void AppendPage(FindStatement& statement, bool server, int first, int count) {
    if (count > 0) {
        statement.sql += QStringLiteral(" LIMIT ? OFFSET ?");
        statement.values.emplace_back(count);
        statement.values.emplace_back(first);
    } else if (first > 0) {
        statement.sql +=
            server ? QStringLiteral(" OFFSET ?") : QStringLiteral(" LIMIT -1 OFFSET ?");
        statement.values.emplace_back(first);
    }
}

} // namespace

FindStatement MakeFindStatement(CLibraryConnection& connection, const RecordShape& shape,
                                const FieldValues& parameters) {
    const bool server = IsServerLibrary(connection);
    const bool folded = HasFindColumns(connection);
    const bool counting = shape.source->reading == RecordSource::Reading::FindCount;
    const CFindWords words(parameters.at(0).text);
    const auto group = static_cast<FindGroup>(parameters.at(1).number);
    const WordConditions conditions(connection, server, words);
    // A file's trigram index narrows a find to the items that hold the
    // words' three-letter runs (a server's narrows its LIKE by itself).
    const QString runs = folded && !server ? TrigramQuery(words.Folded()) : QString();
    const QString fromIndex =
        QStringLiteral("p.\"RowOrder\" IN (SELECT rowid FROM \"%1\" WHERE \"%1\" MATCH ?) AND ")
            .arg(QLatin1String(kFindIndexTable));

    FindStatement statement;
    const QString source = FindRowSource(server, folded);
    const QString join =
        QStringLiteral("%1 JOIN \"tblCategory\" AS c ON c.\"CategoryID\" = p.\"CategoryID\"")
            .arg(source);
    if (counting) {
        const int ceiling = std::max(0, parameters.at(2).number);
        if (ceiling > 0 && !runs.isEmpty()) {
            statement.sql = QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM \"%1\" WHERE "
                                           "\"%1\" MATCH ? LIMIT ?) AS m")
                                .arg(QLatin1String(kFindIndexTable));
            statement.values = {runs, ceiling};
            return statement;
        }
        if (!runs.isEmpty()) {
            statement.values.emplace_back(runs);
        }
        statement.sql = QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 WHERE %2%3")
                            .arg(join, runs.isEmpty() ? QString() : fromIndex,
                                 conditions.Of(group, statement.values));
        AppendPage(statement, server, 0, ceiling);
        statement.sql += QStringLiteral(") AS m");
        return statement;
    }

    const QString categoryOrder = server ? QStringLiteral("\"AddOrder\"") : QStringLiteral("rowid");
    const QString order =
        QStringLiteral("c.\"ZOrder\", c.%1, p.\"ZOrder\", p.\"RowOrder\"").arg(categoryOrder);
    if (group == FindGroup::Every) {
        if (!runs.isEmpty()) {
            statement.values.emplace_back(runs);
        }
        statement.sql = QStringLiteral("SELECT %1 FROM %2\nWHERE %3%4")
                            .arg(SelectList(shape), join, runs.isEmpty() ? QString() : fromIndex,
                                 conditions.Anywhere(statement.values));
        statement.sql += QStringLiteral("\nORDER BY CASE WHEN %1 THEN 0 ELSE 1 END, %2")
                             .arg(conditions.InMnemonic(statement.values), order);
    } else {
        // Categories first, in their order, each one's items after it: with
        // an index on the category order both engines read the items one
        // category at a time and stop at the end of the page.
        statement.sql =
            QStringLiteral("SELECT %1 FROM \"tblCategory\" AS c CROSS JOIN %2\n"
                           "WHERE p.\"CategoryID\" = c.\"CategoryID\" AND %3\n"
                           "ORDER BY %4")
                .arg(SelectList(shape), source, conditions.Of(group, statement.values), order);
    }
    AppendPage(statement, server, std::max(0, parameters.at(2).number),
               std::max(0, parameters.at(3).number));
    return statement;
}
