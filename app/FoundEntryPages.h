#pragma once

#include "dragdrop/MnemonicModel.h"

#include <string>

// The items of every category that typed words find, a page at a time in
// the find's order; each entry shows its mnemonic, then its category.
class CFoundEntryPages : public CEntryPages {
public:
    explicit CFoundEntryPages(std::string words) : m_words(std::move(words)) {}
    std::vector<MnemonicEntry> Page(int first, int count) override;

private:
    std::string m_words;
};
