#pragma once

#include "import/OldLibrary.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Takes apart the frames of ReaderFrame.h as they arrive, in pieces of any
// size, and collects what they carry.
class CReaderFrameReader {
public:
    // `source` names the file in messages.
    explicit CReaderFrameReader(const std::string& source);

    // The next bytes of the stream. Throws COldLibraryError when they are
    // no frames of a reader.
    void Feed(const char* bytes, std::size_t size);

    std::int64_t Done() const { return m_done; }
    std::int64_t Total() const { return m_total; }
    // The reader sent all it read.
    bool HasEnded() const { return m_ended; }
    // The reader's own sentence on why it could not read the file.
    const std::optional<std::string>& Failure() const { return m_failure; }
    OldLibrary TakeLibrary() { return std::move(m_library); }

private:
    void Take(const char* body, std::size_t size);

    std::string m_pending;
    OldLibrary m_library;
    std::int64_t m_done = 0;
    std::int64_t m_total = 0;
    bool m_ended = false;
    std::optional<std::string> m_failure;
};
