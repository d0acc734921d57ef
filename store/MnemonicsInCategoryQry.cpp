#include "store/MnemonicsInCategoryQry.h"

CMnemonicsInCategoryQry::CMnemonicsInCategoryQry() {
    m_nFields = 3;
    m_nParams = 3;
}

void CMnemonicsInCategoryQry::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Text(pFX, "[Mnemonic]", m_Mnemonic);
    DFX_Text(pFX, "[PhraseID]", m_PhraseID);
    DFX_Long(pFX, "[ZOrder]", m_ZOrder);
    pFX->SetFieldType(CFieldExchange::param);
    DFX_Text(pFX, "CATEGORYID", m_CATEGORYID);
    DFX_Long(pFX, "FIRST", m_FIRST);
    DFX_Long(pFX, "COUNT", m_COUNT);
}
