#include "store/FindColumns.h"

#include "engine/FindFold.h"
#include "store/LibraryConnection.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace {

// Nested replace() calls per statement: SQLite's parser gives up at about
// twenty-five levels, a trigger's own nesting included.
constexpr std::size_t kReplacesPerStage = 16;

// Any character beyond printable ASCII other than the line break that
// stands between iterations: only such texts need more than lower-casing.
const char* const kBeyondAscii = "'*[^\n -~]*'";
const char* const kServerBeyondAscii = "'[^\n -~]'";

QString Utf8Of(char32_t codePoint) {
    return QString::fromUcs4(&codePoint, 1);
}

// How many stages the file's fold takes.
std::size_t StageCount() {
    return (FindFoldTable().size() + kReplacesPerStage - 1) / kReplacesPerStage;
}

// The replace() calls of one stage of the file's fold around `operand`,
// which appears once: a chain of stages read as one query stays linear.
QString FileFoldChain(const QString& operand, std::size_t stage) {
    const auto& table = FindFoldTable();
    const std::size_t first = stage * kReplacesPerStage;
    const std::size_t last = std::min(table.size(), first + kReplacesPerStage);
    QString nested = operand;
    for (std::size_t i = first; i < last; ++i) {
        const QString replacement =
            table[i].replacement == '\0' ? QString() : QString(QLatin1Char(table[i].replacement));
        nested = QStringLiteral("replace(%1, '%2', '%3')")
                     .arg(nested, Utf8Of(table[i].codePoint), replacement);
    }
    return nested;
}

// One stage of the file's fold as a trigger writes it: a text beyond ASCII
// gets its share of the table's replacements, any other is lower-cased
// (lower() folds ASCII alike everywhere) and is done after the first.
QString FileFoldStage(const QString& operand, std::size_t stage) {
    return QStringLiteral("CASE WHEN %1 GLOB %2 THEN %3 ELSE lower(%1) END")
        .arg(operand, QLatin1String(kBeyondAscii), FileFoldChain(operand, stage));
}

// `data` with each weight digit before a "|", and every "|", made one
// iteration break (see engine/FindFold.h).
QString TextOfData(const QString& data) {
    const QString lineBreak = QStringLiteral("'\n'");
    QString nested = data;
    for (char digit = '0'; digit <= '9'; ++digit) {
        nested = QStringLiteral("replace(%1, '%2|', %3)").arg(nested).arg(digit).arg(lineBreak);
    }
    return QStringLiteral("replace(%1, '|', %2)").arg(nested, lineBreak);
}

QString ServerFold(const QString& operand) {
    QString from;
    QString to;
    QString dropped;
    QString upper;
    QString lower;
    for (const FoldedCharacter& entry : FindFoldTable()) {
        if (entry.replacement == '\0') {
            dropped += Utf8Of(entry.codePoint);
        } else {
            from += Utf8Of(entry.codePoint);
            to += QLatin1Char(entry.replacement);
        }
        if (entry.codePoint < 0x80) {
            upper += Utf8Of(entry.codePoint);
            lower += QLatin1Char(entry.replacement);
        }
    }
    // translate() drops the characters of `from` that `to` has none for.
    // It walks the whole table for every character, so a text of plain
    // ASCII gets the table's A-Z part alone (lower() would follow the
    // server's locale).
    return QStringLiteral("CASE WHEN %1 ~ %2 THEN translate(%1, '%3', '%4') "
                          "ELSE translate(%1, '%5', '%6') END")
        .arg(operand, QLatin1String(kServerBeyondAscii), from + dropped, to, upper, lower);
}

QString Quoted(const char* name) {
    return QLatin1Char('"') + QLatin1String(name) + QLatin1Char('"');
}

