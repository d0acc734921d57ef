#include "store/BatchInsert.h"

#include "store/LibraryConnection.h"

#include <QStringList>

#include <cassert>

CBatchInsert::CBatchInsert(CLibraryConnection& connection, QString head, QString row)
    : m_connection(connection), m_head(std::move(head)), m_row(std::move(row)),
      m_parameters(static_cast<int>(m_row.count(u'?'))) {
    m_pending.reserve(static_cast<std::size_t>(m_parameters * kRowsPerBatch));
}

void CBatchInsert::Add(std::initializer_list<QVariant> values) {
    assert(static_cast<int>(values.size()) == m_parameters);
    m_pending.insert(m_pending.end(), values.begin(), values.end());
    if (static_cast<int>(m_pending.size()) == m_parameters * kRowsPerBatch) {
        if (!m_full) {
            m_full = Prepare(kRowsPerBatch);
        }
        Write(*m_full);
    }
}

void CBatchInsert::Flush() {
    if (m_pending.empty()) {
        return;
    }
    // The last, shorter batch has a statement of its own, made once.
    QSqlQuery rest = Prepare(static_cast<int>(m_pending.size()) / m_parameters);
    Write(rest);
}

QSqlQuery CBatchInsert::Prepare(int rows) {
    return m_connection.Prepare(m_head + QLatin1Char(' ') +
                                QStringList(rows, m_row).join(QStringLiteral(", ")));
}

void CBatchInsert::Write(QSqlQuery& statement) {
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        statement.bindValue(static_cast<int>(i), m_pending[i]);
    }
    m_connection.Run(statement);
    m_pending.clear();
}
