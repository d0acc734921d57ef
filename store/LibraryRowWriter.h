#pragma once

#include "store/BatchInsert.h"

class CLibraryConnection;

// The one writer of new category and item rows (a new library's seed, an
// import, a copy), in batches, in the caller's transaction. Values are
// bound as given (the caller converts text the way its target takes it);
// rows keep the order they are added in, which breaks ZOrder ties. A Null
// item key gets a new key; a Null strCategoryID the library's trigger
// fills.
class CLibraryRowWriter {
public:
    explicit CLibraryRowWriter(CLibraryConnection& connection);

    // Returns the category's key: `key`, or a new one for a Null.
    QVariant AddCategory(QVariant key, const QVariant& description, qlonglong zOrder,
                         const QVariant& textKey);
    void AddItem(const QVariant& categoryKey, const QVariant& data, const QVariant& mnemonic,
                 const QVariant& key, qlonglong zOrder, qlonglong leading, qlonglong trailing);
    // Writes the rows still collected.
    void Finish();

private:
    CLibraryConnection& m_connection;
    CBatchInsert m_categories;
    CBatchInsert m_items;
};
