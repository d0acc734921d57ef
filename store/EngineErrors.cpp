#include "store/EngineErrors.h"

#include "store/LibraryLocation.h"

#include <QSqlError>
#include <QString>

namespace {

// SQLite's primary result codes that the words below tell apart.
enum SqliteCode {
    kPerm = 3,
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoErr = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kConstraint = 19,
    kAuth = 23,
    kNotADb = 26,
};

QString WordsFor(int code, const QString& engineText) {
    switch (code) {
    case kBusy:
    case kLocked:
        return QStringLiteral("The library \"%1\" is busy: another program is changing it. "
                              "Try again in a moment.");
    case kReadOnly:
        return QStringLiteral("The library \"%1\" is read-only.");
    case kConstraint:
        if (engineText.contains(QLatin1String("FOREIGN KEY"), Qt::CaseInsensitive)) {
            return QStringLiteral("The library \"%1\" refused the change: the item's category "
                                  "no longer exists (another program may have deleted it).");
        }
        return QStringLiteral("The library \"%1\" refused the change: it would break the "
                              "library's rules.");
    case kFull:
        return QStringLiteral("The change could not be stored: the disk that holds the "
                              "library \"%1\" is full.");
    case kCorrupt:
    case kNotADb:
        return QStringLiteral("The library \"%1\" is damaged and can't be used as it is.");
    case kCantOpen:
        return QStringLiteral("The library \"%1\" can't be opened.");
    case kIoErr:
        return QStringLiteral("The library \"%1\" could not be read or written (the system "
                              "reported an input/output error).");
    case kPerm:
    case kAuth:
        return QStringLiteral("Blurtle is not allowed to use the library \"%1\".");
    default:
        return QStringLiteral("The library \"%1\" reported an error.");
    }
}

} // namespace

bool IsReadOnlyCode(int code) {
    return code == kReadOnly;
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