QStringList FileStatements(bool withColumns) {
    const QString fm = Quoted(kFoldedMnemonicColumn);
    const QString ft = Quoted(kFoldedTextColumn);
    const QString index = Quoted(kFindIndexTable);
    // The trigram index holds no copy of the texts: it reads them from
    // tblPhrase, and what it forgets must be named as it was indexed.
    const QString forget =
        QStringLiteral("INSERT INTO %1 (%1, rowid, %2, %3) VALUES ('delete', OLD.rowid, OLD.%2, "
                       "OLD.%3)")
            .arg(index, fm, ft);
    // A trigger may hold no common tables: it writes the row's plain
    // texts, then folds them a stage a statement; after the first stage
    // only a text beyond ASCII has anything left to fold.
    const auto trigger = [&](const QString& name, const QString& event, bool update) {
        QStringList body;
        if (update) {
            body << forget;
        }
        body << QStringLiteral("UPDATE tblPhrase SET %1 = NEW.Mnemonic, %2 = %3 "
                               "WHERE rowid = NEW.rowid")
                    .arg(fm, ft, TextOfData(QStringLiteral("NEW.Data")));
        for (std::size_t stage = 0; stage < StageCount(); ++stage) {
            body << QStringLiteral(
                        "UPDATE tblPhrase SET %1 = %2, %3 = %4 WHERE rowid = NEW.rowid%5")
                        .arg(fm, FileFoldStage(fm, stage), ft, FileFoldStage(ft, stage),
                             stage == 0 ? QString()
                                        : QStringLiteral(" AND (%1 GLOB %3 OR %2 GLOB %3)")
                                              .arg(fm, ft, QLatin1String(kBeyondAscii)));
        }
        body << QStringLiteral("INSERT INTO %1 (rowid, %2, %3) SELECT rowid, %2, %3 FROM "
                               "tblPhrase WHERE rowid = NEW.rowid")
                    .arg(index, fm, ft);
        return QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON tblPhrase\nBEGIN\n  %3;\nEND")
            .arg(name, event, body.join(QStringLiteral(";\n  ")));
    };
    QStringList statements;
    if (withColumns) {
        statements << QStringLiteral("ALTER TABLE tblPhrase ADD COLUMN %1 TEXT").arg(fm)
                   << QStringLiteral("ALTER TABLE tblPhrase ADD COLUMN %1 TEXT").arg(ft);
    }
    statements << QStringLiteral("DROP TRIGGER IF EXISTS trgPhraseFoldInsert")
               << QStringLiteral("DROP TRIGGER IF EXISTS trgPhraseFoldUpdate")
               << QStringLiteral("DROP TRIGGER IF EXISTS trgPhraseFoldDelete")
               // Without positions (detail none) and sizes (columnsize 0)
               // the index is a fraction of the size; the find tests the
               // words exactly itself and ranks nothing.
               << QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING fts5(%2, %3, "
                                 "content = 'tblPhrase', content_rowid = 'rowid', "
                                 "tokenize = 'trigram', detail = 'none', columnsize = 0)")
                      .arg(index, fm, ft)
               << trigger(QStringLiteral("trgPhraseFoldInsert"), QStringLiteral("INSERT"), false)
               << trigger(QStringLiteral("trgPhraseFoldUpdate"),
                          QStringLiteral("UPDATE OF Mnemonic, Data"), true)
               << QStringLiteral("CREATE TRIGGER trgPhraseFoldDelete AFTER DELETE ON tblPhrase\n"
                                 "BEGIN\n  %1;\nEND")
                      .arg(forget);
    if (withColumns) {
        // The rows already there, in one pass.
        statements << QStringLiteral("UPDATE tblPhrase SET %1 = p.fm, %2 = p.ft FROM %3 "
                                     "WHERE tblPhrase.rowid = p.\"RowOrder\"")
                          .arg(fm, ft, FindRowSource(false, false));
    }
    statements << QStringLiteral("INSERT INTO %1 (%1) VALUES ('rebuild')").arg(index)
               << QStringLiteral("CREATE INDEX IF NOT EXISTS idxCategoryOrder "
                                 "ON tblCategory (ZOrder)")
               // A category's items in their order with their folded
               // mnemonics: a find walking the categories tests mnemonics
               // in the index alone, and reads only the rows that match.
               << QStringLiteral("CREATE INDEX IF NOT EXISTS idxPhraseInCategory "
                                 "ON tblPhrase (CategoryID, ZOrder, %1)")
                      .arg(fm);
    return statements;
}

