#include "store/LibrarySeed.h"

#include "store/LibraryRowWriter.h"

void InsertSeed(CLibraryConnection& connection, const std::vector<LibrarySeedCategory>& seed) {
    CLibraryRowWriter writer(connection);
    int categoryOrder = 0;
    for (const LibrarySeedCategory& entry : seed) {
        const QVariant categoryId =
            writer.AddCategory({}, QString::fromUtf8(entry.description), categoryOrder++, {});
        int itemOrder = 0;
        for (const LibrarySeedItem& seedItem : entry.items) {
            writer.AddItem(categoryId, QString::fromUtf8(seedItem.data),
                           QString::fromUtf8(seedItem.mnemonic), {}, itemOrder++,
                           seedItem.punctuationLeading, seedItem.punctuationTrailing);
        }
    }
    writer.Finish();
}
