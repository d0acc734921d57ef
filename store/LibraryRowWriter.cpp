#include "store/LibraryRowWriter.h"

#include "store/LibraryConnection.h"

CLibraryRowWriter::CLibraryRowWriter(CLibraryConnection& connection)
    : m_connection(connection),
      m_categories(connection,
                   QStringLiteral("INSERT INTO \"tblCategory\" (\"CategoryID\", \"Description\", "
                                  "\"ZOrder\", \"strCategoryID\") VALUES"),
                   QStringLiteral("(?, ?, ?, ?)")),
      m_items(connection,
              QStringLiteral("INSERT INTO \"tblPhrase\" (\"CategoryID\", \"Data\", \"Mnemonic\", "
                             "\"PhraseID\", \"ZOrder\", \"PunctuationLeading\", "
                             "\"PunctuationTrailing\") VALUES"),
              QStringLiteral("(?, ?, ?, coalesce(?, %1), ?, ?, ?)")
                  .arg(connection.NewKeyExpression())) {}

QVariant CLibraryRowWriter::AddCategory(QVariant key, const QVariant& description, qlonglong zOrder,
                                        const QVariant& textKey) {
    if (key.isNull()) {
        // Made as the column's default makes it, but known before the row
        // is written, for the items that follow.
        key = m_connection.Value(QStringLiteral("SELECT ") + m_connection.NewKeyExpression());
    }
    m_categories.Add({key, description, zOrder, textKey});
    return key;
}

void CLibraryRowWriter::AddItem(const QVariant& categoryKey, const QVariant& data,
                                const QVariant& mnemonic, const QVariant& key, qlonglong zOrder,
                                qlonglong leading, qlonglong trailing) {
    // An item's category is in the table before the item.
    m_categories.Flush();
    m_items.Add({categoryKey, data, mnemonic, key, zOrder, leading, trailing});
}

void CLibraryRowWriter::Finish() {
    m_categories.Flush();
    m_items.Flush();
}
