#include "store/EmptyLibrary.h"

#include "store/DaoException.h"
#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "store/ServerConnection.h"
#include "store/ServerSchema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>

namespace {

QString Plural(qlonglong n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// Refuses a library that holds rows already; runs in the filling
// transaction, so nothing can slip in between.
void RequireEmpty(CLibraryConnection& connection) {
    QSqlQuery count =
        connection.Prepare(QStringLiteral("SELECT (SELECT count(*) FROM \"tblCategory\"), "
                                          "(SELECT count(*) FROM \"tblPhrase\")"));
    if (!count.exec() || !count.next()) {
        connection.Fail(count.lastError());
    }
    const qlonglong categories = count.value(0).toLongLong();
    const qlonglong items = count.value(1).toLongLong();
    count.finish();
    if (categories + items == 0) {
        return;
    }
    throw CDaoException(QStringLiteral("The library \"%1\" is not empty: it holds %2 and %3. "
                                       "Only an empty library can take these rows in.")
                            .arg(QString::fromStdString(connection.DisplayName()),
                                 Plural(categories, "category", "categories"),
                                 Plural(items, "item", "items"))
                            .toStdString());
}

// Runs `work` in a transaction of `connection`: committed when it ends,
// rolled back when it throws.
void InTransaction(CLibraryConnection& connection, const std::function<void()>& work) {
    connection.Begin();
    try {
        work();
        connection.Commit();
    } catch (...) {
        try {
            connection.Rollback();
        } catch (const CDaoException&) {
            // The first failure is the one to tell; a rollback that fails
            // leaves nothing committed either.
        }
        throw;
    }
}

void FillOpenLibrary(const CLibraryLocation& location,
                     const std::function<void(CLibraryConnection&)>& fill) {
    std::unique_ptr<CLibraryConnection> connection = OpenLibrary(location);
    InTransaction(*connection, [&] {
        // A file's transaction holds the write lock from its start; on a
        // server, rows are locked one by one, so two fills at once would
        // both find the library empty. Locking the tables against other
        // writers (readers go on) makes the second wait and then see the
        // first one's rows.
        if (dynamic_cast<CServerConnection*>(connection.get()) != nullptr) {
            connection->Exec(QStringLiteral("LOCK TABLE \"tblCategory\", \"tblPhrase\" "
                                            "IN SHARE ROW EXCLUSIVE MODE"));
        }
        RequireEmpty(*connection);
        fill(*connection);
    });
}

} // namespace

void FillEmptyLibrary(const std::string& location,
                      const std::function<void(CLibraryConnection&)>& fill) {
    const CLibraryLocation parsed = CLibraryLocation::Parse(location);
    if (!parsed.IsServer()) {
        const QFileInfo file(QString::fromStdString(location));
        if (location.empty() || (!file.exists() && !file.isSymLink())) {
            CreateLibraryFile(location, fill);
        } else {
            FillOpenLibrary(parsed, fill);
        }
        return;
    }
    {
        CServerConnection connection(parsed);
        if (!connection.Value(ServerLibraryNamesTakenQuery()).toBool()) {
            InTransaction(connection, [&] {
                for (const QString& statement : ServerSchemaStatements()) {
                    connection.Exec(statement);
                }
                fill(connection);
            });
            return;
        }
    }
    // Tables of ours are there: the database must hold a library this
    // version can use, and may write.
    FillOpenLibrary(parsed, fill);
}
