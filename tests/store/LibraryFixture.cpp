#include "tests/store/LibraryFixture.h"

#include "store/CategoryTbl.h"
#include "store/KeyHelpers.h"
#include "store/LibraryFile.h"
#include "store/PhraseTbl.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

CTempLibrary::CTempLibrary() : path(FilePath("library.blz")) {
    CreateLibraryFile(path);
    UsePath(path);
}

CTempLibrary::~CTempLibrary() {
    SetCurrentDatabasePathSource({});
}

void CTempLibrary::UsePath(const std::string& newPath) {
    SetCurrentDatabasePathSource([newPath] { return newPath; });
}

std::string CTempLibrary::FilePath(const char* name) const {
    return dir.filePath(QString::fromUtf8(name)).toStdString();
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

QVariant QueryDirect(const std::string& path, const QString& sql) {
    const QString name = QStringLiteral("test-direct");
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QString::fromStdString(path));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        if (query.next()) {
            result = query.value(0);
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}
