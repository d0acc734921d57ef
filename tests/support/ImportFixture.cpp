#include "tests/support/ImportFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

std::string MdbFixture(const char* name) {
    return std::string(BLURTLE_MDB_FIXTURES) + "/" + name;
}

std::string PatchedFixture(const char* name, const QString& folder, const char* copyName,
                           const std::vector<std::pair<QByteArray, QByteArray>>& replacements) {
    QFile in(QString::fromStdString(MdbFixture(name)));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    for (const auto& [from, to] : replacements) {
        EXPECT_EQ(from.size(), to.size());
        EXPECT_TRUE(bytes.contains(from)) << from.toStdString();
        bytes.replace(from, to);
    }
    const QString path = QDir(folder).filePath(QString::fromUtf8(copyName));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path.toStdString();
}

QByteArray Utf16(const char* ascii) {
    QByteArray bytes;
    for (const char* c = ascii; *c != '\0'; ++c) {
        bytes += *c;
        bytes += '\0';
    }
    return bytes;
}

std::vector<QVariantList> RowsOf(const std::string& path, const QString& sql) {
    const QString name = QStringLiteral("test-import-rows");
    std::vector<QVariantList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QString::fromStdString(path));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i) {
                row << query.value(i);
            }
            rows.push_back(row);
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}
