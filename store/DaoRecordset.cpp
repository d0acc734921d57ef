#include "store/DaoRecordset.h"

#include "store/BoundFields.h"
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/EngineErrors.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "store/NativeRows.h"
#include "store/RecordSource.h"
#include "store/ServerErrors.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace {

QString Quoted(const char* identifier) {
    return QLatin1Char('"') + QLatin1String(identifier) + QLatin1Char('"');
}

[[noreturn]] void Throw(const char* text) {
    throw CDaoException(text);
}

} // namespace

struct CDaoRecordset::State {
    enum class Mode { None, Edit, Add };

    // Declared first so that it goes last: Qt wants every statement gone
    // before its connection is removed.
    std::unique_ptr<CLibraryConnection> connection;
    std::string path; // the library as it was named at the open
    const RecordSource* source = nullptr;
    bool isTable = false;
    std::vector<BoundField> columns;                 // output columns, exchange order
    std::vector<const RecordSource::Column*> schema; // the same, as the source knows them

    // Position. A table recordset stands on a row's key (or at EOF); a
    // dynaset holds its rows, read at open.
    bool atEof = true;
    bool rowDeleted = false;
    QVariant key; // the current row's key, as the database holds it
    std::vector<FieldValues> rows;
    std::size_t rowIndex = 0;
    std::unique_ptr<CNativeCursor> cursor; // a query read row by row instead

    // What the members held when the current row was read, to find what an
    // Edit changed; the members saved by AddNew and their reset values.
    FieldValues loaded;
    Mode mode = Mode::None;
    FieldValues savedByAddNew;
    FieldValues addBase;
    QVariant lastModified;
    bool indexSet = false;

    // Statements of a table recordset, prepared once per open and reset
    // after every use, so no read transaction outlives an operation.
    std::optional<QSqlQuery> first, next, byKey, remove;
    std::map<std::uint32_t, QSqlQuery> updates, inserts;

    void DropStatements() {
        cursor.reset();
        first.reset();
        next.reset();
        byKey.reset();
        remove.reset();
        updates.clear();
        inserts.clear();
    }
};

CDaoRecordset::CDaoRecordset() = default;

CDaoRecordset::~CDaoRecordset() {
    if (m_state) {
        m_state->DropStatements(); // an open transaction rolls back with its connection
        CLibraryConnection::Release(std::move(m_state->connection));
    }
}

std::string CDaoRecordset::GetDefaultDBName() {
    return GetCurrentDatabasePath();
}

bool CDaoRecordset::IsOpen() const {
    return m_state != nullptr;
}

bool CDaoRecordset::IsEOF() const {
    if (!m_state) {
        return true;
    }
    if (m_state->isTable) {
        return m_state->atEof;
    }
    if (m_state->cursor != nullptr) {
        return m_state->cursor->AtEnd();
    }
    return m_state->rowIndex >= m_state->rows.size();
}

void CDaoRecordset::Close() {
    if (m_state) {
        m_state->DropStatements();
        CLibraryConnection::Release(std::move(m_state->connection));
        m_state.reset();
    }
}

CDaoRecordset::State& CDaoRecordset::OpenState() {
    if (!m_state) {
        Throw("The recordset is not open.");
    }
    return *m_state;
}

CDaoRecordset::CDaoRecordset::State& CDaoRecordset::TableState(const char* operation) {
    State& state = OpenState();
    if (!state.isTable) {
        throw CDaoException(std::string(operation) + " is not possible on the query " +
                            state.source->name + ": it is read-only.");
    }
    Follow(state);
    return state;
}

CDaoRecordset::State& CDaoRecordset::WritableTable(const char* operation) {
    State& state = TableState(operation);
    if (state.connection->IsReadOnly()) {
        state.connection->FailReadOnly();
    }
    return state;
}

