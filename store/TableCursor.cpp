#include "store/TableCursor.h"

#include "store/DaoException.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "store/ServerErrors.h"

#include <QFileInfo>

#include <utility>
#include <vector>

CTableCursor::CTableCursor(CLibraryLocation location,
                           std::unique_ptr<CLibraryConnection> connection, RecordShape shape)
    : m_shape(std::move(shape)), m_location(std::move(location)),
      m_connection(std::move(connection)) {}

CTableCursor::~CTableCursor() {
    DropStatements();
    CLibraryConnection::Release(std::move(m_connection));
}

void CTableCursor::DropStatements() {
    m_first.reset();
    m_next.reset();
    m_byKey.reset();
    m_remove.reset();
    m_updates.clear();
    m_inserts.clear();
}

void CTableCursor::First() {
    Prepare();
    ReadRow(*m_first);
}

bool CTableCursor::Follow() {
    if (m_connection != nullptr && (m_connection->InTransaction() || m_connection->IsCurrent())) {
        return false;
    }
    // The file this recordset opened is no longer at its path: let go of it
    // first (nothing may keep it open while the path's new file is opened)
    // and go on with whatever the path names now.
    DropStatements();
    m_connection.reset();
    const QString path = QString::fromStdString(m_location.Text());
    try {
        m_connection = OpenLibrary(m_location);
    } catch (const CDaoException& error) {
        if (!m_location.IsServer() && !QFileInfo::exists(path)) {
            throw CDaoException(
                QStringLiteral("The library \"%1\" is no longer there: it was moved or deleted "
                               "while Blurtle was running.")
                    .arg(path)
                    .toStdString(),
                CDaoException::Reason::LibraryGone);
        }
        throw CDaoException(error.what(), CDaoException::Reason::LibraryGone);
    }
    Prepare();
    return true;
}

void CTableCursor::Prepare() {
    // Rows are found, walked and written by their key: the key column
    // comes first in every row read.
    const QString key = RecordShape::Quoted(m_shape.source->primaryKey);
    const QString columns = m_shape.ColumnList();
    const QString list = columns.isEmpty() ? key : key + QStringLiteral(", ") + columns;
    const QString table = RecordShape::Quoted(m_shape.source->name);
    const QString from = QStringLiteral("SELECT %1 FROM %2 ").arg(list, table);
    CLibraryConnection& db = *m_connection;
    m_first = db.Prepare(from + QStringLiteral("ORDER BY %1 LIMIT 1").arg(key));
    m_next = db.Prepare(from + QStringLiteral("WHERE %1 > ? ORDER BY %1 LIMIT 1").arg(key));
    m_byKey = db.Prepare(from + QStringLiteral("WHERE %1 = ?").arg(key));
    m_remove = db.Prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, key));
}

bool CTableCursor::ReadRow(QSqlQuery& query) {
    m_connection->Run(query);
    if (!m_connection->Next(query)) {
        return false;
    }
    QVariant key = query.value(0);
    FieldValues values = m_shape.RowValues(query, 1);
    query.finish();
    m_key = std::move(key);
    m_atEof = false;
    m_rowDeleted = false;
    m_shape.LoadMembers(values);
    m_loaded = std::move(values);
    return true;
}

void CTableCursor::CancelPending() {
    if (m_mode == Mode::Add) {
        m_shape.LoadMembers(m_savedByAddNew);
    }
    m_mode = Mode::None;
}

void CTableCursor::MoveNext() {
    Follow();
    m_next->bindValue(0, m_key);
    if (!ReadRow(*m_next)) {
        m_atEof = true;
    }
}

bool CTableCursor::Seek(const QVariant& key) {
    CancelPending();
    if (!key.isValid() || key.isNull()) {
        return false;
    }
    const QVariant bound = m_connection->BindValue(FromColumn(key, FieldKind::Text, false));
    if (bound.typeId() != QMetaType::QString) {
        return false; // keys are text; these bytes can equal none of them
    }
    m_byKey->bindValue(0, bound);
    return ReadRow(*m_byKey);
}

