#pragma once

#include "store/DaoRecordset.h"

#include <cstdint>
#include <string>

// The items that the typed words find, in the find's order (see
// engine/FindWords.h), a page at a time: set m_WORDS, m_GROUP (a FindGroup
// of store/FindQuery.h), m_FIRST and m_COUNT (0 for all from m_FIRST on),
// then Open.
class CPhraseFindQry : public CDaoRecordset {
public:
    CPhraseFindQry();
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::string m_PhraseID;
    std::string m_CategoryID;
    std::string m_Description;
    std::string m_Mnemonic;
    std::string m_WORDS;      // parameter
    std::int32_t m_GROUP = 0; // parameter
    std::int32_t m_FIRST = 0; // parameter
    std::int32_t m_COUNT = 0; // parameter
};
