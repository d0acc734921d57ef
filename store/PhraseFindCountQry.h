#pragma once

#include "store/DaoRecordset.h"

#include <cstdint>
#include <string>

// How many items the typed words find: set m_WORDS, m_GROUP (a FindGroup
// of store/FindQuery.h) and m_CEILING (0: none; see MakeFindStatement),
// Open, read m_Found.
class CPhraseFindCountQry : public CDaoRecordset {
public:
    CPhraseFindCountQry();
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::int32_t m_Found = 0;
    std::string m_WORDS;        // parameter
    std::int32_t m_GROUP = 0;   // parameter
    std::int32_t m_CEILING = 0; // parameter
};
