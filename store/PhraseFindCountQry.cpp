#include "store/PhraseFindCountQry.h"

CPhraseFindCountQry::CPhraseFindCountQry() {
    m_nFields = 1;
    m_nParams = 3;
    m_nDefaultType = dbOpenDynaset;
}

std::string CPhraseFindCountQry::GetDefaultSQL() {
    return "[qryPhraseFindCount]";
}

void CPhraseFindCountQry::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Long(pFX, "[Found]", m_Found);
    pFX->SetFieldType(CFieldExchange::param);
    DFX_Text(pFX, "WORDS", m_WORDS);
    DFX_Long(pFX, "GROUP", m_GROUP);
    DFX_Long(pFX, "CEILING", m_CEILING);
}
