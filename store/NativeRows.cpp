#include "store/NativeRows.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

#include <cstring>

namespace {

sqlite3* HandleOf(const QSqlDatabase& db) {
    if (!db.isOpen() || db.driver() == nullptr) {
        return nullptr;
    }
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || std::strcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

QSqlError ErrorOf(sqlite3* handle, int code) {
    return QSqlError(QStringLiteral("Unable to fetch row"),
                     QString::fromUtf8(sqlite3_errmsg(handle)), QSqlError::StatementError,
                     QString::number(code));
}

bool Bind(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(),
                                   static_cast<sqlite3_uint64>(bytes.size()),
                                   SQLITE_TRANSIENT) == SQLITE_OK;
    }
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
        return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text64(statement, index, text.constData(),
                               static_cast<sqlite3_uint64>(text.size()), SQLITE_TRANSIENT,
                               SQLITE_UTF8) == SQLITE_OK;
}

// Puts the current row's columns into the members, in exchange order; a
// member's string keeps its storage from row to row.
class CRowExchange : public CFieldExchange {
public:
    CRowExchange(sqlite3_stmt* statement, const RecordShape& shape)
        : m_statement(statement), m_shape(shape) {}

    void Exchange(const char*, FieldMember member) override {
        if (GetFieldType() != outputColumn) {
            return;
        }
        const int index = m_next++;
        const int type = sqlite3_column_type(m_statement, index);
        auto* const* text = std::get_if<std::string*>(&member);
        if (text == nullptr) {
            SetNumber(member, type == SQLITE_NULL
                                  ? 0
                                  : ClampedNumber(sqlite3_column_int64(m_statement, index),
                                                  static_cast<FieldKind>(member.index())));
            return;
        }
        std::string& value = **text;
        // A blob's bytes are taken as they are, like text.
        const void* bytes = type == SQLITE_BLOB   ? sqlite3_column_blob(m_statement, index)
                            : type == SQLITE_NULL ? nullptr
                                                  : sqlite3_column_text(m_statement, index);
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(m_statement, index));
        const char* begin = bytes != nullptr ? static_cast<const char*>(bytes) : "";
        if (m_shape.schema.at(static_cast<std::size_t>(index))->generatedKey &&
            type != SQLITE_NULL) {
            value.assign("{guid ");
            value.append(begin, size);
            value.push_back('}');
        } else {
            value.assign(begin, bytes != nullptr ? size : 0);
        }
    }

private:
    sqlite3_stmt* m_statement;
    const RecordShape& m_shape;
    int m_next = 0;
};

} // namespace

bool CNativeCursor::IsAvailable(const QSqlDatabase& db) {
    return HandleOf(db) != nullptr;
}

CNativeCursor::~CNativeCursor() {
    Finish();
}

void CNativeCursor::Finish() {
    if (m_statement != nullptr) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

bool CNativeCursor::Start(const QSqlDatabase& db, const QString& sql,
                          const std::vector<QVariant>& parameters, const RecordShape& shape,
                          QSqlError& error) {
    Finish();
    m_shape = &shape;
    m_handle = HandleOf(db);
    if (m_handle == nullptr) {
        error = QSqlError(QStringLiteral("Not an SQLite connection"), QString(),
                          QSqlError::ConnectionError);
        return false;
    }
    const QByteArray text = sql.toUtf8();
    const int code = sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()),
                                        &m_statement, nullptr);
    if (code != SQLITE_OK) {
        error = ErrorOf(m_handle, code);
        Finish();
        return false;
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (!Bind(m_statement, static_cast<int>(i) + 1, parameters[i])) {
            error = ErrorOf(m_handle, sqlite3_errcode(m_handle));
            Finish();
            return false;
        }
    }
    return Step(error);
}

bool CNativeCursor::Next(QSqlError& error) {
    if (m_statement == nullptr) {
        return true;
    }
    return Step(error);
}

bool CNativeCursor::Step(QSqlError& error) {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code != SQLITE_DONE) {
        error = ErrorOf(m_handle, code);
    }
    // The end: the statement goes at once, and with it the read.
    Finish();
    return code == SQLITE_DONE;
}

void CNativeCursor::Load() const {
    if (m_statement == nullptr) {
        return;
    }
    CRowExchange row(m_statement, *m_shape);
    m_shape->exchange(&row);
}
