#include "store/ServerSchema.h"

#include "store/FindColumns.h"
#include "store/LibrarySchema.h"

namespace {

// A version-4 GUID as braced upper-case text, made by the server so that
// rows inserted by any client get keys.
const char* const kNewKey = "('{' || upper(gen_random_uuid()::text) || '}')";

} // namespace

QString ServerNewKeyExpression() {
    return QString::fromLatin1(kNewKey);
}

QString ServerLibraryNamesTakenQuery() {
    return QStringLiteral("SELECT to_regclass('blurtle_library') IS NOT NULL\n"
                          "  OR to_regclass('\"tblCategory\"') IS NOT NULL\n"
                          "  OR to_regclass('\"tblPhrase\"') IS NOT NULL\n"
                          "  OR to_regclass('\"qryCategory\"') IS NOT NULL\n"
                          "  OR to_regclass('\"qryPhrasesInCategory\"') IS NOT NULL");
}

QStringList ServerSchemaStatements() {
    const QString key = QString::fromLatin1(kNewKey);
    QStringList statements{
        // Keys compare without regard to case, as GUIDs do: citext (from
        // the server's contrib modules) makes equality, uniqueness, the
        // reference and the order of keys all ignore case, as SQLite's
        // COLLATE NOCASE does, without a different statement per engine.
        QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext"),
        // The format mark: one row, the format this library is in.
        QStringLiteral("CREATE TABLE blurtle_library (format integer NOT NULL)"),
        QStringLiteral("INSERT INTO blurtle_library (format) VALUES (%1)")
            .arg(kLibraryFormatVersion),
        // "AddOrder" numbers the rows in the order they were added: the
        // views' tie-break between equal ZOrder values (SQLite's rowid).
        QStringLiteral("CREATE TABLE \"tblCategory\" (\n"
                       "  \"CategoryID\" citext NOT NULL DEFAULT %1\n"
                       "    CONSTRAINT \"tblCategory_PrimaryKey\" PRIMARY KEY,\n"
                       "  \"Description\" text NOT NULL DEFAULT '',\n"
                       "  \"ZOrder\" integer NOT NULL DEFAULT 0,\n"
                       "  \"strCategoryID\" text,\n"
                       "  \"AddOrder\" bigint GENERATED ALWAYS AS IDENTITY\n"
                       ")")
            .arg(key),
        QStringLiteral("CREATE TABLE \"tblPhrase\" (\n"
                       "  \"CategoryID\" citext\n"
                       "    REFERENCES \"tblCategory\" (\"CategoryID\") ON DELETE CASCADE,\n"
                       "  \"Data\" text NOT NULL DEFAULT '',\n"
                       "  \"Mnemonic\" text NOT NULL DEFAULT '',\n"
                       "  \"PhraseID\" citext NOT NULL DEFAULT %1\n"
                       "    CONSTRAINT \"tblPhrase_PrimaryKey\" PRIMARY KEY,\n"
                       "  \"ZOrder\" integer NOT NULL DEFAULT 0,\n"
                       "  \"PunctuationLeading\" integer NOT NULL DEFAULT 0,\n"
                       "  \"PunctuationTrailing\" integer NOT NULL DEFAULT 0,\n"
                       "  \"AddOrder\" bigint GENERATED ALWAYS AS IDENTITY\n"
                       ")")
            .arg(key),
        QStringLiteral("CREATE INDEX \"idxPhraseCategory\" ON \"tblPhrase\" (\"CategoryID\")"),
        // A category added by another client gets its text copy of the key.
        QStringLiteral("CREATE FUNCTION blurtle_category_key_copy() RETURNS trigger\n"
                       "LANGUAGE plpgsql AS $$\n"
                       "BEGIN\n"
                       "  IF NEW.\"strCategoryID\" IS NULL THEN\n"
                       "    NEW.\"strCategoryID\" := NEW.\"CategoryID\";\n"
                       "  END IF;\n"
                       "  RETURN NEW;\n"
                       "END\n"
                       "$$"),
        QStringLiteral("CREATE TRIGGER \"trgCategoryKeyCopy\" BEFORE INSERT ON \"tblCategory\"\n"
                       "FOR EACH ROW EXECUTE FUNCTION blurtle_category_key_copy()"),
        // Every palette on the library listens on this channel: a
        // statement that changes either table tells them all when its
        // transaction commits (the server folds the notices of one
        // transaction into one).
        QStringLiteral("CREATE FUNCTION blurtle_library_changed() RETURNS trigger\n"
                       "LANGUAGE plpgsql AS $$\n"
                       "BEGIN\n"
                       "  PERFORM pg_notify('%1', '');\n"
                       "  RETURN NULL;\n"
                       "END\n"
                       "$$")
            .arg(QLatin1String(kLibraryChangedChannel)),
        QStringLiteral("CREATE TRIGGER \"trgCategoryChanged\"\n"
                       "AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON \"tblCategory\"\n"
                       "FOR EACH STATEMENT EXECUTE FUNCTION blurtle_library_changed()"),
        QStringLiteral("CREATE TRIGGER \"trgPhraseChanged\"\n"
                       "AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON \"tblPhrase\"\n"
                       "FOR EACH STATEMENT EXECUTE FUNCTION blurtle_library_changed()"),
        QStringLiteral("CREATE VIEW \"qryCategory\" AS\n"
                       "SELECT \"CategoryID\", \"Description\", \"ZOrder\" FROM \"tblCategory\"\n"
                       "ORDER BY \"ZOrder\", \"AddOrder\""),
        QStringLiteral("CREATE VIEW \"qryPhrasesInCategory\" AS\n"
                       "SELECT \"Mnemonic\", \"Data\", \"PhraseID\", \"CategoryID\", \"ZOrder\"\n"
                       "FROM \"tblPhrase\"\n"
                       "ORDER BY \"ZOrder\", \"AddOrder\""),
    };
    // The folded columns a find searches.
    return statements + FindColumnStatements(true);
}
