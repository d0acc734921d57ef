#include "store/PhrasesInCategoryQry.h"

CPhrasesInCategoryQry::CPhrasesInCategoryQry() {
    m_nFields = 3;
    m_nParams = 1;
    m_nDefaultType = dbOpenDynaset;
}

std::string CPhrasesInCategoryQry::GetDefaultSQL() {
    return "[qryPhrasesInCategory]";
}

void CPhrasesInCategoryQry::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Text(pFX, "[Mnemonic]", m_Mnemonic);
    DFX_Text(pFX, "[Data]", m_Data);
    DFX_Text(pFX, "[PhraseID]", m_PhraseID);
    pFX->SetFieldType(CFieldExchange::param);
    DFX_Text(pFX, "CATEGORYID", m_CATEGORYID);
}
