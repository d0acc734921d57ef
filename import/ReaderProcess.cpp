#include "import/ReaderProcess.h"

#include "import/OldLibraryError.h"
#include "import/ReaderFrame.h"
#include "import/ReaderFrameReader.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

QString g_program;

// How long a wait for the reader's next bytes lasts before the user's
// progress (and a cancel) is looked at again.
constexpr int kPollMs = 50;

[[noreturn]] void Unread(const std::string& path, const std::string& why) {
    throw COldLibraryError("\"" + path + "\" could not be read: " + why);
}

void Drain(QProcess& child, CReaderFrameReader& frames) {
    const QByteArray bytes = child.readAllStandardOutput();
    frames.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

void SetOldLibraryReaderProgram(const QString& program) {
    g_program = program;
}

OldLibrary ReadOldLibraryApart(const std::string& path, const ImportProgress& progress) {
    QProcess child;
    child.setProgram(g_program.isEmpty() ? QCoreApplication::applicationFilePath() : g_program);
    child.setArguments(
        {QString::fromLatin1(kReadOlderLibrarySwitch), QString::fromStdString(path)});
    // libmdb's own complaints reach the terminal, as they did when it ran
    // in the program itself.
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QIODevice::ReadOnly);
    if (!child.waitForStarted()) {
        Unread(path,
               "the reader could not be started (" + child.errorString().toStdString() + ").");
    }
    CReaderFrameReader frames(path);
    try {
        for (;;) {
            const bool more = child.waitForReadyRead(kPollMs);
            Drain(child, frames);
            if (!more && child.state() == QProcess::NotRunning) {
                break;
            }
            if (progress && frames.Total() > 0 && !progress(frames.Done(), frames.Total())) {
                throw CImportCancelled();
            }
        }
    } catch (...) {
        child.kill();
        child.waitForFinished();
        throw;
    }
    Drain(child, frames);
    if (child.exitStatus() == QProcess::CrashExit) {
        Unread(path, "the reader stopped (signal " + std::to_string(child.exitCode()) + ").");
    }
    if (frames.Failure()) {
        throw COldLibraryError(*frames.Failure());
    }
    if (!frames.HasEnded()) {
        Unread(path, "the reader ended without an answer (exit code " +
                         std::to_string(child.exitCode()) + ").");
    }
    return frames.TakeLibrary();
}
