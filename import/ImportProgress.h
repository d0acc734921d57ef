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

// Counts the steps of an import on from `done` and tells `progress`.
class CProgressSteps {
public:
    CProgressSteps(const ImportProgress& progress, std::int64_t done, std::int64_t total)
        : m_progress(progress), m_done(done), m_total(total) {}
    // One more step; throws CImportCancelled when `progress` says stop.
    void Step() {
        ++m_done;
        if (m_progress && !m_progress(m_done, m_total)) {
            throw CImportCancelled();
        }
    }

private:
    const ImportProgress& m_progress;
    std::int64_t m_done;
    std::int64_t m_total;
};
