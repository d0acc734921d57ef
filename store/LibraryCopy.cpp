#include "store/LibraryCopy.h"

#include "store/BoundFields.h"
#include "store/DaoException.h"
#include "store/EmptyLibrary.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "store/LibraryRowWriter.h"

#include <QSqlError>
#include <QSqlQuery>

#include <memory>
#include <unordered_map>
#include <vector>

namespace {

// A library's rows as its engine gave them, in the order the views list
// them. Text stays as read (text or a file's bytes); Null stays Null.
struct CopiedCategory {
    QVariant key;
    QVariant description;
    qlonglong zOrder = 0;
    QVariant textKey; // strCategoryID
};
struct CopiedItem {
    QVariant categoryKey;
    QVariant data;
    QVariant mnemonic;
    QVariant key;
    qlonglong zOrder = 0;
    qlonglong leading = 0;
    qlonglong trailing = 0;
};
struct LibraryRows {
    std::vector<CopiedCategory> categories;
    std::vector<CopiedItem> items;
};

// A key's stored bytes, to match a view's row with its table's row (both
// give the same stored value).
std::string KeyBytes(const QVariant& key) {
    return FromColumn(key, FieldKind::Text, false).text;
}

// The views give the order (ZOrder, then the order rows were added, which
// each engine keeps its own way); the tables give the columns the views
// leave out.
void ReadCategories(CLibraryConnection& source, LibraryRows& rows) {
    std::unordered_map<std::string, QVariant> textKeys;
    QSqlQuery table = source.Query(
        QStringLiteral("SELECT \"CategoryID\", \"strCategoryID\" FROM \"tblCategory\""));
    while (source.Next(table)) {
        textKeys.emplace(KeyBytes(table.value(0)), table.value(1));
    }
    QSqlQuery view = source.Query(QStringLiteral("SELECT \"CategoryID\", \"Description\", "
                                                 "\"ZOrder\" FROM \"qryCategory\""));
    while (source.Next(view)) {
        CopiedCategory category{view.value(0), view.value(1), view.value(2).toLongLong(), {}};
        category.textKey = textKeys[KeyBytes(category.key)];
        rows.categories.push_back(std::move(category));
    }
}

void ReadItems(CLibraryConnection& source, LibraryRows& rows) {
    struct Punctuation {
        qlonglong leading;
        qlonglong trailing;
    };
    std::unordered_map<std::string, Punctuation> punctuation;
    QSqlQuery table = source.Query(QStringLiteral("SELECT \"PhraseID\", \"PunctuationLeading\", "
                                                  "\"PunctuationTrailing\" FROM \"tblPhrase\""));
    while (source.Next(table)) {
        punctuation.emplace(KeyBytes(table.value(0)),
                            Punctuation{table.value(1).toLongLong(), table.value(2).toLongLong()});
    }
    // Without a category to pick, the view lists every item: ordered by
    // ZOrder and then as added, which is each category's order too.
    QSqlQuery view = source.Query(QStringLiteral("SELECT \"CategoryID\", \"Data\", \"Mnemonic\", "
                                                 "\"PhraseID\", \"ZOrder\" "
                                                 "FROM \"qryPhrasesInCategory\""));
    rows.items.reserve(punctuation.size());
    while (source.Next(view)) {
        CopiedItem item{view.value(0), view.value(1), view.value(2), view.value(3),
                        view.value(4).toLongLong()};
        const Punctuation marks = punctuation[KeyBytes(item.key)];
        item.leading = marks.leading;
        item.trailing = marks.trailing;
        rows.items.push_back(std::move(item));
    }
}

LibraryRows ReadLibrary(const std::string& from) {
    std::unique_ptr<CLibraryConnection> source = OpenLibrary(CLibraryLocation::Parse(from));
    // One read transaction: the tables and the views are read as one
    // state of the library, whatever other programs change meanwhile.
    QSqlDatabase& db = source->Database();
    if (!db.transaction()) {
        source->Fail(db.lastError());
    }
    LibraryRows rows;
    try {
        ReadCategories(*source, rows);
        ReadItems(*source, rows);
    } catch (...) {
        db.rollback();
        throw;
    }
    db.rollback();
    return rows;
}

// Text as the target takes it: a file keeps any bytes, a server only
// valid UTF-8 without zero characters.
QVariant Text(const CLibraryConnection& target, const QVariant& value, const CopiedItem* item,
              const CopiedCategory* category) {
    if (value.isNull()) {
        return QVariant(QMetaType::fromType<QString>());
    }
    QVariant bound = target.BindValue(FromColumn(value, FieldKind::Text, false));
    if (bound.isValid()) {
        return bound;
    }
    const QString owner =
        item != nullptr
            ? QStringLiteral("the item %1").arg(QString::fromStdString(KeyBytes(item->key)))
            : QStringLiteral("the category %1")
                  .arg(QString::fromStdString(KeyBytes(category->key)));
    throw CDaoException(QStringLiteral("The library \"%1\" can't hold a text of %2: it is not "
                                       "valid UTF-8 text, or it holds a zero character.")
                            .arg(QString::fromStdString(target.DisplayName()), owner)
                            .toStdString());
}

void WriteLibrary(CLibraryConnection& target, const LibraryRows& rows) {
    CLibraryRowWriter writer(target);
    for (const CopiedCategory& row : rows.categories) {
        writer.AddCategory(Text(target, row.key, nullptr, &row),
                           Text(target, row.description, nullptr, &row), row.zOrder,
                           Text(target, row.textKey, nullptr, &row));
    }
    for (const CopiedItem& row : rows.items) {
        writer.AddItem(Text(target, row.categoryKey, &row, nullptr),
                       Text(target, row.data, &row, nullptr),
                       Text(target, row.mnemonic, &row, nullptr),
                       Text(target, row.key, &row, nullptr), row.zOrder, row.leading, row.trailing);
    }
    writer.Finish();
}

} // namespace

LibraryCopySummary CopyLibrary(const std::string& from, const std::string& to) {
    // The whole source is read before the target is touched: a source that
    // can't be read leaves no trace at the target, and the two are never
    // open in one transaction together (they may be the same file).
    const LibraryRows rows = ReadLibrary(from);
    FillEmptyLibrary(to, [&rows](CLibraryConnection& target) { WriteLibrary(target, rows); });
    return {static_cast<int>(rows.categories.size()), static_cast<int>(rows.items.size())};
}

std::string DescribeCopy(const LibraryCopySummary& summary, const std::string& from,
                         const std::string& to) {
    const auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return "Copied " + count(summary.categories, "category", "categories") + " and " +
           count(summary.items, "item", "items") + " from " + LibraryDisplayName(from) + " into " +
           LibraryDisplayName(to) + ".";
}
