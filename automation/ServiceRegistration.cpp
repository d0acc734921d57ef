#include "automation/ServiceRegistration.h"

#include "automation/AutomationNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace ServiceRegistration {
namespace {

// The bus daemon reads the Exec line in two steps. First as a key file
// value, whose only escapes are \\, \s, \n, \t and \r (any other
// backslash makes it refuse the whole file); then it splits the result
// as a shell would, without expanding anything. So a path with anything
// but plain characters goes in single quotes, a single quote inside it is
// closed, escaped and reopened, and then every backslash, and the
// characters a line can't hold, are escaped for the key file.
QString QuotedForExec(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (plain.match(path).hasMatch()) {
        return path;
    }
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    quoted = QLatin1Char('\'') + quoted + QLatin1Char('\'');
    // The backslash first, so the escapes made after it stay as they are.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    quoted.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    quoted.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return quoted;
}

} // namespace

QString ServiceFilePath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data + QStringLiteral("/dbus-1/services/") +
           QString::fromLatin1(AutomationNames::kService) + QStringLiteral(".service");
}

QString ServiceFileText(const QString& executable) {
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 --%3\n")
        .arg(QString::fromLatin1(AutomationNames::kService), QuotedForExec(executable),
             QString::fromLatin1(AutomationNames::kAutomationSwitch));
}

bool Update(const QString& executable, QString* error) {
    const QString path = ServiceFilePath();
    const QByteArray text = ServiceFileText(executable).toUtf8();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == text) {
        return true;
    }
    existing.close();
    QSaveFile file(path);
    const bool written = QDir().mkpath(QFileInfo(path).absolutePath()) &&
                         file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                         file.commit();
    if (!written && error != nullptr) {
        *error = file.errorString();
    }
    return written;
}

QString CheckServerRegistration(const std::function<void(const QString& text)>& warn) {
    QFile file(ServiceFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        warn(QStringLiteral("Error opening Quillfen registry key."));
        return {};
    }
    // The file's whole text: a few hundred bytes at most.
    const QByteArray text = file.read(64 * 1024);
    QString command;
    for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec="))) {
            command = line.mid(5).trimmed();
            break;
        }
    }
    if (command.isEmpty()) {
        warn(QStringLiteral("Error retrieving Quillfen registry path information."));
    }
    return command;
}

} // namespace ServiceRegistration
