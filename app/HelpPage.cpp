#include "app/HelpPage.h"

#include "dialogs/BuildInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kBundledPage = QStringLiteral(":/blurtle/help/index.html");

QUrl WriteOutBundledPage() {
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/help");
    const QString target = dir + QStringLiteral("/index.html");
    QDir().mkpath(dir);
    QFile::remove(target);
    if (!QFile::copy(kBundledPage, target)) {
        return {};
    }
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return QUrl::fromLocalFile(target);
}

} // namespace

QUrl HelpPageUrl() {
    const QString configured = QStringLiteral(BLURTLE_HELP_URL);
    if (!configured.isEmpty()) {
        return QUrl::fromUserInput(configured);
    }
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& relative : {QStringLiteral(BLURTLE_HELP_FROM_BINDIR),
                                    QStringLiteral("share/blurtle/help/index.html")}) {
        const QFileInfo page(bin.filePath(relative));
        if (page.isFile()) {
            return QUrl::fromLocalFile(page.canonicalFilePath());
        }
    }
    return WriteOutBundledPage();
}