bool CDaoRecordset::Follow(State& state) {
    if (state.connection != nullptr &&
        (state.connection->InTransaction() || state.connection->IsCurrent())) {
        return false;
    }
    // The file this recordset opened is no longer at its path: let go of it
    // first (nothing may keep it open while the path's new file is opened)
    // and go on with whatever the path names now.
    state.DropStatements();
    state.connection.reset();
    const QString path = QString::fromUtf8(state.path);
    try {
        state.connection = OpenLibrary(state.path);
    } catch (const CDaoException& error) {
        if (!CLibraryLocation::IsServerAddress(state.path) && !QFileInfo::exists(path)) {
            throw CDaoException(
                QStringLiteral("The library \"%1\" is no longer there: it was moved or deleted "
                               "while Blurtle was running.")
                    .arg(path)
                    .toStdString(),
                CDaoException::Reason::LibraryGone);
        }
        throw CDaoException(error.what(), CDaoException::Reason::LibraryGone);
    }
    PrepareTable();
    return true;
}

bool CDaoRecordset::FollowLibrary() {
    State& state = OpenState();
    if (!state.isTable) {
        return false; // a query holds what it read at its open
    }
    CancelPending();
    return Follow(state);
}

bool CDaoRecordset::CanUpdate() const {
    return m_state != nullptr && m_state->isTable && m_state->connection != nullptr &&
           !m_state->connection->IsReadOnly();
}

std::string CDaoRecordset::ReadOnlyMessage() {
    if (m_state != nullptr && m_state->connection != nullptr) {
        return m_state->connection->ReadOnlyMessage();
    }
    return DescribeReadOnly(GetDefaultDBName());
}

bool CDaoRecordset::CanWriteNow() {
    State& state = TableState("CanWriteNow");
    return state.connection->CanWriteNow();
}

void CDaoRecordset::BeginTrans() {
    State& state = WritableTable("BeginTrans");
    CancelPending();
    state.connection->Begin();
}

void CDaoRecordset::CommitTrans() {
    State& state = OpenState();
    if (state.connection == nullptr || !state.connection->InTransaction()) {
        Throw("CommitTrans without BeginTrans.");
    }
    CancelPending();
    state.connection->Commit();
}

void CDaoRecordset::Rollback() {
    State& state = OpenState();
    CancelPending();
    if (state.connection != nullptr) {
        state.connection->Rollback();
    }
}

void CDaoRecordset::Open(int nOpenType, const char* lpszSQL, int) {
    Close();
    const std::string sql = GetDefaultSQL();
    const RecordSource* source = FindRecordSource(sql);
    if (source == nullptr) {
        throw CDaoException("\"" + sql + "\" is not a table or query of a Blurtle library.");
    }
    if (lpszSQL != nullptr && FindRecordSource(lpszSQL) != source) {
        Throw("A recordset opens only its own table or query.");
    }
    const int type = nOpenType == AFX_DAO_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType;
    if (type == dbOpenTable && !source->isTable) {
        throw CDaoException(std::string("The query ") + source->name +
                            " can't be opened as a table.");
    }

    auto state = std::make_unique<State>();
    state->source = source;
    // A dynaset over a table is served as the table: a superset of it.
    state->isTable = source->isTable;
    CDescribeExchange describe;
    DoFieldExchange(&describe);
    std::vector<BoundField> parameters;
    for (const BoundField& field : describe.fields) {
        if (field.isParameter) {
            if (source->FindParameter(field.name) == nullptr) {
                throw CDaoException("\"" + field.name + "\" is not a parameter of " + source->name +
                                    ".");
            }
            parameters.push_back(field);
            continue;
        }
        const RecordSource::Column* column = source->FindColumn(field.name);
        if (column == nullptr) {
            throw CDaoException("\"" + field.name + "\" is not a column of " + source->name + ".");
        }
        state->columns.push_back(field);
        state->schema.push_back(column);
    }
    if (static_cast<int>(state->columns.size()) != m_nFields ||
        static_cast<int>(parameters.size()) != m_nParams) {
        Throw("The recordset binds a different number of fields than it declares.");
    }

    state->path = GetDefaultDBName();
    state->connection = OpenLibrary(state->path);
    m_state = std::move(state);
    try {
        if (m_state->isTable) {
            PrepareTable();
            ReadTableRow(*m_state->first);
        } else {
            ReadView(parameters);
        }
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoRecordset::PrepareTable() {
    // Rows are found, walked and written by their key: the key column
    // comes first in every row read.
    State& state = *m_state;
    const QString key = Quoted(state.source->primaryKey);
    QString list = key;
    for (const RecordSource::Column* column : state.schema) {
        list += QStringLiteral(", ") + Quoted(column->name);
    }
    const QString table = Quoted(state.source->name);
    const QString from = QStringLiteral("SELECT %1 FROM %2 ").arg(list, table);
    CLibraryConnection& db = *state.connection;
    state.first = db.Prepare(from + QStringLiteral("ORDER BY %1 LIMIT 1").arg(key));
    state.next = db.Prepare(from + QStringLiteral("WHERE %1 > ? ORDER BY %1 LIMIT 1").arg(key));
    state.byKey = db.Prepare(from + QStringLiteral("WHERE %1 = ?").arg(key));
    state.remove = db.Prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, key));
}