void CTableCursor::SetBookmark(const QVariant& bookmark) {
    if (!bookmark.isValid() || bookmark.isNull()) {
        throw CDaoException("Not a valid bookmark.");
    }
    CancelPending();
    m_byKey->bindValue(0, bookmark);
    if (!ReadRow(*m_byKey)) {
        throw CDaoException("The bookmarked record no longer exists.");
    }
}

void CTableCursor::AddNew() {
    CancelPending();
    m_savedByAddNew = m_shape.MemberValues();
    m_shape.LoadMembers(FieldValues(m_shape.columns.size())); // strings "", numbers 0
    m_addBase = m_shape.MemberValues();
    m_mode = Mode::Add;
}

void CTableCursor::Edit() {
    CancelPending();
    if (m_atEof || m_rowDeleted) {
        throw CDaoException("No current record.");
    }
    m_mode = Mode::Edit;
}

QSqlQuery& CTableCursor::WriteStatement(bool insert, std::uint32_t mask) {
    auto& cache = insert ? m_inserts : m_updates;
    auto found = cache.find(mask);
    if (found != cache.end()) {
        return found->second;
    }
    const QString table = RecordShape::Quoted(m_shape.source->name);
    QStringList names;
    for (std::size_t i = 0; i < m_shape.schema.size(); ++i) {
        if ((mask & (1u << i)) != 0) {
            names << RecordShape::Quoted(m_shape.schema[i]->name);
        }
    }
    const QString key = RecordShape::Quoted(m_shape.source->primaryKey);
    QString sql;
    if (insert) {
        // The new row's key comes back with the insert: it is the bookmark.
        sql = names.isEmpty()
                  ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2").arg(table, key)
                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                        .arg(table, names.join(QStringLiteral(", ")),
                             QStringList(names.size(), QStringLiteral("?")).join(", "), key);
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                  .arg(table, names.join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ?"), key);
    }
    return cache.emplace(mask, m_connection->Prepare(sql)).first->second;
}

void CTableCursor::Update() {
    if (m_mode == Mode::None) {
        throw CDaoException("Update without AddNew or Edit.");
    }
    const bool insert = m_mode == Mode::Add;
    const FieldValues current = m_shape.MemberValues();
    const FieldValues& base = insert ? m_addBase : m_loaded;
    // Only the columns the caller changed are written (never a generated
    // key), so a write leaves another program's change to another column
    // alone, and columns left untouched after AddNew take their defaults.
    std::uint32_t mask = 0;
    std::vector<QVariant> values;
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (!m_shape.schema[i]->generatedKey && !(current[i] == base[i])) {
            mask |= 1u << i;
            values.push_back(m_connection->BindValue(current[i]));
            if (!values.back().isValid()) {
                throw CDaoException(DescribeUnstorableText(m_connection->DisplayName()));
            }
        }
    }
    if (!insert && mask == 0) {
        m_mode = Mode::None;
        m_lastModified = m_key;
        return;
    }
    QSqlQuery& query = WriteStatement(insert, mask);
    for (std::size_t i = 0; i < values.size(); ++i) {
        query.bindValue(static_cast<int>(i), values[i]);
    }
    if (!insert) {
        query.bindValue(static_cast<int>(values.size()), m_key);
    }
    m_connection->Run(query);
    const int affected = query.numRowsAffected();
    const QVariant inserted = insert && m_connection->Next(query) ? query.value(0) : QVariant();
    query.finish();
    m_mode = Mode::None;
    if (insert) {
        m_connection->AfterCommit();
        m_lastModified = inserted;
        // The current row stays the one before AddNew, members included.
        m_shape.LoadMembers(m_savedByAddNew);
        return;
    }
    if (affected == 0) {
        m_rowDeleted = true;
        throw CDaoException("The record was deleted by another program; the change was not saved.");
    }
    m_connection->AfterCommit();
    m_lastModified = m_key;
    m_loaded = current;
}

void CTableCursor::Delete() {
    CancelPending();
    if (m_atEof || m_rowDeleted) {
        throw CDaoException("No current record.");
    }
    m_remove->bindValue(0, m_key);
    m_connection->Run(*m_remove);
    const int affected = m_remove->numRowsAffected();
    m_remove->finish();
    m_rowDeleted = true;
    if (affected == 0) {
        throw CDaoException("The record was deleted by another program.");
    }
    m_connection->AfterCommit();
}
