#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

// Told how far an import is (`done` of `total` steps, both growing as the
// work becomes known); returns false to stop it, which throws
// CImportCancelled out of the import.
using ImportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The user stopped an import before it was done.
class CImportCancelled : public std::runtime_error {
public:
    CImportCancelled() : std::runtime_error("The import was cancelled.") {}
};
