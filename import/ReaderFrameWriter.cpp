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

void AppendNumber(std::string& out, std::int64_t value) {
    AppendBigEndian(out, static_cast<std::uint64_t>(value), 8);
}

void AppendText(std::string& out, const std::string& text) {
    AppendBigEndian(out, text.size(), 4);
    out += text;
}

std::string Body(ReaderFrameKind kind) {
    return std::string(1, static_cast<char>(kind));
}

} // namespace

void CReaderFrameWriter::Progress(std::int64_t done, std::int64_t total) {
    std::string body = Body(ReaderFrameKind::Progress);
    AppendNumber(body, done);
    AppendNumber(body, total);
    Send(body);
}

void CReaderFrameWriter::Library(const OldLibrary& library) {
    std::string body = Body(ReaderFrameKind::Format);
    AppendText(body, library.format);
    Send(body);
    for (const OldCategory& category : library.categories) {
        body = Body(ReaderFrameKind::Category);
        AppendText(body, category.key);
        AppendText(body, category.description);
        AppendNumber(body, category.zOrder);
        AppendText(body, category.textKey);
        Send(body);
    }
    for (const OldItem& item : library.items) {
        body = Body(ReaderFrameKind::Item);
        AppendText(body, item.categoryKey);
        AppendText(body, item.data);
        AppendText(body, item.mnemonic);
        AppendText(body, item.key);
        AppendNumber(body, item.zOrder);
        AppendNumber(body, item.punctuationLeading);
        AppendNumber(body, item.punctuationTrailing);
        Send(body);
    }
    for (const std::string& warning : library.warnings) {
        body = Body(ReaderFrameKind::Warning);
        AppendText(body, warning);
        Send(body);
    }
}

void CReaderFrameWriter::Failure(const std::string& sentence) {
    std::string body = Body(ReaderFrameKind::Failure);
    AppendText(body, sentence);
    Send(body);
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
