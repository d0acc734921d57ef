#include "import/ReaderFrameWriter.h"

#include "import/ReaderFrame.h"

#include <cerrno>

#include <unistd.h>

namespace {

void AppendBigEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void AppendField(std::string& out, std::int64_t value) {
    AppendBigEndian(out, static_cast<std::uint64_t>(value), 8);
}

void AppendField(std::string& out, const std::string& text) {
    AppendBigEndian(out, text.size(), 4);
    out += text;
}

// A frame's body: its kind, then its fields in order.
template <class... Fields>
std::string Body(ReaderFrameKind kind, const Fields&... fields) {
    std::string body(1, static_cast<char>(kind));
    (AppendField(body, fields), ...);
    return body;
}

} // namespace

void CReaderFrameWriter::Progress(std::int64_t done, std::int64_t total) {
    Send(Body(ReaderFrameKind::Progress, done, total));
}

void CReaderFrameWriter::Library(const OldLibrary& library) {
    Send(Body(ReaderFrameKind::Format, library.format));
    for (const OldCategory& category : library.categories) {
        Send(Body(ReaderFrameKind::Category, category.key, category.description,
                  std::int64_t{category.zOrder}, category.textKey));
    }
    for (const OldItem& item : library.items) {
        Send(Body(ReaderFrameKind::Item, item.categoryKey, item.data, item.mnemonic, item.key,
                  std::int64_t{item.zOrder}, std::int64_t{item.punctuationLeading},
                  std::int64_t{item.punctuationTrailing}));
    }
    for (const std::string& warning : library.warnings) {
        Send(Body(ReaderFrameKind::Warning, warning));
    }
}

void CReaderFrameWriter::Failure(const std::string& sentence) {
    Send(Body(ReaderFrameKind::Failure, sentence));
}

void CReaderFrameWriter::End() {
    Send(Body(ReaderFrameKind::End));
}

void CReaderFrameWriter::Send(const std::string& body) {
    std::string frame;
    AppendBigEndian(frame, body.size(), 4);
    frame += body;
    const char* next = frame.data();
    std::size_t left = frame.size();
    while (m_intact && left > 0) {
        const ssize_t written = ::write(m_fd, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_intact = false;
            return;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}
