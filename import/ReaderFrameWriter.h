#pragma once

#include "import/OldLibrary.h"

#include <cstdint>
#include <string>

// Writes the frames of ReaderFrame.h to a file descriptor (the reader's
// standard output). A write that fails (the program that started the
// reader went away) makes the later ones do nothing.
class CReaderFrameWriter {
public:
    explicit CReaderFrameWriter(int fd) : m_fd(fd) {}

    void Progress(std::int64_t done, std::int64_t total);
    // The format, every category, every item and every warning.
    void Library(const OldLibrary& library);
    void Failure(const std::string& sentence);
    void End();
    bool IsIntact() const { return m_intact; }

private:
    void Send(const std::string& body);

    int m_fd;
    bool m_intact = true;
};
