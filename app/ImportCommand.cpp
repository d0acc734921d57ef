#include "app/ImportCommand.h"

#include "import/LibraryImport.h"
#include "import/ReaderProcess.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>

#include <stdexcept>

namespace {

// One line on the error output, written at once.
void SayError(const QString& text) {
    QTextStream(stderr) << "blurtle: " << text << '\n';
}

} // namespace

const QCommandLineOption& ImportLibraryOption() {
    static const QCommandLineOption option(
        QStringLiteral("import-library"),
        QStringLiteral("Makes the new library <NEW.blz> from every category and item of the "
                       "older library <OLD.mdb> (Access 97 or 2000-2003) and ends; an existing "
                       "file is never overwritten. <NEW.blz> may also be an empty PostgreSQL "
                       "database (postgresql://...) or one holding an empty library."),
        QStringLiteral("OLD.mdb> <NEW.blz"));
    return option;
}

int RunImportLibrary(const QCommandLineParser& parser) {
    const QString oldPath = parser.value(ImportLibraryOption());
    const QStringList rest = parser.positionalArguments();
    if (rest.size() != 1) {
        SayError(QStringLiteral("--import-library takes two file names: the older library "
                                "(.mdb) and the new library to make (.blz, or a server "
                                "database)."));
        return 1;
    }
    const std::string from = oldPath.toStdString();
    const std::string to = rest.constFirst().toStdString();
    try {
        // Read apart: a crash in the reader becomes a message, not ours.
        const ImportSummary summary = ImportOldLibrary(from, to, {}, ReadOldLibraryApart);
        for (const std::string& warning : summary.warnings) {
            SayError(QString::fromStdString(warning));
        }
        QTextStream(stdout) << QString::fromStdString(DescribeImport(summary, from, to)) << '\n';
    } catch (const std::runtime_error& error) {
        SayError(QString::fromStdString(error.what()));
        return 1;
    }
    return 0;
}
