#include "store/LibraryOpener.h"

#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"
#include "store/ServerConnection.h"

std::unique_ptr<CLibraryConnection> OpenLibrary(const CLibraryLocation& location) {
    if (std::unique_ptr<CLibraryConnection> reused =
            CLibraryConnection::TakeIdle(location.Text())) {
        return reused;
    }
    if (location.IsServer()) {
        return CServerConnection::OpenLibrary(location);
    }
    return OpenLibraryFile(location.Text());
}