FieldValues CDaoRecordset::RowValues(const QSqlQuery& query, int firstColumn) const {
    const State& state = *m_state;
    FieldValues values;
    values.reserve(state.columns.size());
    for (std::size_t i = 0; i < state.columns.size(); ++i) {
        values.push_back(FromColumn(query.value(firstColumn + static_cast<int>(i)),
                                    state.columns[i].kind, state.schema[i]->generatedKey));
    }
    return values;
}

bool CDaoRecordset::ReadTableRow(QSqlQuery& query) {
    State& state = *m_state;
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        query.finish();
        state.connection->Fail(error);
    }
    if (!query.next()) {
        const QSqlError error = query.lastError();
        query.finish();
        if (error.isValid()) {
            state.connection->Fail(error);
        }
        return false;
    }
    QVariant key = query.value(0);
    FieldValues values = RowValues(query, 1);
    query.finish();
    state.key = std::move(key);
    state.atEof = false;
    state.rowDeleted = false;
    LoadMembers(values);
    state.loaded = std::move(values);
    return true;
}

void CDaoRecordset::ReadView(const std::vector<BoundField>& parameters) {
    State& state = *m_state;
    QString list;
    for (const RecordSource::Column* column : state.schema) {
        list += (list.isEmpty() ? QString() : QStringLiteral(", ")) + Quoted(column->name);
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(list, Quoted(state.source->name));
    CStoreExchange members;
    DoFieldExchange(&members);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const RecordSource::Parameter* parameter = state.source->FindParameter(parameters[i].name);
        sql += (i == 0 ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
               Quoted(parameter->column) + QStringLiteral(" = ?");
    }
    std::vector<QVariant> values;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        values.push_back(state.connection->BindValue(members.parameters.at(i)));
    }
    // Read straight from SQLite where the connection allows it: row by row
    // into the members, the read ending with the last row.
    if (CNativeCursor::IsAvailable(state.connection->Database())) {
        std::vector<CNativeCursor::Column> columns;
        for (std::size_t i = 0; i < state.columns.size(); ++i) {
            columns.push_back({state.columns[i].kind, state.schema[i]->generatedKey});
        }
        state.cursor = std::make_unique<CNativeCursor>();
        QSqlError error;
        if (!state.cursor->Start(state.connection->Database(), sql, values, std::move(columns),
                                 error)) {
            state.connection->Fail(error);
        }
        LoadCursorRow();
        return;
    }
    // Otherwise the whole result is read now and the statement finished, so
    // the query holds no read transaction while the caller walks it. The
    // server sends it whole too, rather than as one message per row.
    QSqlQuery query = state.connection->Prepare(sql);
    query.setForwardOnly(false);
    for (std::size_t i = 0; i < values.size(); ++i) {
        query.bindValue(static_cast<int>(i), values[i]);
    }
    if (!query.exec()) {
        state.connection->Fail(query.lastError());
    }
    while (query.next()) {
        state.rows.push_back(RowValues(query, 0));
    }
    if (query.lastError().isValid()) {
        state.connection->Fail(query.lastError());
    }
    query.finish();
    state.rowIndex = 0;
    if (!state.rows.empty()) {
        TakeViewRow(state.rows.front());
    }
}

