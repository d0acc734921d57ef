#include "app/MumbletApp.h"

#include "app/FactoryLibrary.h"
#include "app/OlderLibraryImport.h"
#include "app/Profile.h"
#include "dialogs/PromptService.h"
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/Library.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <QWidget>

namespace {

CMumbletApp* g_instance = nullptr;

const QString kDatabasePathKey = QStringLiteral("DatabasePath");

// The first start makes the library the program works with from then on,
// as an installer would; false when it could not (the usual questions
// follow then).
bool CreateFactoryLibrary(const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    try {
        CreateLibraryFile(path.toStdString(), FactoryLibraryContent());
    } catch (const CDaoException&) {
        return false;
    }
    return true;
}

} // namespace

CMumbletApp::CMumbletApp() {
    g_instance = this;
    SetCurrentLibrarySource([this] { return m_library; });
}

CMumbletApp::~CMumbletApp() {
    if (g_instance == this) {
        g_instance = nullptr;
        SetCurrentLibrarySource({});
    }
}

void CMumbletApp::UseLibrary(CLibraryLocation library) {
    m_library = std::move(library);
    m_strDatabasePath = m_library.Text();
}

bool CMumbletApp::UseRememberedLibrary() {
    UseLibrary(CLibraryLocation::ParseOrKeep(
        Profile::GetString(kDatabasePathKey, DefaultDatabasePath()).toStdString()));
    if (m_strDatabasePath.empty()) {
        QTextStream(stderr)
            << "blurtle: no library is chosen yet; start the palette once to choose one.\n";
        return false;
    }
    return true;
}

CMumbletApp* CMumbletApp::Instance() {
    return g_instance;
}

QString CMumbletApp::DefaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quillfen/Blurtle/Blurtle.blz");
}

void CMumbletApp::VerifyDatabasePath(QWidget* palette) {
    const QString defaultPath = DefaultDatabasePath();
    if (!Profile::Contains(kDatabasePathKey) && !QFileInfo::exists(defaultPath) &&
        CreateFactoryLibrary(defaultPath)) {
        UseLibrary(CLibraryLocation::Parse(defaultPath.toStdString()));
        return;
    }

    UseLibrary(CLibraryLocation::ParseOrKeep(
        Profile::GetString(kDatabasePathKey, defaultPath).toStdString()));
    if (m_strDatabasePath.empty()) {
        CPromptService::Current().Tell(
            palette, QStringLiteral("Default database path is not defined.  Press OK to assign "
                                    "the default database.  The factory default location "
                                    "is:\n\n") +
                         defaultPath +
                         QStringLiteral(".\n\nYou may also share this database or access "
                                        "another Blurtle database across your network."));
        ChooseDatabaseFile(palette, false);
    }

    const QString path = QString::fromStdString(m_strDatabasePath);
    if (!m_library.IsServer() && !QFileInfo(path).isFile()) {
        CPromptService::Current().Tell(
            palette, QStringLiteral("Unable to locate database file \"%1\".  Please locate a "
                                    "valid Blurtle data file.")
                         .arg(path));
        ChooseDatabaseFile(palette, false);
        return;
    }
    // A file (or a server database) that is there but no library this
    // version can use would make every recordset fail: say so once, naming
    // it, and let the user pick another.
    const std::string problem = CheckLibrary(m_library);
    if (!problem.empty()) {
        CPromptService::Current().Tell(
            palette, QString::fromStdString(problem) +
                         QStringLiteral("  Please locate a valid Blurtle data file."));
        ChooseDatabaseFile(palette, false);
    }
}

void CMumbletApp::ChooseDatabaseFile(QWidget* owner, bool closeAfterChange) {
    QString chosen = CPromptService::Current().ChooseFileToOpen(
        owner, QString::fromStdString(m_strDatabasePath),
        LibraryFilter() + QStringLiteral(";;") + OlderLibraryFilter(), QStringLiteral("blz"));
    if (IsOlderLibraryPath(chosen)) {
        // the new library, or nothing
        chosen = ImportOlderLibrary(owner, chosen, QFileInfo(DefaultDatabasePath()).absolutePath());
    }
    if (chosen.isEmpty()) {
        return;
    }
    // Keeping a file (or a server database) that is no library would fail
    // every recordset and every later start; it counts as a cancel, with
    // the reason shown. A server is asked for its password here if it
    // wants one, and keeps it for the session.
    const CLibraryLocation location = CLibraryLocation::ParseOrKeep(chosen.toStdString());
    const std::string problem = CheckLibrary(location);
    if (!problem.empty()) {
        CPromptService::Current().Tell(owner, QString::fromStdString(problem));
        return;
    }
    // A password typed into the address logged in and is kept for the
    // session; neither the settings nor any message ever hold it.
    const CLibraryLocation kept = location.WithoutPassword();
    chosen = QString::fromStdString(kept.Text());
    if (!Profile::WriteString(kDatabasePathKey, chosen)) {
        QString why = Profile::WriteProblem();
        why = why.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + why + QLatin1Char('.');
        const QString notRemembered =
            QStringLiteral("The new library \"%1\" could not be remembered: the settings file "
                           "\"%2\" could not be written%3")
                .arg(chosen, Profile::FileName(), why);
        if (closeAfterChange) {
            // Closing now would only bring the old library back at the
            // next start: the palette stays with the library it has open.
            CPromptService::Current().Tell(
                owner,
                notRemembered + QStringLiteral("  Blurtle goes on with the library it has open."),
                CPromptService::Icon::Stop);
            return;
        }
        // At start-up the chosen library is used all the same, for this
        // session.
        CPromptService::Current().Tell(
            owner, notRemembered + QStringLiteral("  It is used until Blurtle ends."),
            CPromptService::Icon::Warning);
        UseLibrary(kept);
        return;
    }
    UseLibrary(kept);
    if (closeAfterChange) {
        CPromptService::Current().Tell(
            owner, QStringLiteral("In order to initialize the database, Blurtle must now close"));
        if (owner != nullptr) {
            owner->close();
        }
    }
}
