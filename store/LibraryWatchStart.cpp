#include "store/LibraryWatchStart.h"

#include "store/FileWatch.h"
#include "store/LibraryLocation.h"
#include "store/ServerWatch.h"

std::unique_ptr<CLibraryWatch> StartLibraryWatch(const CLibraryLocation& location) {
    if (location.IsServer()) {
        return std::make_unique<CServerWatch>(location);
    }
    return std::make_unique<CFileWatch>(QString::fromStdString(location.Text()));
}
