#include "app/FindCommand.h"

#include "app/MumbletApp.h"
#include "store/LibraryFind.h"

#include <QTextStream>

#include <cstdio>
#include <exception>
#include <string>

int FindFromCommandLine(const QString& words) {
    CMumbletApp theApp;
    if (!theApp.UseRememberedLibrary()) {
        return 1;
    }
    try {
        const std::vector<FoundPhrase> found = CLibraryFind(words.toStdString()).All();
        // The names' bytes as they are stored.
        std::string lines;
        for (const FoundPhrase& phrase : found) {
            lines += phrase.categoryName + '/' + phrase.mnemonic + '\n';
        }
        std::fwrite(lines.data(), 1, lines.size(), stdout);
        std::fflush(stdout);
        return found.empty() ? 1 : 0;
    } catch (const std::exception& error) {
        QTextStream(stderr) << "blurtle: " << QString::fromStdString(error.what()) << '\n';
    }
    return 1;
}
