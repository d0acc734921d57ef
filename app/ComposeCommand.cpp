#include "app/ComposeCommand.h"

#include "app/MumbletApp.h"
#include "automation/ItemLookup.h"

#include <QTextStream>

#include <cstdio>
#include <exception>
#include <string>

int ComposeFromCommandLine(const QString& item) {
    CMumbletApp theApp;
    if (!theApp.UseRememberedLibrary()) {
        return 1;
    }
    QTextStream errors(stderr);
    try {
        const std::string text = ItemLookup::Compose(item);
        // The bytes as they are: a trailing line break is the item's own.
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return 0;
    } catch (const ItemLookup::LookupError& error) {
        errors << "blurtle: " << QString::fromStdString(error.what());
        for (const QString& key : error.Candidates()) {
            errors << "\n  " << key;
        }
        errors << '\n';
    } catch (const std::exception& error) {
        errors << "blurtle: " << QString::fromStdString(error.what()) << '\n';
    }
    return 1;
}
