#include "store/LibrarySchema.h"

#include "store/FindColumns.h"

#include <QString>

namespace {

// A version-4 GUID as braced upper-case text, made by the database itself
// so that rows inserted by any SQLite client get keys: 8-4-4-4-12 hex
// digits, "4" as the version digit, 8/9/A/B as the variant digit.
// (random() & 3 rather than abs(random()) % 4: abs overflows on the
// smallest 64-bit integer.)
const char* const kNewKey = "('{' || hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || "
                            "substr(hex(randomblob(2)), 2) || '-' || "
                            "substr('89AB', 1 + (random() & 3), 1) || "
                            "substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)) || '}')";

} // namespace

QString LibraryNewKeyExpression() {
    return QString::fromLatin1(kNewKey);
}

QStringList LibrarySchemaStatements() {
    const QString key = QString::fromLatin1(kNewKey);
    QStringList statements{
        // Keys compare without regard to case, as GUIDs do.
        QStringLiteral("CREATE TABLE tblCategory (\n"
                       "  CategoryID TEXT NOT NULL COLLATE NOCASE DEFAULT %1\n"
                       "    CONSTRAINT PrimaryKey PRIMARY KEY,\n"
                       "  Description TEXT NOT NULL DEFAULT '',\n"
                       "  ZOrder INTEGER NOT NULL DEFAULT 0,\n"
                       "  strCategoryID TEXT\n"
                       ")")
            .arg(key),
        QStringLiteral("CREATE TABLE tblPhrase (\n"
                       "  CategoryID TEXT COLLATE NOCASE\n"
                       "    REFERENCES tblCategory (CategoryID) ON DELETE CASCADE,\n"
                       "  Data TEXT NOT NULL DEFAULT '',\n"
                       "  Mnemonic TEXT NOT NULL DEFAULT '',\n"
                       "  PhraseID TEXT NOT NULL COLLATE NOCASE DEFAULT %1\n"
                       "    CONSTRAINT PrimaryKey PRIMARY KEY,\n"
                       "  ZOrder INTEGER NOT NULL DEFAULT 0,\n"
                       "  PunctuationLeading INTEGER NOT NULL DEFAULT 0,\n"
                       "  PunctuationTrailing INTEGER NOT NULL DEFAULT 0\n"
                       ")")
            .arg(key),
        // Finds a category's items (the list and the cascade). Sorting one
        // category's rows by ZOrder costs little, and an order save then
        // rewrites only the rows themselves.
        QStringLiteral("CREATE INDEX idxPhraseCategory ON tblPhrase (CategoryID)"),
        // A category added by another tool gets its text copy of the key too.
        QStringLiteral("CREATE TRIGGER trgCategoryKeyCopy AFTER INSERT ON tblCategory\n"
                       "WHEN NEW.strCategoryID IS NULL\n"
                       "BEGIN\n"
                       "  UPDATE tblCategory SET strCategoryID = NEW.CategoryID\n"
                       "  WHERE rowid = NEW.rowid;\n"
                       "END"),
        // Equal ZOrder values keep the order in which the rows were added.
        QStringLiteral("CREATE VIEW qryCategory AS\n"
                       "SELECT CategoryID, Description, ZOrder FROM tblCategory\n"
                       "ORDER BY ZOrder, rowid"),
        // ZOrder is listed too, so the list knows which positions an order
        // save must write.
        QStringLiteral("CREATE VIEW qryPhrasesInCategory AS\n"
                       "SELECT Mnemonic, Data, PhraseID, CategoryID, ZOrder FROM tblPhrase\n"
                       "ORDER BY ZOrder, rowid"),
    };
    // The folded columns a find searches, and the triggers that keep them.
    return statements + FindColumnStatements(false);
}

std::string DescribeNewerLibrary(const std::string& path, int version) {
    return QStringLiteral("The library \"%1\" was made by a newer version of Blurtle (format %2); "
                          "this version opens format %3 and older.")
        .arg(QString::fromStdString(path))
        .arg(version)
        .arg(kLibraryFormatVersion)
        .toStdString();
}
