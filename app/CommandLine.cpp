#include "app/CommandLine.h"

#include "app/BuildInfo.h"
#include "app/ErrorGuard.h"
#include "app/Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>
#include <memory>

namespace {

// Options that are answered on the terminal and need no display.
bool WantsConsoleOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 ||
            std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0) {
            return true;
        }
    }
    return false;
}

void DescribeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Blurtle (TM): a phrase palette. Drag a mnemonic into any "
                       "text field to drop its text."));
    parser.addHelpOption();
    parser.addVersionOption();
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

    return RunStartup();
}
