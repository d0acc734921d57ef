#include "store/DaoRecordset.h"

#include "store/BoundFields.h"
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/EngineErrors.h"
#include "store/KeyHelpers.h"
#include "store/LibraryConnection.h"
#include "store/LibraryOpener.h"
#include "store/RecordShape.h"
#include "store/TableCursor.h"
#include "store/ViewReader.h"

#include <utility>
#include <vector>

CDaoRecordset::CDaoRecordset() = default;

CDaoRecordset::~CDaoRecordset() = default;

std::string CDaoRecordset::GetDefaultDBName() {
    return GetCurrentDatabasePath();
}

bool CDaoRecordset::IsOpen() const {
    return m_table != nullptr || m_view != nullptr;
}

bool CDaoRecordset::IsEOF() const {
    if (m_table != nullptr) {
        return m_table->AtEnd();
    }
    return m_view == nullptr || m_view->AtEnd();
}

void CDaoRecordset::Close() {
    m_table.reset();
    m_view.reset();
}

CLibraryConnection* CDaoRecordset::Connection() const {
    return m_table != nullptr ? m_table->Connection() : m_view->Connection();
}

const RecordShape& CDaoRecordset::Shape() const {
    if (!IsOpen()) {
        throw CDaoException("The recordset is not open.");
    }
    return m_table != nullptr ? m_table->Shape() : m_view->Shape();
}

CTableCursor& CDaoRecordset::Table(const char* operation) {
    const RecordShape& shape = Shape();
    if (m_table == nullptr) {
        throw CDaoException(std::string(operation) + " is not possible on the query " +
                            shape.source->name + ": it is read-only.");
    }
    m_table->Follow();
    return *m_table;
}

CTableCursor& CDaoRecordset::Writable(const char* operation) {
    CTableCursor& table = Table(operation);
    if (table.Connection()->IsReadOnly()) {
        table.Connection()->FailReadOnly();
    }
    return table;
}

bool CDaoRecordset::FollowLibrary() {
    Shape();
    if (m_table == nullptr) {
        return false; // a query holds what it read at its open
    }
    m_table->CancelPending();
    return m_table->Follow();
}

bool CDaoRecordset::CanUpdate() const {
    return m_table != nullptr && m_table->Connection() != nullptr &&
           !m_table->Connection()->IsReadOnly();
}

std::string CDaoRecordset::ReadOnlyMessage() {
    if (IsOpen() && Connection() != nullptr) {
        return Connection()->ReadOnlyMessage();
    }
    return DescribeReadOnly(GetDefaultDBName());
}

bool CDaoRecordset::CanWriteNow() {
    return Table("CanWriteNow").Connection()->CanWriteNow();
}

void CDaoRecordset::BeginTrans() {
    CTableCursor& table = Writable("BeginTrans");
    table.CancelPending();
    table.Connection()->Begin();
}

void CDaoRecordset::CommitTrans() {
    Shape();
    if (Connection() == nullptr || !Connection()->InTransaction()) {
        throw CDaoException("CommitTrans without BeginTrans.");
    }
    if (m_table != nullptr) {
        m_table->CancelPending();
    }
    Connection()->Commit();
}

void CDaoRecordset::Rollback() {
    Shape();
    if (m_table != nullptr) {
        m_table->CancelPending();
    }
    if (Connection() != nullptr) {
        Connection()->Rollback();
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
        throw CDaoException("A recordset opens only its own table or query.");
    }
    const int type = nOpenType == AFX_DAO_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType;
    if (type == dbOpenTable && !source->isTable) {
        throw CDaoException(std::string("The query ") + source->name +
                            " can't be opened as a table.");
    }

    RecordShape shape;
    shape.source = source;
    shape.exchange = [this](CFieldExchange* exchange) { DoFieldExchange(exchange); };
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
        shape.columns.push_back(field);
        shape.schema.push_back(column);
    }
    if (static_cast<int>(shape.columns.size()) != m_nFields ||
        static_cast<int>(parameters.size()) != m_nParams) {
        throw CDaoException("The recordset binds a different number of fields than it declares.");
    }

    CLibraryLocation location = GetCurrentLibrary();
    auto connection = OpenLibrary(location);
    try {
        // A dynaset over a table is served as the table: a superset of it.
        if (source->isTable) {
            m_table = std::make_unique<CTableCursor>(std::move(location), std::move(connection),
                                                     std::move(shape));
            m_table->First();
        } else {
            m_view = std::make_unique<CViewReader>(std::move(connection), std::move(shape));
            m_view->Read(parameters);
        }
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoRecordset::MoveNext() {
    Shape();
    if (IsEOF()) {
        throw CDaoException("No current record.");
    }
    if (m_view != nullptr) {
        m_view->MoveNext();
        return;
    }
    m_table->CancelPending();
    m_table->MoveNext();
}

void CDaoRecordset::SetCurrentIndex(const char* lpszIndex) {
    CTableCursor& table = Table("SetCurrentIndex");
    if (lpszIndex == nullptr || std::string(lpszIndex) != "PrimaryKey") {
        throw CDaoException(std::string("\"") + (lpszIndex ? lpszIndex : "") +
                            "\" is not an index of " + table.Shape().source->name + ".");
    }
}

bool CDaoRecordset::Seek(const char* lpszComparison, const QVariant& key) {
    CTableCursor& table = Table("Seek");
    if (lpszComparison == nullptr || std::string(lpszComparison) != "=") {
        throw CDaoException("Seek supports only the comparison \"=\".");
    }
    return table.Seek(key);
}

bool CDaoRecordset::SeekKey(const std::string& key) {
    SetCurrentIndex("PrimaryKey");
    return Seek("=", MakeSeekKey(key));
}

void CDaoRecordset::AddNew() {
    Writable("AddNew").AddNew();
}

void CDaoRecordset::Edit() {
    Writable("Edit").Edit();
}

void CDaoRecordset::Update() {
    Writable("Update").Update();
}

void CDaoRecordset::Delete() {
    Writable("Delete").Delete();
}

QVariant CDaoRecordset::GetLastModifiedBookmark() const {
    Shape();
    return m_table != nullptr ? m_table->LastModified() : QVariant();
}

void CDaoRecordset::SetBookmark(const QVariant& bookmark) {
    Table("SetBookmark").SetBookmark(bookmark);
}
