#pragma once

#include "store/DaoRecordset.h"

#include <cstdint>
#include <string>

// Recordset over [qryPhrasesInCategory].
class CPhrasesInCategoryQry : public CDaoRecordset {
public:
    CPhrasesInCategoryQry();
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::string m_Mnemonic;
    std::string m_Data;
    std::string m_PhraseID;
    std::string m_CATEGORYID; // parameter
};
