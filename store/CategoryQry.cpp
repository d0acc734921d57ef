#include "store/CategoryQry.h"

CCategoryQry::CCategoryQry() {
    m_nFields = 3;
    m_nDefaultType = dbOpenDynaset;
}

std::string CCategoryQry::GetDefaultSQL() {
    return "[qryCategory]";
}

void CCategoryQry::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Description]", m_Description);
    DFX_Long(pFX, "[ZOrder]", m_ZOrder);
}
