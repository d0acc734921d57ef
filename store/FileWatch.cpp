#include "store/FileWatch.h"

#include <QFileInfo>

CFileWatch::CFileWatch(const QString& path) : m_path(QFileInfo(path).absoluteFilePath()) {
    const QString folder = QFileInfo(m_path).absolutePath();
    if (QFileInfo(folder).isDir()) {
        m_watcher.addPath(folder);
    }
    WatchFiles();
    const auto changed = [this] {
        WatchFiles();
        NoteChange();
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

void CFileWatch::WatchFiles() {
    // Watched afresh each time: a watch follows the file it was set on,
    // which may no longer be the one at the library's path.
    const QStringList watched = m_watcher.files();
    if (!watched.isEmpty()) {
        m_watcher.removePaths(watched);
    }
    for (const QString& file : {m_path, m_path + QStringLiteral("-wal")}) {
        if (QFileInfo::exists(file)) {
            m_watcher.addPath(file);
        }
    }
}