QStringList ServerStatements(bool withTrigrams) {
    QStringList statements{
        QStringLiteral("ALTER TABLE \"tblPhrase\"\n"
                       "  ADD COLUMN IF NOT EXISTS %1 text GENERATED ALWAYS AS (%2) STORED,\n"
                       "  ADD COLUMN IF NOT EXISTS %3 text GENERATED ALWAYS AS (%4) STORED")
            .arg(Quoted(kFoldedMnemonicColumn), ServerFold(QStringLiteral("\"Mnemonic\"")),
                 Quoted(kFoldedTextColumn), ServerFold(TextOfData(QStringLiteral("\"Data\"")))),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"idxCategoryOrder\" "
                       "ON \"tblCategory\" (\"ZOrder\", \"AddOrder\")")};
    if (withTrigrams) {
        statements << QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm")
                   << QStringLiteral("CREATE INDEX IF NOT EXISTS \"idxPhraseFind\" ON "
                                     "\"tblPhrase\" USING gin (%1 gin_trgm_ops, %2 gin_trgm_ops)")
                          .arg(Quoted(kFoldedMnemonicColumn), Quoted(kFoldedTextColumn));
    }
    return statements;
}

} // namespace

bool IsServerLibrary(CLibraryConnection& connection) {
    return connection.Database().driverName() == QLatin1String("QPSQL");
}

QString FindRowSource(bool server, bool folded) {
    const QString rowOrder = server ? QStringLiteral("\"AddOrder\"") : QStringLiteral("rowid");
    const QString keys = QStringLiteral("\"PhraseID\", \"CategoryID\", \"Mnemonic\", \"ZOrder\"");
    if (folded) {
        return QStringLiteral("(SELECT %1 AS \"RowOrder\", %2, %3 AS fm, %4 AS ft "
                              "FROM \"tblPhrase\") AS p")
            .arg(rowOrder, keys, Quoted(kFoldedMnemonicColumn), Quoted(kFoldedTextColumn));
    }
    if (server) {
        return QStringLiteral("(SELECT %1 AS \"RowOrder\", %2, %3 AS fm, %4 AS ft "
                              "FROM \"tblPhrase\") AS p")
            .arg(rowOrder, keys, ServerFold(QStringLiteral("\"Mnemonic\"")),
                 ServerFold(TextOfData(QStringLiteral("\"Data\""))));
    }
    // One common table per stage keeps each expression shallow enough for
    // the parser; each names its operand once, so SQLite merges them into
    // one expression, which the last CASE evaluates only for texts beyond
    // ASCII. The first is made once, so the plain texts are not worked out
    // again wherever they are named.
    const QString columns = QStringLiteral("\"RowOrder\", ") + keys + QStringLiteral(", m, t");
    QStringList tables{QStringLiteral("fold0 AS MATERIALIZED (SELECT rowid AS \"RowOrder\", %1, "
                                      "\"Mnemonic\" AS m, %2 AS t FROM \"tblPhrase\"),\n"
                                      "fold1 AS (SELECT %3, m AS fm, t AS ft FROM fold0)")
                           .arg(keys, TextOfData(QStringLiteral("\"Data\"")), columns)};
    for (std::size_t stage = 0; stage < StageCount(); ++stage) {
        tables << QStringLiteral("fold%1 AS (SELECT %2, %3 AS fm, %4 AS ft FROM fold%5)")
                      .arg(stage + 2)
                      .arg(columns, FileFoldChain(QStringLiteral("fm"), stage),
                           FileFoldChain(QStringLiteral("ft"), stage))
                      .arg(stage + 1);
    }
    return QStringLiteral("(WITH %1\nSELECT \"RowOrder\", %2, "
                          "CASE WHEN m GLOB %3 THEN fm ELSE lower(m) END AS fm, "
                          "CASE WHEN t GLOB %3 THEN ft ELSE lower(t) END AS ft FROM fold%4) AS p")
        .arg(tables.join(QStringLiteral(",\n")), keys, QLatin1String(kBeyondAscii))
        .arg(StageCount() + 1);
}

