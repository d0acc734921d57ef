#include "store/ViewReader.h"

#include "store/FindColumns.h"
#include "store/FindQuery.h"
#include "store/LibraryConnection.h"
#include "store/NativeRows.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <utility>

CViewReader::CViewReader(std::unique_ptr<CLibraryConnection> connection, RecordShape shape)
    : m_shape(std::move(shape)), m_connection(std::move(connection)) {}

CViewReader::~CViewReader() {
    m_cursor.reset();
    CLibraryConnection::Release(std::move(m_connection));
}

void CViewReader::Read(const std::vector<BoundField>& parameters) {
    CStoreExchange members;
    m_shape.exchange(&members);
    QString sql;
    std::vector<QVariant> values;
    if (m_shape.source->reading != RecordSource::Reading::ViewRows) {
        FindStatement find = MakeFindStatement(*m_connection, m_shape, members.parameters);
        sql = std::move(find.sql);
        values = std::move(find.values);
    } else {
        sql = QStringLiteral("SELECT %1 FROM %2")
                  .arg(m_shape.ColumnList(), RecordShape::Quoted(m_shape.source->name));
        int first = 0;
        int count = 0;
        bool filtered = false;
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            const RecordSource::Parameter* parameter =
                m_shape.source->FindParameter(parameters[i].name);
            if (parameter->column == nullptr) { // a page's FIRST or COUNT
                (parameters[i].name == "FIRST" ? first : count) =
                    std::max(0, members.parameters.at(i).number);
                continue;
            }
            sql += (filtered ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) +
                   RecordShape::Quoted(parameter->column) + QStringLiteral(" = ?");
            filtered = true;
            values.push_back(m_connection->BindValue(members.parameters.at(i)));
        }
        // A page: both engines keep a view's own order under a LIMIT taken
        // from it. Without a count, SQLite wants LIMIT -1 and PostgreSQL no
        // LIMIT at all.
        if (count > 0) {
            sql += QStringLiteral(" LIMIT ? OFFSET ?");
            values.emplace_back(count);
            values.emplace_back(first);
        } else if (first > 0) {
            sql += IsServerLibrary(*m_connection) ? QStringLiteral(" OFFSET ?")
                                                  : QStringLiteral(" LIMIT -1 OFFSET ?");
            values.emplace_back(first);
        }
    }
    if (CNativeCursor::IsAvailable(m_connection->Database())) {
        m_cursor = std::make_unique<CNativeCursor>();
        QSqlError error;
        if (!m_cursor->Start(m_connection->Database(), sql, values, m_shape, error)) {
            m_connection->Fail(error);
        }
        m_cursor->Load();
        return;
    }
    // The server sends the result whole too, rather than as one message
    // per row.
    QSqlQuery query = m_connection->Prepare(sql);
    query.setForwardOnly(false);
    for (std::size_t i = 0; i < values.size(); ++i) {
        query.bindValue(static_cast<int>(i), values[i]);
    }
    m_connection->Run(query);
    while (m_connection->Next(query)) {
        m_rows.push_back(m_shape.RowValues(query, 0));
    }
    m_rowIndex = 0;
    if (!m_rows.empty()) {
        m_shape.LoadMembers(std::move(m_rows.front()));
    }
}

bool CViewReader::AtEnd() const {
    return m_cursor != nullptr ? m_cursor->AtEnd() : m_rowIndex >= m_rows.size();
}

void CViewReader::MoveNext() {
    if (m_cursor != nullptr) {
        QSqlError error;
        if (!m_cursor->Next(error)) {
            m_connection->Fail(error);
        }
        m_cursor->Load();
    } else if (++m_rowIndex < m_rows.size()) {
        // The row's values move into the members: it is not read again.
        m_shape.LoadMembers(std::move(m_rows[m_rowIndex]));
    }
}
