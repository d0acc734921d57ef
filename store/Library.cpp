#include "store/Library.h"

#include "store/DaoException.h"
#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "store/ServerConnection.h"
#include "store/ServerSchema.h"

namespace {

void CreateServerLibrary(const CLibraryLocation& location,
                         const std::vector<LibrarySeedCategory>& seed) {
    CServerConnection connection(location);
    connection.Begin();
    const bool taken = connection.Value(ServerLibraryNamesTakenQuery()).toBool();
    if (taken) {
        throw CDaoException(QStringLiteral("The database \"%1\" already holds a Blurtle library "
                                           "or tables of its names; a new library needs an "
                                           "empty database.")
                                .arg(QString::fromStdString(location.Display()))
                                .toStdString());
    }
    for (const QString& statement : ServerSchemaStatements()) {
        connection.Exec(statement);
    }
    InsertSeed(connection, seed);
    connection.Commit();
}

} // namespace

void CreateLibrary(const CLibraryLocation& location, const std::vector<LibrarySeedCategory>& seed) {
    if (location.IsServer()) {
        CreateServerLibrary(location, seed);
    } else {
        CreateLibraryFile(location.Text(), seed);
    }
}

std::string CheckLibrary(const CLibraryLocation& location) {
    if (!location.IsServer()) {
        return CheckLibraryFile(location.Text());
    }
    try {
        CLibraryConnection::Release(OpenLibrary(location));
    } catch (const CDaoException& error) {
        return error.what();
    }
    return {};
}