QStringList FindColumnStatements(bool server, bool withColumns, bool withTrigrams) {
    return server ? ServerStatements(withTrigrams) : FileStatements(withColumns);
}

bool HasFindColumns(CLibraryConnection& connection) {
    if (const std::optional<bool> known = connection.KnownFindColumns()) {
        return *known;
    }
    const QString count =
        IsServerLibrary(connection)
            ? QStringLiteral("SELECT (SELECT count(*) FROM pg_attribute WHERE attrelid = "
                             "to_regclass('\"tblPhrase\"') AND NOT attisdropped "
                             "AND attname IN ('%1', '%2')) + (CASE WHEN "
                             "to_regclass('\"idxCategoryOrder\"') IS NULL THEN 0 ELSE 1 END)")
            : QStringLiteral(
                  "SELECT (SELECT count(*) FROM pragma_table_info('tblPhrase') "
                  "WHERE name IN ('%1', '%2')) + (SELECT count(*) FROM sqlite_master "
                  "WHERE name IN ('trgPhraseFoldInsert', 'trgPhraseFoldUpdate', "
                  "'trgPhraseFoldDelete', '%3', 'idxCategoryOrder', 'idxPhraseInCategory'))");
    const int expected = IsServerLibrary(connection) ? 3 : 8;
    const bool has =
        connection
            .Value(count.arg(QLatin1String(kFoldedMnemonicColumn), QLatin1String(kFoldedTextColumn),
                             QLatin1String(kFindIndexTable)))
            .toInt() == expected;
    connection.SetKnownFindColumns(has);
    return has;
}

void AddFindColumns(CLibraryConnection& connection) {
    if (connection.IsReadOnly() || HasFindColumns(connection)) {
        return;
    }
    try {
        connection.Begin();
        // Another program may have added them while we waited for the lock.
        connection.ForgetFindColumns();
        if (!HasFindColumns(connection)) {
            const bool server = IsServerLibrary(connection);
            // A library of an earlier version may have the columns already;
            // a server makes the trigram index only where this role may add
            // the extension (or it is there).
            const bool withColumns =
                server ||
                connection
                        .Value(QStringLiteral("SELECT count(*) FROM pragma_table_info('tblPhrase') "
                                              "WHERE name IN ('%1', '%2')")
                                   .arg(QLatin1String(kFoldedMnemonicColumn),
                                        QLatin1String(kFoldedTextColumn)))
                        .toInt() == 0;
            const bool withTrigrams =
                server &&
                connection
                    .Value(QStringLiteral(
                        "SELECT EXISTS (SELECT 1 FROM pg_extension WHERE extname = 'pg_trgm') OR "
                        "(EXISTS (SELECT 1 FROM pg_available_extensions WHERE name = 'pg_trgm') "
                        "AND has_database_privilege(current_database(), 'CREATE'))"))
                    .toBool();
            for (const QString& statement :
                 FindColumnStatements(server, withColumns, withTrigrams)) {
                connection.Exec(statement);
            }
        }
        connection.Commit();
        connection.SetKnownFindColumns(true);
    } catch (const std::exception&) {
        try {
            connection.Rollback();
        } catch (const std::exception&) {
            // The connection broke; its owner finds that at its next use.
        }
        connection.SetKnownFindColumns(false);
    }
}
