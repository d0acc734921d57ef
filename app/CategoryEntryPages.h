#pragma once

#include "dragdrop/MnemonicModel.h"

#include <QString>

#include <string>

class CMnemonicsInCategoryQry;

// The entries of one category, read from the library a page at a time in
// the list's order, each with the position its row is stored at. `rows`
// (the palette's) is opened for each page and closed again.
class CCategoryEntryPages : public CEntryPages {
public:
    CCategoryEntryPages(CMnemonicsInCategoryQry& rows, const QString& categoryKey)
        : m_rows(rows), m_key(categoryKey.toStdString()) {}
    std::vector<MnemonicEntry> Page(int first, int count) override;

private:
    CMnemonicsInCategoryQry& m_rows;
    std::string m_key;
};
