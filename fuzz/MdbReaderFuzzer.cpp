// libFuzzer entry: any bytes, read as an older library file. The reader
// may refuse them (COldLibraryError) but must never crash, hang, leak or
// touch memory it does not own.
#include "import/MdbReader.h"
#include "import/OldLibraryError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const OldLibrary library = ReadOldLibraryBytes(data, size, "fuzzed.mdb");
        (void)library;
    } catch (const COldLibraryError&) {
    }
    return 0;
}
