#pragma once

#include "store/BatchInsert.h"

#include <QSqlQuery>
#include <QVariant>

class CLibraryConnection;

// The one writer of new category and item rows (a new library's seed, an
// import, a copy), in the caller's transaction. Values are bound as given:
// the caller converts text the way its target takes it. Rows keep the
// order they are added in, which breaks ZOrder ties. A Null key gets a
// new one; a Null strCategoryID is filled by the library's trigger.
class CLibraryRowWriter {
public:
    explicit CLibraryRowWriter(CLibraryConnection& connection);

    // Returns the category's key: `key`, or the new one made for a Null.
    QVariant AddCategory(const QVariant& key, const QVariant& description, qlonglong zOrder,
                         const QVariant& textKey);
    void AddItem(const QVariant& categoryKey, const QVariant& data, const QVariant& mnemonic,
                 const QVariant& key, qlonglong zOrder, qlonglong leading, qlonglong trailing);
    // Writes the rows still collected.
    void Finish();

private:
    CLibraryConnection& m_connection;
    CBatchInsert m_categories;
    CBatchInsert m_items;
    // A category without a key is written at once, to learn the key made.
    QSqlQuery m_newCategory;
};
