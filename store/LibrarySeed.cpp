#include "store/LibrarySeed.h"

#include "store/LibraryRowWriter.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text);
}

} // namespace

void InsertSeed(CLibraryConnection& connection, const std::vector<LibrarySeedCategory>& seed) {
    CLibraryRowWriter writer(connection);
    const QVariant none(QMetaType::fromType<QString>());
    int categoryOrder = 0;
    for (const LibrarySeedCategory& entry : seed) {
        const QVariant categoryId =
            writer.AddCategory(none, Q(entry.description), categoryOrder++, none);
        int itemOrder = 0;
        for (const LibrarySeedItem& seedItem : entry.items) {
            writer.AddItem(categoryId, Q(seedItem.data), Q(seedItem.mnemonic), none, itemOrder++,
                           seedItem.punctuationLeading, seedItem.punctuationTrailing);
        }
    }
    writer.Finish();
}
