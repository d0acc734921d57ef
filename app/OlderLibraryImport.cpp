#include "app/OlderLibraryImport.h"

#include "dialogs/PromptService.h"
#include "import/ImportProgress.h"
#include "import/LibraryImport.h"
#include "import/ReaderProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace {

// How many of the reader's remarks a message box shows.
constexpr int kWarningsShown = 5;

bool IsWritableFolder(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

// Shows how far the import is once it has taken longer than a moment, and
// lets the user stop it. While it shows it is modal, and only then does it
// let events through, so nothing else of the program runs in between.
class CImportProgressDialog {
public:
    CImportProgressDialog(QWidget* owner, const QString& oldPath)
        : m_dialog(QStringLiteral("Importing \"%1\"...").arg(QFileInfo(oldPath).fileName()),
                   QStringLiteral("Cancel"), 0, kSteps, owner) {
        m_dialog.setWindowTitle(kProgramCaption);
        m_dialog.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
        m_dialog.setMinimumDuration(kMomentMs);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
        m_sinceUpdate.start();
    }

    bool Update(std::int64_t done, std::int64_t total) {
        if (m_sinceUpdate.elapsed() >= kUpdateMs && total > 0) {
            m_sinceUpdate.restart();
            m_dialog.setValue(
                static_cast<int>(std::min<std::int64_t>(done, total) * kSteps / total));
        }
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    static constexpr int kMomentMs = 400;
    static constexpr int kUpdateMs = 30;

    QProgressDialog m_dialog;
    QElapsedTimer m_sinceUpdate;
};

QString Summary(const ImportSummary& summary, const QString& oldPath, const QString& newPath) {
    QString text = QString::fromStdString(
        DescribeImport(summary, QDir::toNativeSeparators(oldPath).toStdString(),
                       QDir::toNativeSeparators(newPath).toStdString()));
    const int count = static_cast<int>(summary.warnings.size());
    for (int i = 0; i < count && i < kWarningsShown; ++i) {
        text += QStringLiteral("\n\n") +
                QString::fromStdString(summary.warnings[static_cast<std::size_t>(i)]);
    }
    if (count > kWarningsShown) {
        text += QStringLiteral("\n\n(%1 more remarks like these.)").arg(count - kWarningsShown);
    }
    return text;
}

// The save dialog until it names a file that is not there yet, or is
// cancelled (empty).
QString ChooseNewLibrary(QWidget* owner, QString proposed) {
    for (;;) {
        const QString chosen = CPromptService::Current().ChooseFileToSave(
            owner, QStringLiteral("Save the Imported Library As"), proposed, LibraryFilter(),
            QStringLiteral("blz"));
        if (chosen.isEmpty()) {
            return {};
        }
        const QFileInfo info(chosen);
        if (!info.exists() && !info.isSymLink()) {
            return chosen;
        }
        CPromptService::Current().Tell(
            owner,
            QStringLiteral("\"%1\" already exists. The imported library needs a new file name.")
                .arg(QDir::toNativeSeparators(chosen)),
            CPromptService::Icon::Warning);
        proposed = chosen;
    }
}

} // namespace

QString LibraryFilter() {
    return kProgramCaption + QStringLiteral(" Databases (*.blz)");
}

QString OlderLibraryFilter() {
    return QStringLiteral("Older libraries (*.mdb)");
}

bool IsOlderLibraryPath(const QString& path) {
    return path.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive);
}

QString ProposedLibraryPath(const QString& oldPath, const QString& dataFolder) {
    const QFileInfo old(oldPath);
    const QString besideOld = old.absolutePath();
    const QDir folder(IsWritableFolder(besideOld) ? besideOld : dataFolder);
    const QString name = old.completeBaseName();
    QString path = folder.filePath(name + QStringLiteral(".blz"));
    for (int n = 2; QFileInfo::exists(path) && n < 1000; ++n) {
        path = folder.filePath(QStringLiteral("%1 (%2).blz").arg(name).arg(n));
    }
    return path;
}

QString ImportOlderLibrary(QWidget* owner, const QString& oldPath, const QString& dataFolder) {
    const QString proposed = ProposedLibraryPath(oldPath, dataFolder);
    if (QFileInfo(proposed).absolutePath() == dataFolder) {
        QDir().mkpath(dataFolder); // so the save dialog opens there
    }
    const QString newPath = ChooseNewLibrary(owner, proposed);
    if (newPath.isEmpty()) {
        return {};
    }
    // The progress dialog goes before anything else is shown: left alive,
    // it would show itself over the next message box.
    ImportSummary summary;
    QString failure;
    try {
        CImportProgressDialog progress(owner, oldPath);
        // The file is read in a child process: a crash inside libmdb ends
        // that process and is told here, and the palette lives on.
        summary = ImportOldLibrary(
            oldPath.toStdString(), newPath.toStdString(),
            [&progress](std::int64_t done, std::int64_t total) {
                return progress.Update(done, total);
            },
            ReadOldLibraryApart);
    } catch (const CImportCancelled&) {
        return {};
    } catch (const std::runtime_error& error) {
        failure = QString::fromStdString(error.what());
    }
    if (!failure.isEmpty()) {
        CPromptService::Current().Tell(owner, failure, CPromptService::Icon::Stop);
        return {};
    }
    CPromptService::Current().Tell(owner, Summary(summary, oldPath, newPath),
                                   CPromptService::Icon::Information);
    return newPath;
}
