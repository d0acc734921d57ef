#include "store/CurrentDatabase.h"

#include <utility>

namespace {

std::function<std::string()>& Source() {
    static std::function<std::string()> source;
    return source;
}

} // namespace

void SetCurrentDatabasePathSource(std::function<std::string()> source) {
    Source() = std::move(source);
}

std::string GetCurrentDatabasePath() {
    const std::function<std::string()>& source = Source();
    return source ? source() : std::string();
}
