#pragma once

#include "store/DaoRecordset.h"

#include <cstdint>
#include <string>

// Recordset over [tblPhrase].
class CPhraseTbl : public CDaoRecordset {
public:
    CPhraseTbl();
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::string m_CategoryID;
    std::string m_Data;
    std::string m_Mnemonic;
    std::string m_PhraseID;
    std::int32_t m_ZOrder = 0;
    std::int16_t m_PunctuationLeading = 0;
    std::int16_t m_PunctuationTrailing = 0;
};