void CDaoRecordset::LoadCursorRow() {
    m_state->cursor->Load([this](CFieldExchange* exchange) { DoFieldExchange(exchange); });
}

void CDaoRecordset::TakeViewRow(FieldValues& values) {
    // A query's rows are read once, front to back, and never written: each
    // row's values move into the members.
    CTakeExchange take(values);
    DoFieldExchange(&take);
    values.clear();
}

void CDaoRecordset::LoadMembers(const FieldValues& values) {
    CLoadExchange load(values);
    DoFieldExchange(&load);
}

FieldValues CDaoRecordset::MemberValues() {
    CStoreExchange store;
    DoFieldExchange(&store);
    return std::move(store.columns);
}

void CDaoRecordset::CancelPending() {
    State& state = *m_state;
    if (state.mode == State::Mode::Add) {
        LoadMembers(state.savedByAddNew);
    }
    state.mode = State::Mode::None;
}

void CDaoRecordset::MoveNext() {
    State& state = OpenState();
    if (IsEOF()) {
        Throw("No current record.");
    }
    CancelPending();
    if (!state.isTable) {
        if (state.cursor != nullptr) {
            QSqlError error;
            if (!state.cursor->Next(error)) {
                state.connection->Fail(error);
            }
            LoadCursorRow();
        } else if (++state.rowIndex < state.rows.size()) {
            TakeViewRow(state.rows[state.rowIndex]);
        }
        return;
    }
    Follow(state);
    state.next->bindValue(0, state.key);
    if (!ReadTableRow(*state.next)) {
        state.atEof = true;
    }
}

void CDaoRecordset::SetCurrentIndex(const char* lpszIndex) {
    State& state = TableState("SetCurrentIndex");
    if (lpszIndex == nullptr || std::string(lpszIndex) != "PrimaryKey") {
        throw CDaoException(std::string("\"") + (lpszIndex ? lpszIndex : "") +
                            "\" is not an index of " + state.source->name + ".");
    }
    state.indexSet = true;
}

bool CDaoRecordset::Seek(const char* lpszComparison, const QVariant& key) {
    State& state = TableState("Seek");
    if (lpszComparison == nullptr || std::string(lpszComparison) != "=") {
        Throw("Seek supports only the comparison \"=\".");
    }
    CancelPending();
    if (!key.isValid() || key.isNull()) {
        return false;
    }
    FieldValue keyText;
    if (key.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = key.toByteArray();
        keyText.text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    } else {
        keyText.text = key.toString().toStdString();
    }
    const QVariant bound = state.connection->BindValue(keyText);
    if (bound.typeId() != QMetaType::QString) {
        return false; // keys are text; these bytes can equal none of them
    }
    state.byKey->bindValue(0, bound);
    return ReadTableRow(*state.byKey);
}

void CDaoRecordset::AddNew() {
    State& state = WritableTable("AddNew");
    CancelPending();
    state.savedByAddNew = MemberValues();
    CResetExchange reset;
    DoFieldExchange(&reset);
    state.addBase = MemberValues();
    state.mode = State::Mode::Add;
}

void CDaoRecordset::Edit() {
    State& state = WritableTable("Edit");
    CancelPending();
    if (state.atEof || state.rowDeleted) {
        Throw("No current record.");
    }
    state.mode = State::Mode::Edit;
}

