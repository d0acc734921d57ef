#include "import/ReaderChild.h"

#include "import/MdbReader.h"
#include "import/ReaderFrame.h"
#include "import/ReaderFrameWriter.h"

#include <chrono>
#include <cstdlib>
#include <exception>

#include <unistd.h>

namespace {

// How often the reader tells how far it is.
constexpr auto kProgressEvery = std::chrono::milliseconds(20);

} // namespace

int ServeOldLibraryReading(const char* path) {
    CReaderFrameWriter out(STDOUT_FILENO);
    const bool abortForTests = std::getenv(kReaderAbortForTests) != nullptr;
    auto lastTold = std::chrono::steady_clock::now() - kProgressEvery;
    const ImportProgress progress = [&](std::int64_t done, std::int64_t total) {
        if (abortForTests) {
            std::abort();
        }
        const auto now = std::chrono::steady_clock::now();
        if (done == total || now - lastTold >= kProgressEvery) {
            lastTold = now;
            out.Progress(done, total);
        }
        // The program that started us went away: nobody waits for the rest.
        return out.IsIntact();
    };
    try {
        const OldLibrary library = ReadOldLibrary(path, progress);
        out.Library(library);
        out.End();
    } catch (const std::exception& error) {
        out.Failure(error.what());
        return 1;
    }
    return out.IsIntact() ? 0 : 1;
}
