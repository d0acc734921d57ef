#include "bench/BenchLibrary.h"

#include "store/LibraryFile.h"

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

} // namespace

// Bulk rows straight through SQL in one transaction; the benchmarks then
// go through the recordsets as the palette does.
void Generate(GeneratedLibrary& library) {
    CreateLibraryFile(library.path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "generate");
        db.setDatabaseName(QString::fromStdString(library.path));
        db.open();
        db.transaction();
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
            const int count = c == 0 ? 10000 : c == 1 ? 1000 : remaining / (100 - c);
            remaining -= count;
            for (int i = 0; i < count; ++i) {
                item.addBindValue(
                    QStringLiteral("Thank you for your message %1.9|Thanks!3|").arg(i));
                item.addBindValue(QStringLiteral("Mnemonic %1-%2").arg(c).arg(i));
                item.addBindValue(i);
                item.addBindValue(rowid);
                item.exec();
            }
        }
        db.commit();
        library.bigCategory =
            Keys(db, "SELECT CategoryID FROM tblCategory WHERE ZOrder = 0").front();
        library.orderCategory =
            Keys(db, "SELECT CategoryID FROM tblCategory WHERE ZOrder = 1").front();
        library.orderKeys = Keys(db, QStringLiteral("SELECT PhraseID FROM tblPhrase WHERE "
                                                    "CategoryID = '%1' ORDER BY ZOrder")
                                         .arg(QString::fromStdString(library.orderCategory)));
        library.sampleKeys =
            Keys(db, "SELECT PhraseID FROM tblPhrase ORDER BY random() LIMIT 4096");
        QSqlQuery(db).exec("PRAGMA wal_checkpoint(TRUNCATE)");
        db.close();
    }
    QSqlDatabase::removeDatabase("generate");
}
