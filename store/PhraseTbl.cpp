#include "store/PhraseTbl.h"

CPhraseTbl::CPhraseTbl() {
    m_nFields = 7;
    m_nDefaultType = dbOpenTable;
}

std::string CPhraseTbl::GetDefaultSQL() {
    return "[tblPhrase]";
}

void CPhraseTbl::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Data]", m_Data);
    DFX_Text(pFX, "[Mnemonic]", m_Mnemonic);
    DFX_Text(pFX, "[PhraseID]", m_PhraseID);
    DFX_Long(pFX, "[ZOrder]", m_ZOrder);
    DFX_Short(pFX, "[PunctuationLeading]", m_PunctuationLeading);
    DFX_Short(pFX, "[PunctuationTrailing]", m_PunctuationTrailing);
}
