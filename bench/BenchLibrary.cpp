#include "bench/BenchLibrary.h"

#include "store/Library.h"
#include "store/LibraryLocation.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

GeneratedLibrary* g_library = nullptr;

namespace {

std::vector<std::string> Keys(QSqlDatabase& db, const QString& sql) {
    std::vector<std::string> keys;
    QSqlQuery query(db);
    query.exec(sql);
    while (query.next()) {
        keys.push_back(query.value(0).toString().toStdString());
    }
    return keys;
}

// How many items category `c` of 100 holds: 10,000, 1,000, then the rest
// of 100,000 spread evenly.
int ItemCount(int c, int& remaining) {
    const int count = c == 0 ? 10000 : c == 1 ? 1000 : remaining / (100 - c);
    remaining -= count;
    return count;
}

void FillFile(QSqlDatabase& db) {
    QSqlQuery category(db);
    category.prepare("INSERT INTO tblCategory (Description, ZOrder) VALUES (?, ?)");
    QSqlQuery item(db);
    item.prepare("INSERT INTO tblPhrase (CategoryID, Data, Mnemonic, ZOrder, "
                 "PunctuationLeading, PunctuationTrailing) "
                 "SELECT CategoryID, ?, ?, ?, 0, 2 FROM tblCategory WHERE rowid = ?");
    int remaining = 100000;
    for (int c = 0; c < 100; ++c) {
        category.addBindValue(QStringLiteral("Category %1").arg(c));
        category.addBindValue(c);
        category.exec();
        const QVariant rowid = category.lastInsertId();
        const int count = ItemCount(c, remaining);
        for (int i = 0; i < count; ++i) {
            item.addBindValue(QStringLiteral("Thank you for your message %1.9|Thanks!3|").arg(i));
            item.addBindValue(QStringLiteral("Mnemonic %1-%2").arg(c).arg(i));
            item.addBindValue(i);
            item.addBindValue(rowid);
            item.exec();
        }
    }
}

// The same rows on a server, a category's items in one statement each.
void FillServer(QSqlDatabase& db) {
    QSqlQuery category(db);
    category.prepare("INSERT INTO \"tblCategory\" (\"Description\", \"ZOrder\") VALUES (?, ?) "
                     "RETURNING \"CategoryID\"");
    QSqlQuery items(db);
    items.prepare("INSERT INTO \"tblPhrase\" (\"CategoryID\", \"Data\", \"Mnemonic\", "
                  "\"ZOrder\", \"PunctuationLeading\", \"PunctuationTrailing\") "
                  "SELECT CAST(? AS citext), 'Thank you for your message ' || i || '.9|Thanks!3|', "
                  "'Mnemonic ' || CAST(? AS integer) || '-' || i, i, 0, 2 "
                  "FROM generate_series(0, CAST(? AS integer) - 1) AS i");
    int remaining = 100000;
    for (int c = 0; c < 100; ++c) {
        category.addBindValue(QStringLiteral("Category %1").arg(c));
        category.addBindValue(c);
        category.exec();
        category.next();
        items.addBindValue(category.value(0).toString());
        items.addBindValue(c);
        items.addBindValue(ItemCount(c, remaining));
        items.exec();
    }
    QSqlQuery(db).exec("ANALYZE");
}

} // namespace

// Bulk rows straight through SQL in one transaction; the benchmarks then
// go through the recordsets as the palette does.
void Generate(GeneratedLibrary& library) {
    CreateLibrary(library.path);
    const CLibraryLocation location = CLibraryLocation::Parse(library.path);
    {
        QSqlDatabase db;
        if (location.IsServer()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "generate");
            db.setHostName(location.Host());
            db.setPort(location.Port());
            db.setUserName(location.UserName());
            db.setDatabaseName(location.DatabaseName());
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "generate");
            db.setDatabaseName(QString::fromStdString(library.path));
        }
        db.open();
        db.transaction();
        if (location.IsServer()) {
            FillServer(db);
        } else {
            FillFile(db);
        }
        db.commit();
        library.bigCategory =
            Keys(db, "SELECT \"CategoryID\" FROM \"tblCategory\" WHERE \"ZOrder\" = 0").front();
        library.orderCategory =
            Keys(db, "SELECT \"CategoryID\" FROM \"tblCategory\" WHERE \"ZOrder\" = 1").front();
        library.orderKeys = Keys(db, QStringLiteral("SELECT \"PhraseID\" FROM \"tblPhrase\" WHERE "
                                                    "\"CategoryID\" = '%1' ORDER BY \"ZOrder\"")
                                         .arg(QString::fromStdString(library.orderCategory)));
        library.sampleKeys =
            Keys(db, "SELECT \"PhraseID\" FROM \"tblPhrase\" ORDER BY random() LIMIT 4096");
        if (!location.IsServer()) {
            QSqlQuery(db).exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("generate");
}
