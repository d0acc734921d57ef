#include "app/CopyCommand.h"

#include "store/LibraryCopy.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>

#include <stdexcept>

const QCommandLineOption& CopyLibraryOption() {
    static const QCommandLineOption option(
        QStringLiteral("copy-library"),
        QStringLiteral("Copies every category and item of the library <FROM> into <TO> and "
                       "ends. Each is a library file or a PostgreSQL database "
                       "(postgresql://...); <TO> must be a new file, an empty database or an "
                       "empty library."),
        QStringLiteral("FROM> <TO"));
    return option;
}

int RunCopyLibrary(const QCommandLineParser& parser) {
    const QStringList rest = parser.positionalArguments();
    if (rest.size() != 1) {
        QTextStream(stderr) << "blurtle: --copy-library takes two libraries: the one to copy "
                               "and the new or empty one to copy it into.\n";
        return 1;
    }
    const std::string from = parser.value(CopyLibraryOption()).toStdString();
    const std::string to = rest.constFirst().toStdString();
    try {
        const LibraryCopySummary summary = CopyLibrary(from, to);
        QTextStream(stdout) << QString::fromStdString(DescribeCopy(summary, from, to)) << '\n';
    } catch (const std::runtime_error& error) {
        QTextStream(stderr) << "blurtle: " << QString::fromStdString(error.what()) << '\n';
        return 1;
    }
    return 0;
}
