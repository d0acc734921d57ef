#pragma once

#include "dragdrop/MnemonicModel.h"
#include "store/LibraryFind.h"

#include <string>

// The items of every category that typed words find, a page at a time in
// the find's order; each entry shows its mnemonic, then its category. One
// finder serves every page, so the way to read is chosen once.
class CFoundEntryPages : public CEntryPages {
public:
    explicit CFoundEntryPages(std::string words) : m_find(std::move(words)) {}
    std::vector<MnemonicEntry> Page(int first, int count) override;

private:
    CLibraryFind m_find;
};
