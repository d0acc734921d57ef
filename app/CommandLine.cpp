#include "app/CommandLine.h"

#include "app/ComposeCommand.h"
#include "app/CopyCommand.h"
#include "app/ErrorGuard.h"
#include "app/FindCommand.h"
#include "app/ImportCommand.h"
#include "app/Startup.h"
#include "automation/AutomationNames.h"
#include "dialogs/BuildInfo.h"
#include "dialogs/PromptService.h"
#include "import/ReaderChild.h"
#include "import/ReaderFrame.h"
#include "store/DaoException.h"
#include "store/Library.h"
#include "store/LibraryLocation.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>

namespace {

// An option as Qt reads its own: "--name" is "-name".
const char* QtSpelling(const char* arg) {
    return arg[0] == '-' && arg[1] == '-' ? arg + 1 : arg;
}

// Whether the command line picks Qt's platform itself.
bool NamesPlatform(int argc, char** argv) {
    return std::any_of(argv + 1, argv + argc, [](const char* given) {
        const char* arg = QtSpelling(given);
        return std::strcmp(arg, "-platform") == 0 || std::strncmp(arg, "-platform=", 10) == 0;
    });
}

// Whether the command line names the X display to use.
bool NamesDisplay(int argc, char** argv) {
    return std::any_of(argv + 1, argv + argc, [](const char* arg) {
        return std::strcmp(QtSpelling(arg), "-display") == 0;
    });
}

// Takes out the options only Qt's X11 platform reads (the display and the
// first window's geometry, title, icon and name): on the stand-in platform
// they would mean nothing and read as unknown options.
void DropWindowSystemOptions(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        static const std::set<std::string_view> kWithValue = {"-display", "-geometry", "-title",
                                                              "-icon", "-name"};
        const std::string_view arg = QtSpelling(argv[i]);
        const bool withValue = kWithValue.contains(arg);
        if (withValue && i + 1 < argc) {
            ++i;
        } else if (!withValue && arg != "-sync") {
            argv[kept++] = argv[i];
        }
    }
    argv[kept] = nullptr;
    argc = kept;
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

const QCommandLineOption kNewLibraryOption(
    QStringLiteral("new-library"),
    QStringLiteral("Creates an empty library at <path> and ends: a file (an existing file "
                   "is never overwritten), or an empty PostgreSQL database given as "
                   "postgresql://[user@]host[:port]/dbname."),
    QStringLiteral("path"));

const QCommandLineOption kComposeOption(
    QStringLiteral("compose"),
    QStringLiteral("Writes the text a drag of <item> would drop to standard output and ends. "
                   "<item> is \"Category/Mnemonic\" or the item's key; no window is shown."),
    QStringLiteral("item"));

const QCommandLineOption kFindOption(
    QStringLiteral("find"),
    QStringLiteral("Writes \"Category/Mnemonic\" of every item that holds all <words> (in "
                   "its mnemonic or its text, ignoring case and accents) to standard output, "
                   "one a line, and ends; exits with 1 when none does."),
    QStringLiteral("words"));

// Given by the session bus when it starts the program for a client.
const QCommandLineOption kAutomationOption(
    QString::fromLatin1(AutomationNames::kAutomationSwitch),
    QStringLiteral("Serves automation clients on the session bus as \"%1\" (the bus starts "
                   "the program so).")
        .arg(QString::fromLatin1(AutomationNames::kService)));

// Options that are answered on the terminal and need no display.
bool WantsConsoleOnly(int argc, char** argv) {
    const QStringList bare = {QStringLiteral("--help"), QStringLiteral("-h"),
                              QStringLiteral("--help-all"), QStringLiteral("--version"),
                              QStringLiteral("-v")};
    QStringList withValue;
    for (const QCommandLineOption* option : {&kNewLibraryOption, &kComposeOption, &kFindOption,
                                             &ImportLibraryOption(), &CopyLibraryOption()}) {
        withValue << QStringLiteral("--") + option->names().constFirst();
    }
    return std::any_of(argv + 1, argv + argc, [&](const char* given) {
        const QString arg = QString::fromLocal8Bit(given);
        return bare.contains(arg) ||
               std::any_of(withValue.begin(), withValue.end(), [&arg](const QString& option) {
                   return arg == option || arg.startsWith(option + QLatin1Char('='));
               });
    });
}

void DescribeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(kProgramCaption +
                                     QStringLiteral(": a phrase palette. Drag a mnemonic into any "
                                                    "text field to drop its text."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(kNewLibraryOption);
    parser.addOption(kComposeOption);
    parser.addOption(kFindOption);
    parser.addOption(kAutomationOption);
    parser.addOption(ImportLibraryOption());
    parser.addOption(CopyLibraryOption());
}

int CreateNewLibrary(const QString& path) {
    try {
        CLibraryLocation location = CLibraryLocation::Parse(path.toStdString());
        if (!location.IsServer()) {
            location =
                CLibraryLocation::Parse(QDir::current().absoluteFilePath(path).toStdString());
        }
        CreateLibrary(location);
        QTextStream(stdout) << "Created the empty library \""
                            << QString::fromStdString(location.Display()) << "\".\n";
    } catch (const CDaoException& error) {
        QTextStream(stderr) << "blurtle: " << QString::fromStdString(error.what()) << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int RunBlurtle(int argc, char** argv) {
    // The program as the reader of an older library for an import it runs
    // itself: no application object, no options of its own.
    if (argc == 3 && std::strcmp(argv[1], kReadOlderLibrarySwitch) == 0) {
        return ServeOldLibraryReading(argv[2]);
    }
    // The application object is made before the command line is read,
    // since it takes Qt's own options (-platform, -display, -style, ...)
    // out of it first. When nothing needs a display (an answer on the
    // terminal), or there is none to use, it runs on Qt's platform that
    // draws nowhere, so help, the version, a new library and the errors of
    // a wrong command line all work without one.
    const bool displayAtHand = HasDisplay() || NamesDisplay(argc, argv);
    const bool standIn =
        !NamesPlatform(argc, argv) && (WantsConsoleOnly(argc, argv) || !displayAtHand);
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (standIn) {
        qputenv("QT_QPA_PLATFORM", "minimal");
        DropWindowSystemOptions(argc, argv);
    }
    CGuardedApplication app(argc, argv);
    // Programs started later (a web browser for the help page) must not
    // inherit the stand-in.
    if (standIn && platform.isEmpty()) {
        qunsetenv("QT_QPA_PLATFORM");
    } else if (standIn) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BLURTLE_VERSION_STRING));

    QCommandLineParser parser;
    DescribeOptions(parser);
    parser.process(app); // help, version and a wrong command line end here

    if (parser.isSet(kNewLibraryOption)) {
        return CreateNewLibrary(parser.value(kNewLibraryOption));
    }
    if (parser.isSet(kComposeOption)) {
        return ComposeFromCommandLine(parser.value(kComposeOption));
    }
    if (parser.isSet(kFindOption)) {
        // Words past the first need no quotes: --find crème brûlée.
        const QStringList words =
            QStringList(parser.value(kFindOption)) + parser.positionalArguments();
        return FindFromCommandLine(words.join(QLatin1Char(' ')));
    }
    if (parser.isSet(ImportLibraryOption())) {
        return RunImportLibrary(parser);
    }
    if (parser.isSet(CopyLibraryOption())) {
        return RunCopyLibrary(parser);
    }
    if (standIn) {
        QTextStream(stderr) << "blurtle: there is no display to show the palette on"
                            << (HasDisplay() ? "." : " (DISPLAY is not set).") << '\n';
        return 1;
    }
    return RunStartup(parser.isSet(kAutomationOption) ? StartKind::Automated : StartKind::Normal);
}
