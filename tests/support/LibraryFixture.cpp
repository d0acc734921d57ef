#include "tests/support/LibraryFixture.h"

#include "store/CategoryTbl.h"
#include "store/KeyHelpers.h"
#include "store/Library.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/PhraseTbl.h"
#include "tests/support/PostgresServer.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <functional>

namespace {

// The test program's server goes at the end of the run, after the
// connections kept for reuse.
class CServerTeardown : public testing::Environment {
public:
    void TearDown() override {
        CLibraryConnection::CloseIdle();
        CPostgresServer::StopShared();
    }
};

[[maybe_unused]] testing::Environment* const g_serverTeardown =
    testing::AddGlobalTestEnvironment(new CServerTeardown);

std::string NewLibrary(Engine engine, const QTemporaryDir& dir, const char* name,
                       std::string& skipReason) {
    if (engine == Engine::SQLite) {
        const std::string path = dir.filePath(QString::fromUtf8(name)).toStdString();
        CreateLibrary(path);
        return path;
    }
    CPostgresServer* server = CPostgresServer::Shared(&skipReason);
    if (server == nullptr) {
        return {};
    }
    const std::string address = server->Address(server->CreateDatabase());
    CreateLibrary(address);
    return address;
}

} // namespace

std::string EngineName(Engine engine) {
    return engine == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

CTempLibrary::CTempLibrary(Engine libraryEngine)
    : engine(libraryEngine), path(NewLibrary(engine, dir, "library.blz", skipReason)) {
    UsePath(path);
}

CTempLibrary::~CTempLibrary() {
    SetCurrentLibrarySource({});
}

void CTempLibrary::UsePath(const std::string& newPath) {
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(newPath)] { return library; });
}

std::string CTempLibrary::FilePath(const char* name) const {
    return dir.filePath(QString::fromUtf8(name)).toStdString();
}

std::string CTempLibrary::MakeAnother() {
    static int count = 0;
    const std::string name = "another-" + std::to_string(++count) + ".blz";
    return NewLibrary(engine, dir, name.c_str(), skipReason);
}

std::string AddCategory(const std::string& description, std::int16_t zOrder) {
    CCategoryTbl table;
    table.Open();
    table.AddNew();
    table.m_Description = description;
    table.m_ZOrder = zOrder;
    table.Update();
    table.SetBookmark(table.GetLastModifiedBookmark());
    const std::string key = ExtractBracedIdentifier(table.m_CategoryID);
    table.Edit();
    table.m_strCategoryID = key;
    table.Update();
    table.Close();
    return key;
}

std::string AddPhrase(const std::string& categoryId, const std::string& mnemonic,
                      const std::string& data, std::int16_t zOrder, std::int16_t leading,
                      std::int16_t trailing) {
    CPhraseTbl table;
    table.Open();
    table.AddNew();
    table.m_CategoryID = categoryId;
    table.m_Mnemonic = mnemonic;
    table.m_Data = data;
    table.m_ZOrder = zOrder;
    table.m_PunctuationLeading = leading;
    table.m_PunctuationTrailing = trailing;
    table.Update();
    table.SetBookmark(table.GetLastModifiedBookmark());
    return ExtractBracedIdentifier(table.m_PhraseID);
}

namespace {

// Runs `sql` on a plain Qt connection of its own and hands each row to
// `take`.
void EachRowDirect(const std::string& path, const QString& sql,
                   const std::function<void(const QSqlQuery&)>& take) {
    const QString name = QStringLiteral("test-direct");
    const CLibraryLocation location = CLibraryLocation::Parse(path);
    {
        QSqlDatabase db;
        if (location.IsServer()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(location.Host());
            db.setPort(location.Port());
            db.setUserName(location.UserName());
            db.setDatabaseName(location.DatabaseName());
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QString::fromStdString(path));
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        }
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery query(db);
        if (!location.IsServer()) {
            query.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        }
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        while (query.next()) {
            take(query);
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

QVariant QueryDirect(const std::string& path, const QString& sql) {
    QVariant result;
    bool first = true;
    EachRowDirect(path, sql, [&](const QSqlQuery& query) {
        if (first) {
            result = query.value(0);
            first = false;
        }
    });
    return result;
}

std::vector<QStringList> RowsDirect(const std::string& path, const QString& sql) {
    std::vector<QStringList> rows;
    EachRowDirect(path, sql, [&](const QSqlQuery& query) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            row << (value.isNull() ? QStringLiteral("<null>")
                    : value.typeId() == QMetaType::QByteArray
                        ? QString::fromUtf8(value.toByteArray())
                        : value.toString());
        }
        rows.push_back(row);
    });
    return rows;
}
