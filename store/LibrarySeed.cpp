#include "store/LibrarySeed.h"

#include "store/LibraryConnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text);
}

} // namespace

void InsertSeed(CLibraryConnection& connection, const std::vector<LibrarySeedCategory>& seed) {
    QSqlQuery category =
        connection.Prepare(QStringLiteral("INSERT INTO \"tblCategory\" (\"Description\", "
                                          "\"ZOrder\") VALUES (?, ?) RETURNING \"CategoryID\""));
    QSqlQuery item = connection.Prepare(QStringLiteral(
        "INSERT INTO \"tblPhrase\" (\"CategoryID\", \"Data\", \"Mnemonic\", \"ZOrder\", "
        "\"PunctuationLeading\", \"PunctuationTrailing\") VALUES (?, ?, ?, ?, ?, ?)"));
    int categoryOrder = 0;
    for (const LibrarySeedCategory& entry : seed) {
        category.bindValue(0, Q(entry.description));
        category.bindValue(1, categoryOrder++);
        if (!category.exec() || !category.next()) {
            connection.Fail(category.lastError());
        }
        const QString categoryId = category.value(0).toString();
        category.finish();
        int itemOrder = 0;
        for (const LibrarySeedItem& seedItem : entry.items) {
            item.bindValue(0, categoryId);
            item.bindValue(1, Q(seedItem.data));
            item.bindValue(2, Q(seedItem.mnemonic));
            item.bindValue(3, itemOrder++);
            item.bindValue(4, seedItem.punctuationLeading);
            item.bindValue(5, seedItem.punctuationTrailing);
            if (!item.exec()) {
                connection.Fail(item.lastError());
            }
        }
    }
}
