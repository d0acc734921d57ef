#include "import/LibraryImport.h"

#include "import/MdbReader.h"
#include "import/OldLibraryError.h"
#include "store/BoundFields.h"
#include "store/DaoException.h"
#include "store/EmptyLibrary.h"
#include "store/LibraryConnection.h"
#include "store/LibraryFile.h"
#include "store/LibraryLocation.h"
#include "store/LibraryRowWriter.h"

#include <QFileInfo>
#include <QVariant>

#include <algorithm>
#include <unordered_set>

namespace {

// Keys compare without regard to letter case, as the library's do.
std::string Folded(const std::string& key) {
    std::string folded = key;
    std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return folded;
}

// A key the file holds twice can't be a key of the library: the file is
// damaged (Access never writes two rows with one key).
void CheckUnique(std::unordered_set<std::string>& seen, const std::string& key,
                 const OldLibrary& library, const char* what) {
    if (!key.empty() && !seen.insert(Folded(key)).second) {
        ThrowOldLibraryError(library.source, std::string("it holds two ") + what +
                                                 " with the key " + key + "; the file is damaged.");
    }
}

void Fill(CLibraryConnection& connection, const OldLibrary& library, CProgressSteps& progress,
          ImportSummary& summary) {
    CLibraryRowWriter writer(connection);
    // Text goes in as the library binds it; a server refuses text with a
    // zero character, and says so here before any statement runs.
    const auto text = [&connection](const std::string& value) {
        FieldValue field;
        field.text = value;
        QVariant bound = connection.BindValue(field);
        if (!bound.isValid()) {
            throw CDaoException(QStringLiteral("The library \"%1\" can't hold the text \"%2\": "
                                               "it holds a zero character.")
                                    .arg(QString::fromStdString(connection.DisplayName()),
                                         QString::fromUtf8(value).remove(QChar(0)))
                                    .toStdString());
        }
        return bound;
    };
    // An empty key is left Null: a new key, or for strCategoryID the
    // library's trigger copies the key into it.
    const auto key = [&text](const std::string& value) {
        return value.empty() ? QVariant() : text(value);
    };
    const auto addCategory = [&](const std::string& categoryKey, const std::string& description,
                                 std::int32_t zOrder, const std::string& textKey) {
        const QVariant made =
            writer.AddCategory(key(categoryKey), text(description), zOrder, key(textKey));
        progress.Step();
        return categoryKey.empty() ? made.toString().toStdString() : categoryKey;
    };
    std::unordered_set<std::string> categoryKeys;
    std::int32_t lastOrder = -1;
    for (const OldCategory& category : library.categories) {
        CheckUnique(categoryKeys, category.key, library, "categories");
        addCategory(category.key, category.description, category.zOrder,
                    category.textKey.empty() ? category.key : category.textKey);
        lastOrder = std::max(lastOrder, category.zOrder);
    }
    summary.categories = static_cast<int>(library.categories.size());

    const auto stray = [&](const OldItem& item) {
        return item.categoryKey.empty() || categoryKeys.count(Folded(item.categoryKey)) == 0;
    };
    std::unordered_set<std::string> itemKeys;
    for (const OldItem& item : library.items) {
        CheckUnique(itemKeys, item.key, library, "items");
    }
    summary.itemsWithoutCategory =
        static_cast<int>(std::count_if(library.items.begin(), library.items.end(), stray));
    std::string strayCategory;
    if (summary.itemsWithoutCategory > 0) {
        strayCategory =
            addCategory({}, kCategoryForStrayItems, lastOrder < 0 ? 0 : lastOrder + 1, {});
        ++summary.categories;
    }
    for (const OldItem& item : library.items) {
        writer.AddItem(text(stray(item) ? strayCategory : item.categoryKey), text(item.data),
                       text(item.mnemonic), key(item.key), item.zOrder, item.punctuationLeading,
                       item.punctuationTrailing);
        progress.Step();
    }
    writer.Finish();
    summary.items = static_cast<int>(library.items.size());
}

} // namespace

ImportSummary WriteImportedLibrary(const OldLibrary& library, const std::string& libraryPath,
                                   const ImportProgress& progress) {
    // Counted on from the rows read: every row is written, and maybe the
    // category for stray items; the commit is the last step.
    const auto rows = static_cast<std::int64_t>(library.categories.size() + library.items.size());
    CProgressSteps counter(progress, rows, 2 * rows + 2);
    ImportSummary summary;
    summary.warnings = library.warnings;
    const auto fill = [&](CLibraryConnection& connection) {
        Fill(connection, library, counter, summary);
    };
    // A file is always a new one; a server database may be empty or hold
    // an empty library.
    if (CLibraryLocation::IsServerAddress(libraryPath)) {
        FillEmptyLibrary(libraryPath, fill);
    } else {
        CreateLibraryFile(libraryPath, fill);
    }
    return summary;
}

ImportSummary ImportOldLibrary(const std::string& oldPath, const std::string& libraryPath,
                               const ImportProgress& progress, const OldLibraryReader& read) {
    // The new file's name is refused before the old file is read, so a
    // mistyped command line says the cheaper thing first; the creation
    // checks again.
    const QFileInfo target(QString::fromStdString(libraryPath));
    if (!CLibraryLocation::IsServerAddress(libraryPath) &&
        (target.exists() || target.isSymLink())) {
        throw CDaoException("\"" + libraryPath +
                            "\" already exists; a new library needs a new file name.");
    }
    // Reading is half of the work: the rows read, then written.
    const ImportProgress reading = [&progress](std::int64_t done, std::int64_t total) {
        return !progress || progress(done, 2 * total + 2);
    };
    const OldLibrary library = read(oldPath, reading);
    return WriteImportedLibrary(library, libraryPath, progress);
}

std::string DescribeImport(const ImportSummary& summary, const std::string& oldPath,
                           const std::string& libraryPath) {
    const auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string text = "Imported " + count(summary.categories, "category", "categories") + " and " +
                       count(summary.items, "item", "items") + " from " + oldPath + " into " +
                       LibraryDisplayName(libraryPath) + ".";
    if (summary.itemsWithoutCategory > 0) {
        // Appended, not " " + …: GCC 12 at -O3 takes a text put in front of
        // a fresh string for an overlapping copy (-Wrestrict).
        text += ' ';
        text += count(summary.itemsWithoutCategory, "item whose category is not in the file is",
                      "items whose category is not in the file are") +
                " in the new category \"" + kCategoryForStrayItems + "\".";
    }
    return text;
}
