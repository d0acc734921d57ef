#include "store/LibraryRowWriter.h"

#include "store/LibraryConnection.h"

#include <QSqlError>

namespace {

const QString kCategoryHead =
    QStringLiteral("INSERT INTO \"tblCategory\" (\"CategoryID\", \"Description\", \"ZOrder\", "
                   "\"strCategoryID\") VALUES");

} // namespace

CLibraryRowWriter::CLibraryRowWriter(CLibraryConnection& connection)
    : m_connection(connection),
      m_categories(connection, kCategoryHead, QStringLiteral("(?, ?, ?, ?)"), 4),
      m_items(
          connection,
          QStringLiteral("INSERT INTO \"tblPhrase\" (\"CategoryID\", \"Data\", \"Mnemonic\", "
                         "\"PhraseID\", \"ZOrder\", \"PunctuationLeading\", "
                         "\"PunctuationTrailing\") VALUES"),
          QStringLiteral("(?, ?, ?, coalesce(?, %1), ?, ?, ?)").arg(connection.NewKeyExpression()),
          7),
      m_newCategory(connection.Prepare(kCategoryHead +
                                       QStringLiteral(" (%1, ?, ?, ?) RETURNING \"CategoryID\"")
                                           .arg(connection.NewKeyExpression()))) {}

QVariant CLibraryRowWriter::AddCategory(const QVariant& key, const QVariant& description,
                                        qlonglong zOrder, const QVariant& textKey) {
    if (!key.isNull()) {
        m_categories.Add({key, description, zOrder, textKey});
        return key;
    }
    m_categories.Flush();
    m_newCategory.bindValue(0, description);
    m_newCategory.bindValue(1, zOrder);
    m_newCategory.bindValue(2, textKey);
    if (!m_newCategory.exec() || !m_newCategory.next()) {
        m_connection.Fail(m_newCategory.lastError());
    }
    QVariant made = m_newCategory.value(0);
    m_newCategory.finish();
    return made;
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
