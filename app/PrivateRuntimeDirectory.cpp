#include "app/PrivateRuntimeDirectory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MakeDirectory(const QByteArray& path) {
    return ::mkdir(path.constData(), 0700) == 0 || errno == EEXIST;
}

// Makes `path` a private directory of ours, or says it can't.
bool MakePrivate(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (!MakeDirectory(native)) {
        return false;
    }
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        // A link may lead anywhere, a directory of another user included:
        // never follow it; a real directory takes its place.
        if (::unlink(native.constData()) != 0 || !MakeDirectory(native) ||
            ::lstat(native.constData(), &info) != 0) {
            return false;
        }
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        return false;
    }
    if ((info.st_mode & 077) != 0) {
        // Others could have put a lock or a socket of theirs in it: close
        // it first, then start it afresh.
        if (::chmod(native.constData(), 0700) != 0 || !QDir(path).removeRecursively() ||
            !MakeDirectory(native) || ::lstat(native.constData(), &info) != 0 ||
            !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

QString PrivateRuntimeDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime;
    }
    const QString name = QStringLiteral("/blurtle-%1").arg(::getuid());
    const QString shared = QDir::tempPath() + name;
    if (MakePrivate(shared)) {
        return shared;
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && QDir().mkpath(cache) && MakePrivate(cache + name)) {
        return cache + name;
    }
    return {};
}
