#include "store/CurrentDatabase.h"

#include <utility>

namespace {

std::function<CLibraryLocation()>& Source() {
    static std::function<CLibraryLocation()> source;
    return source;
}

} // namespace

void SetCurrentLibrarySource(std::function<CLibraryLocation()> source) {
    Source() = std::move(source);
}

CLibraryLocation GetCurrentLibrary() {
    const std::function<CLibraryLocation()>& source = Source();
    return source ? source() : CLibraryLocation();
}

std::string GetCurrentDatabasePath() {
    return GetCurrentLibrary().Text();
}
