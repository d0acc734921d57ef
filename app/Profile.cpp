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

} // namespace

namespace Profile {

QString GetString(const QString& key, const QString& defaultValue) {
    return OpenGeneral().value(InGeneral(key), defaultValue).toString();
}

void WriteString(const QString& key, const QString& value) {
    QSettings settings = OpenGeneral();
    settings.setValue(InGeneral(key), value);
    settings.sync();
}

int GetInt(const QString& key, int defaultValue) {
    bool ok = false;
    const int value = OpenGeneral().value(InGeneral(key), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

void WriteInt(const QString& key, int value) {
    QSettings settings = OpenGeneral();
    settings.setValue(InGeneral(key), value);
    settings.sync();
}

bool Contains(const QString& key) {
    return OpenGeneral().contains(InGeneral(key));
}

} // namespace Profile
