#include "app/FoundEntryPages.h"

#include "dragdrop/EntryLines.h"

std::vector<MnemonicEntry> CFoundEntryPages::Page(int first, int count) {
    std::vector<MnemonicEntry> entries;
    for (const FoundPhrase& found : m_find.Page(first, count)) {
        const QString line = EntryLines::MakeMnemonicLine(found.mnemonic, found.phraseKey);
        entries.push_back({line, -1,
                           EntryLines::MnemonicName(line) + QStringLiteral("  \u2014  ") +
                               QString::fromStdString(found.categoryName)});
    }
    return entries;
}
