#include "store/LibraryEdits.h"

#include "store/CategoryTbl.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"
#include "store/RecordsetCloser.h"

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
    CCategoryTbl categories;
    CRecordsetCloser closer(categories);
    categories.Open();
    if (!categories.SeekKey(key)) {
        return false;
    }
    categories.Edit();
    categories.m_Description = name;
    categories.Update();
    return true;
}

bool DeleteCategory(const std::string& key) {
    CCategoryTbl categories;
    CRecordsetCloser closer(categories);
    categories.Open();
    if (!categories.SeekKey(key)) {
        return false;
    }
    categories.Delete();
    return true;
}

bool HasCategory(const std::string& key) {
    CCategoryTbl categories;
    CRecordsetCloser closer(categories);
    categories.Open();
    return categories.SeekKey(key);
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
    CPhraseTbl phrases;
    CRecordsetCloser closer(phrases);
    phrases.Open();
    if (!phrases.SeekKey(key)) {
        return std::nullopt;
    }
    return phrases.m_Mnemonic;
}

bool RenameItem(const std::string& key, const std::string& mnemonic) {
    CPhraseTbl phrases;
    CRecordsetCloser closer(phrases);
    phrases.Open();
    if (!phrases.SeekKey(key)) {
        return false;
    }
    phrases.Edit();
    phrases.m_Mnemonic = mnemonic;
    phrases.Update();
    return true;
}

bool DeleteItem(const std::string& key) {
    CPhraseTbl phrases;
    CRecordsetCloser closer(phrases);
    phrases.Open();
    if (!phrases.SeekKey(key)) {
        return false;
    }
    phrases.Delete();
    return true;
}

} // namespace LibraryEdits
