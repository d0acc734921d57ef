#pragma once

#include "store/LibraryWatch.h"

#include <QFileSystemWatcher>
#include <QString>

// Watches a library file for commits by other programs: the file itself,
// its write-ahead log (where a commit lands first) and the folder, which
// tells when the log appears or another file is put in the library's
// place.
class CFileWatch : public CLibraryWatch {
    Q_OBJECT

public:
    explicit CFileWatch(const QString& path);

private:
    // Watches the file and its log where they exist now (the watcher lets
    // go of a file that was removed or replaced).
    void WatchFiles();

    QString m_path;
    QFileSystemWatcher m_watcher;
};
