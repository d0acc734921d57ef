#include "app/Profile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {

QSettings OpenGeneral() {
    QString application = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (application.isEmpty()) {
        application = QStringLiteral("blurtle");
    }
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillfen"),
                     application);
}

QString InGeneral(const QString& key) {
    return QStringLiteral("General/") + key;
}

bool Write(const QString& key, const QVariant& value) {
    QSettings settings = OpenGeneral();
    settings.setValue(InGeneral(key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace

namespace Profile {

QString GetString(const QString& key, const QString& defaultValue) {
    return OpenGeneral().value(InGeneral(key), defaultValue).toString();
}

bool WriteString(const QString& key, const QString& value) {
    return Write(key, value);
}

int GetInt(const QString& key, int defaultValue) {
    bool ok = false;
    const int value = OpenGeneral().value(InGeneral(key), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

bool WriteInt(const QString& key, int value) {
    return Write(key, value);
}

bool Contains(const QString& key) {
    return OpenGeneral().contains(InGeneral(key));
}

QString FileName() {
    return OpenGeneral().fileName();
}

QString WriteProblem() {
    const QFileInfo file(FileName());
    if (file.isDir()) {
        return QStringLiteral("a folder has its name");
    }
    if (file.exists() && !file.isWritable()) {
        return QStringLiteral("the file is read-only");
    }
    // The nearest folder on the way that exists.
    QFileInfo folder(file.absolutePath());
    while (!folder.exists() && !folder.isRoot() &&
           folder.absoluteFilePath() != QLatin1String("/")) {
        folder = QFileInfo(folder.absolutePath());
    }
    if (!folder.isDir()) {
        return QStringLiteral("\"%1\" is a file, not a folder").arg(folder.absoluteFilePath());
    }
    if (!folder.isWritable()) {
        return QStringLiteral("the folder \"%1\" can't be written").arg(folder.absoluteFilePath());
    }
    QSettings settings = OpenGeneral();
    if (settings.status() == QSettings::FormatError) {
        return QStringLiteral("the file is not a settings file");
    }
    return {};
}

} // namespace Profile
