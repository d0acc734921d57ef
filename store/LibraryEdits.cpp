#include "store/LibraryEdits.h"

#include "store/CategoryTbl.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"
#include "store/RecordsetCloser.h"

namespace {

// Runs `change` on the row of `Table` with `key`, in a recordset of its
// own; false when there is no such row.
template <class Table, class Change>
bool OnRow(const std::string& key, Change change) {
    Table table;
    CRecordsetCloser closer(table);
    table.Open();
    if (!table.SeekKey(key)) {
        return false;
    }
    change(table);
    return true;
}

} // namespace

namespace LibraryEdits {

std::string AddCategory(const std::string& name, std::int32_t zOrder) {
    CCategoryTbl categories;
    CRecordsetCloser closer(categories);
    categories.Open();
    categories.AddNew();
    categories.m_Description = name;
    categories.m_ZOrder = zOrder;
    categories.Update();
    categories.SetBookmark(categories.GetLastModifiedBookmark());
    // The text form of the key, which the library's older readers look
    // categories up by.
    const std::string key = ExtractBracedIdentifier(categories.m_CategoryID);
    categories.Edit();
    categories.m_strCategoryID = key;
    categories.Update();
    return key;
}

bool RenameCategory(const std::string& key, const std::string& name) {
    return OnRow<CCategoryTbl>(key, [&](CCategoryTbl& row) {
        row.Edit();
        row.m_Description = name;
        row.Update();
    });
}

bool DeleteCategory(const std::string& key) {
    return OnRow<CCategoryTbl>(key, [](CCategoryTbl& row) { row.Delete(); });
}

bool HasCategory(const std::string& key) {
    return OnRow<CCategoryTbl>(key, [](CCategoryTbl&) {});
}

std::optional<std::string> AddItem(const NewItem& item) {
    if (!HasCategory(item.categoryKey)) {
        return std::nullopt;
    }
    CPhraseTbl phrases;
    CRecordsetCloser closer(phrases);
    phrases.Open();
    phrases.AddNew();
    phrases.m_CategoryID = item.categoryKey;
    phrases.m_Data = item.data;
    phrases.m_Mnemonic = item.mnemonic;
    phrases.m_PunctuationLeading = item.leading;
    phrases.m_PunctuationTrailing = item.trailing;
    phrases.m_ZOrder = item.zOrder;
    phrases.Update();
    phrases.SetBookmark(phrases.GetLastModifiedBookmark());
    return ExtractBracedIdentifier(phrases.m_PhraseID);
}

std::optional<std::string> ReadMnemonic(const std::string& key) {
    std::optional<std::string> mnemonic;
    OnRow<CPhraseTbl>(key, [&](CPhraseTbl& row) { mnemonic = row.m_Mnemonic; });
    return mnemonic;
}

bool RenameItem(const std::string& key, const std::string& mnemonic) {
    return OnRow<CPhraseTbl>(key, [&](CPhraseTbl& row) {
        row.Edit();
        row.m_Mnemonic = mnemonic;
        row.Update();
    });
}

bool DeleteItem(const std::string& key) {
    return OnRow<CPhraseTbl>(key, [](CPhraseTbl& row) { row.Delete(); });
}

} // namespace LibraryEdits
