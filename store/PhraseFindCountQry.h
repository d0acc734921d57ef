#pragma once

#include "store/DaoRecordset.h"

#include <cstdint>
#include <string>

// How many items the typed words find: set m_WORDS, Open, read m_Found.
class CPhraseFindCountQry : public CDaoRecordset {
public:
    CPhraseFindCountQry();
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::int32_t m_Found = 0;
    std::string m_WORDS; // parameter
};