QSqlQuery& CDaoRecordset::WriteStatement(bool insert, std::uint32_t mask) {
    State& state = *m_state;
    auto& cache = insert ? state.inserts : state.updates;
    auto found = cache.find(mask);
    if (found != cache.end()) {
        return found->second;
    }
    const QString table = Quoted(state.source->name);
    QStringList names;
    for (std::size_t i = 0; i < state.schema.size(); ++i) {
        if ((mask & (1u << i)) != 0) {
            names << Quoted(state.schema[i]->name);
        }
    }
    const QString key = Quoted(state.source->primaryKey);
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
    return cache.emplace(mask, state.connection->Prepare(sql)).first->second;
}

void CDaoRecordset::Update() {
    State& state = WritableTable("Update");
    if (state.mode == State::Mode::None) {
        Throw("Update without AddNew or Edit.");
    }
    const bool insert = state.mode == State::Mode::Add;
    const FieldValues current = MemberValues();
    const FieldValues& base = insert ? state.addBase : state.loaded;
    // Only the columns the caller changed are written (never a generated
    // key), so a write leaves another program's change to another column
    // alone, and columns left untouched after AddNew take their defaults.
    std::uint32_t mask = 0;
    std::vector<QVariant> values;
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (!state.schema[i]->generatedKey && !(current[i] == base[i])) {
            mask |= 1u << i;
            values.push_back(state.connection->BindValue(current[i]));
            if (!values.back().isValid()) {
                throw CDaoException(DescribeUnstorableText(state.connection->DisplayName()));
            }
        }
    }
    if (!insert && mask == 0) {
        state.mode = State::Mode::None;
        state.lastModified = state.key;
        return;
    }
    QSqlQuery& query = WriteStatement(insert, mask);
    for (std::size_t i = 0; i < values.size(); ++i) {
        query.bindValue(static_cast<int>(i), values[i]);
    }
    if (!insert) {
        query.bindValue(static_cast<int>(values.size()), state.key);
    }
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        query.finish();
        state.connection->Fail(error);
    }
    QVariant inserted;
    if (insert && query.next()) {
        inserted = query.value(0);
    }
    const QSqlError stepError = query.lastError();
    const int affected = query.numRowsAffected();
    query.finish();
    if (stepError.isValid()) {
        state.connection->Fail(stepError);
    }
    state.mode = State::Mode::None;
    if (insert) {
        state.connection->AfterCommit();
        state.lastModified = inserted;
        // The current row stays the one before AddNew, members included.
        LoadMembers(state.savedByAddNew);
        return;
    }
    if (affected == 0) {
        state.rowDeleted = true;
        Throw("The record was deleted by another program; the change was not saved.");
    }
    state.connection->AfterCommit();
    state.lastModified = state.key;
    state.loaded = current;
}

void CDaoRecordset::Delete() {
    State& state = WritableTable("Delete");
    CancelPending();
    if (state.atEof || state.rowDeleted) {
        Throw("No current record.");
    }
    state.remove->bindValue(0, state.key);
    if (!state.remove->exec()) {
        const QSqlError error = state.remove->lastError();
        state.remove->finish();
        state.connection->Fail(error);
    }
    const int affected = state.remove->numRowsAffected();
    state.remove->finish();
    state.rowDeleted = true;
    if (affected == 0) {
        Throw("The record was deleted by another program.");
    }
    state.connection->AfterCommit();
}

QVariant CDaoRecordset::GetLastModifiedBookmark() const {
    if (!m_state) {
        Throw("The recordset is not open.");
    }
    return m_state->lastModified;
}

void CDaoRecordset::SetBookmark(const QVariant& bookmark) {
    State& state = TableState("SetBookmark");
    if (!bookmark.isValid() || bookmark.isNull()) {
        Throw("Not a valid bookmark.");
    }
    CancelPending();
    state.byKey->bindValue(0, bookmark);
    if (!ReadTableRow(*state.byKey)) {
        Throw("The bookmarked record no longer exists.");
    }
}
