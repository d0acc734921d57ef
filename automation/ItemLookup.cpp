#include "automation/ItemLookup.h"

#include "engine/Punctuation.h"
#include "store/CategoryQry.h"
#include "store/KeyHelpers.h"
#include "store/LibraryFind.h"
#include "store/MnemonicsInCategoryQry.h"
#include "store/PhraseTbl.h"
#include "store/RecordsetCloser.h"

#include <QRegularExpression>
#include <QStringView>

#include <algorithm>
#include <map>

namespace ItemLookup {
namespace {

bool IsBracedKey(const QString& text) {
    static const QRegularExpression braced(QStringLiteral(
        "^\\{[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\}$"));
    return braced.match(text).hasMatch();
}

QString BracedKey(const std::string& keyText) {
    return QString::fromStdString(ExtractBracedIdentifier(keyText));
}

std::vector<NamedKey> ItemsOfKey(const QString& categoryKey) {
    std::vector<NamedKey> items;
    CMnemonicsInCategoryQry phrases;
    CRecordsetCloser closer(phrases);
    phrases.m_CATEGORYID = categoryKey.toStdString();
    phrases.Open();
    while (!phrases.IsEOF()) {
        items.push_back(
            {QString::fromStdString(phrases.m_Mnemonic), BracedKey(phrases.m_PhraseID)});
        phrases.MoveNext();
    }
    phrases.Close();
    return items;
}

// The rows whose name is `name`: the exact matches, or when there are
// none, those that differ in letter case only.
std::vector<NamedKey> Named(const std::vector<NamedKey>& rows, QStringView name) {
    std::vector<NamedKey> exact;
    std::vector<NamedKey> caseless;
    for (const NamedKey& row : rows) {
        if (row.name == name) {
            exact.push_back(row);
        } else if (row.name.compare(name, Qt::CaseInsensitive) == 0) {
            caseless.push_back(row);
        }
    }
    return exact.empty() ? caseless : exact;
}

// The key of the one row in `matches`; none throws `notFound`, several an
// ambiguity that lists their keys.
QString TheOneKey(const std::vector<NamedKey>& matches, const QString& rowsWord,
                  const QString& name, const QString& notFound) {
    if (matches.empty()) {
        throw LookupError(LookupError::Kind::NotFound, notFound);
    }
    if (matches.size() > 1) {
        QStringList keys;
        for (const NamedKey& row : matches) {
            keys.append(row.key);
        }
        throw LookupError(LookupError::Kind::Ambiguous,
                          QStringLiteral("%1 %2 are called \"%3\"; name one by its key.")
                              .arg(matches.size())
                              .arg(rowsWord, name),
                          keys);
    }
    return matches.front().key;
}

// Whether the library holds an item with `key`.
bool ItemExists(const QString& key) {
    CPhraseTbl phrase;
    CRecordsetCloser closer(phrase);
    phrase.Open();
    const bool found = phrase.SeekKey(key.toStdString());
    phrase.Close();
    return found;
}

} // namespace

std::vector<NamedKey> Categories() {
    std::vector<NamedKey> categories;
    CCategoryQry query;
    CRecordsetCloser closer(query);
    query.Open();
    while (!query.IsEOF()) {
        categories.push_back(
            {QString::fromStdString(query.m_Description), BracedKey(query.m_CategoryID)});
        query.MoveNext();
    }
    query.Close();
    return categories;
}

QString FindCategoryKey(const QString& category) {
    const std::vector<NamedKey> categories = Categories();
    if (IsBracedKey(category)) {
        const QString key = category.toUpper();
        if (std::any_of(categories.begin(), categories.end(),
                        [&key](const NamedKey& row) { return row.key == key; })) {
            return key;
        }
        throw LookupError(LookupError::Kind::NotFound,
                          QStringLiteral("There is no category with the key %1.").arg(category));
    }
    return TheOneKey(Named(categories, category), QStringLiteral("categories"), category,
                     QStringLiteral("There is no category \"%1\".").arg(category));
}

std::vector<NamedKey> ItemsOf(const QString& category) {
    return ItemsOfKey(FindCategoryKey(category));
}

QString FindItemKey(const QString& reference) {
    if (IsBracedKey(reference)) {
        const QString key = reference.toUpper();
        if (!ItemExists(key)) {
            throw LookupError(LookupError::Kind::NotFound,
                              QStringLiteral("There is no item with the key %1.").arg(reference));
        }
        return key;
    }
    // Names that differ in letter case only are as long as each other, so
    // a "/" can only end a category name where some category's name is
    // that long. Each such length is tried once, shortest first, which
    // keeps the work in step with the reference's length however many
    // slashes it holds.
    std::map<qsizetype, std::vector<NamedKey>> categoriesByLength;
    for (NamedKey& category : Categories()) {
        const qsizetype length = category.name.size();
        categoriesByLength[length].push_back(std::move(category));
    }
    const QStringView whole(reference);
    std::vector<NamedKey> matches;
    for (const auto& [length, categories] : categoriesByLength) {
        if (length >= whole.size() || whole.at(length) != QLatin1Char('/')) {
            continue;
        }
        const QStringView mnemonic = whole.mid(length + 1);
        for (const NamedKey& category : Named(categories, whole.left(length))) {
            for (const NamedKey& item : Named(ItemsOfKey(category.key), mnemonic)) {
                matches.push_back(item);
            }
        }
    }
    return TheOneKey(matches, QStringLiteral("items"), reference,
                     reference.contains(QLatin1Char('/'))
                         ? QStringLiteral("There is no item \"%1\".").arg(reference)
                         : QStringLiteral("\"%1\" names no item: give \"Category/Mnemonic\" or "
                                          "the item's key.")
                               .arg(reference));
}

std::string ComposeItem(const QString& key) {
    CPhraseTbl phrase;
    CRecordsetCloser closer(phrase);
    phrase.Open();
    if (!phrase.SeekKey(key.toUpper().toStdString())) {
        throw LookupError(LookupError::Kind::NotFound,
                          QStringLiteral("There is no item with the key %1.").arg(key));
    }
    std::string text =
        ComposeDragText(phrase.m_Data, phrase.m_PunctuationLeading, phrase.m_PunctuationTrailing);
    phrase.Close();
    return text;
}

std::string Compose(const QString& reference) {
    return ComposeItem(FindItemKey(reference));
}

std::vector<NamedKey> Find(const QString& words) {
    std::vector<NamedKey> found;
    for (const FoundPhrase& phrase : CLibraryFind(words.toStdString()).All()) {
        found.push_back({QString::fromStdString(phrase.categoryName + '/' + phrase.mnemonic),
                         QString::fromStdString(phrase.phraseKey)});
    }
    return found;
}

} // namespace ItemLookup
