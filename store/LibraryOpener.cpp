#include "store/LibraryOpener.h"

#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"
#include "store/ServerConnection.h"

std::unique_ptr<CLibraryConnection> OpenLibrary(const std::string& location) {
    if (std::unique_ptr<CLibraryConnection> reused = CLibraryConnection::TakeIdle(location)) {
        return reused;
    }
    const CLibraryLocation parsed = CLibraryLocation::Parse(location);
    if (parsed.IsServer()) {
        return CServerConnection::OpenLibrary(location, parsed);
    }
    return OpenLibraryFile(location);
}
