#include "store/LibraryWatchStart.h"

#include "store/FileWatch.h"
#include "store/LibraryLocation.h"
#include "store/ServerWatch.h"

std::unique_ptr<CLibraryWatch> StartLibraryWatch(const std::string& location) {
    if (CLibraryLocation::IsServerAddress(location)) {
        return std::make_unique<CServerWatch>(location);
    }
    return std::make_unique<CFileWatch>(QString::fromStdString(location));
}
