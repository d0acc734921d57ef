#include "import/ReaderFrameReader.h"

#include "import/OldLibraryError.h"
#include "import/ReaderFrame.h"

namespace {

// No frame is nearly this long: a longer one means the stream is not ours.
constexpr std::uint64_t kLongestFrame = 256U << 20;

std::uint64_t BigEndian(const char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

[[noreturn]] void Garbled(const std::string& source) {
    ThrowOldLibraryError(source, "the reader's answer was garbled.");
}

// Reads the fields of one frame's body in order.
class CFields {
public:
    CFields(const char* body, std::size_t size, const std::string& source)
        : m_next(body), m_end(body + size), m_source(source) {}

    std::int64_t Number() { return static_cast<std::int64_t>(BigEndian(Bytes(8), 8)); }
    std::int32_t Number32() { return static_cast<std::int32_t>(Number()); }
    std::string Text() {
        const auto size = static_cast<std::size_t>(BigEndian(Bytes(4), 4));
        return std::string(Bytes(size), size);
    }

private:
    const char* Bytes(std::size_t count) {
        if (static_cast<std::size_t>(m_end - m_next) < count) {
            Garbled(m_source);
        }
        const char* start = m_next;
        m_next += count;
        return start;
    }

    const char* m_next;
    const char* m_end;
    const std::string& m_source;
};

} // namespace

CReaderFrameReader::CReaderFrameReader(const std::string& source) {
    m_library.source = source;
}

void CReaderFrameReader::Feed(const char* bytes, std::size_t size) {
    m_pending.append(bytes, size);
    std::size_t at = 0;
    while (m_pending.size() - at >= 4) {
        const std::uint64_t length = BigEndian(m_pending.data() + at, 4);
        if (length == 0 || length > kLongestFrame) {
            Garbled(m_library.source);
        }
        if (m_pending.size() - at - 4 < length) {
            break;
        }
        Take(m_pending.data() + at + 4, static_cast<std::size_t>(length));
        at += 4 + static_cast<std::size_t>(length);
    }
    m_pending.erase(0, at);
}

void CReaderFrameReader::Take(const char* body, std::size_t size) {
    if (m_ended) {
        Garbled(m_library.source);
    }
    CFields fields(body + 1, size - 1, m_library.source);
    switch (static_cast<ReaderFrameKind>(body[0])) {
    case ReaderFrameKind::Progress:
        m_done = fields.Number();
        m_total = fields.Number();
        break;
    case ReaderFrameKind::Format:
        m_library.format = fields.Text();
        break;
    // The fields in the order of the members: a braced list is read
    // from left to right.
    case ReaderFrameKind::Category:
        m_library.categories.push_back(
            OldCategory{fields.Text(), fields.Text(), fields.Number32(), fields.Text()});
        break;
    case ReaderFrameKind::Item:
        m_library.items.push_back(OldItem{fields.Text(), fields.Text(), fields.Text(),
                                          fields.Text(), fields.Number32(), fields.Number32(),
                                          fields.Number32()});
        break;
    case ReaderFrameKind::Warning:
        m_library.warnings.push_back(fields.Text());
        break;
    case ReaderFrameKind::Failure:
        m_failure = fields.Text();
        break;
    case ReaderFrameKind::End:
        m_ended = true;
        break;
    default:
        Garbled(m_library.source);
    }
}
