#include "store/EngineErrors.h"

#include "store/LibraryLocation.h"

#include <QSqlError>
#include <QString>

#include <sqlite3.h>

namespace {

QString WordsFor(int code, const QString& engineText) {
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The library \"%1\" is busy: another program is changing it. "
                              "Try again in a moment.");
    case SQLITE_READONLY:
        return QStringLiteral("The library \"%1\" is read-only.");
    case SQLITE_CONSTRAINT:
        if (engineText.contains(QLatin1String("FOREIGN KEY"), Qt::CaseInsensitive)) {
            return QStringLiteral("The library \"%1\" refused the change: the item's category "
                                  "no longer exists (another program may have deleted it).");
        }
        return QStringLiteral("The library \"%1\" refused the change: it would break the "
                              "library's rules.");
    case SQLITE_FULL:
        return QStringLiteral("The change could not be stored: the disk that holds the "
                              "library \"%1\" is full.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("The library \"%1\" is damaged and can't be used as it is.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("The library \"%1\" can't be opened.");
    case SQLITE_IOERR:
        return QStringLiteral("The library \"%1\" could not be read or written (the system "
                              "reported an input/output error).");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Blurtle is not allowed to use the library \"%1\".");
    default:
        return QStringLiteral("The library \"%1\" reported an error.");
    }
}

} // namespace

bool IsReadOnlyCode(int code) {
    return code == SQLITE_READONLY;
}

std::string DescribeReadOnly(const std::string& path) {
    return QStringLiteral("The library \"%1\" is read-only.")
        .arg(QString::fromStdString(LibraryDisplayName(path)))
        .toStdString();
}

std::string DescribeEngineError(const QSqlError& error, const std::string& path) {
    QString engineText = error.text().trimmed();
    if (engineText.isEmpty()) {
        engineText = QStringLiteral("unknown database error");
    }
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xFF;
    const QString words = WordsFor(numeric ? code : -1, engineText).arg(QString::fromUtf8(path));
    return (words + QStringLiteral("\n\nDetails: ") + engineText).toStdString();
}
