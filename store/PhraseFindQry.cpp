#include "store/PhraseFindQry.h"

CPhraseFindQry::CPhraseFindQry() {
    m_nFields = 4;
    m_nParams = 4;
    m_nDefaultType = dbOpenDynaset;
}

std::string CPhraseFindQry::GetDefaultSQL() {
    return "[qryPhraseFind]";
}

void CPhraseFindQry::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Text(pFX, "[PhraseID]", m_PhraseID);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Description]", m_Description);
    DFX_Text(pFX, "[Mnemonic]", m_Mnemonic);
    pFX->SetFieldType(CFieldExchange::param);
    DFX_Text(pFX, "WORDS", m_WORDS);
    DFX_Long(pFX, "GROUP", m_GROUP);
    DFX_Long(pFX, "FIRST", m_FIRST);
    DFX_Long(pFX, "COUNT", m_COUNT);
}
