#include "app/CommandLine.h"

#include "app/BuildInfo.h"
#include "app/ErrorGuard.h"
#include "app/Startup.h"
#include "store/DaoException.h"
#include "store/LibraryFile.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstring>
#include <memory>

namespace {

// Options that are answered on the terminal and need no display.
bool WantsConsoleOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 ||
            std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0 ||
            std::strcmp(arg, "--new-library") == 0 ||
            std::strncmp(arg, "--new-library=", 14) == 0) {
            return true;
        }
    }
    return false;
}

const QCommandLineOption& NewLibraryOption() {
    static const QCommandLineOption option(
        QStringLiteral("new-library"),
        QStringLiteral("Creates an empty library file at <path> and ends; an existing file is "
                       "never overwritten."),
        QStringLiteral("path"));
    return option;
}

void DescribeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Blurtle (TM): a phrase palette. Drag a mnemonic into any "
                       "text field to drop its text."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(NewLibraryOption());
}

int CreateNewLibrary(const QString& path) {
    const QString absolute = QDir::current().absoluteFilePath(path);
    try {
        CreateLibraryFile(absolute.toStdString());
    } catch (const CDaoException& error) {
        QTextStream(stderr) << "blurtle: " << QString::fromStdString(error.what()) << '\n';
        return 1;
    }
    QTextStream(stdout) << "Created the empty library \"" << absolute << "\".\n";
    return 0;
}

} // namespace

int RunBlurtle(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app;
    if (WantsConsoleOnly(argc, argv)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<CGuardedApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BLURTLE_VERSION_STRING));

    QCommandLineParser parser;
    DescribeOptions(parser);
    parser.process(*app);

    if (parser.isSet(NewLibraryOption())) {
        return CreateNewLibrary(parser.value(NewLibraryOption()));
    }

    return RunStartup();
}
