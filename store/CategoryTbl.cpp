#include "store/CategoryTbl.h"

CCategoryTbl::CCategoryTbl() {
    m_nFields = 4;
    m_nDefaultType = dbOpenTable;
}

std::string CCategoryTbl::GetDefaultSQL() {
    return "[tblCategory]";
}

void CCategoryTbl::DoFieldExchange(CFieldExchange* pFX) {
    pFX->SetFieldType(CFieldExchange::outputColumn);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Description]", m_Description);
    DFX_Long(pFX, "[ZOrder]", m_ZOrder);
    DFX_Text(pFX, "[strCategoryID]", m_strCategoryID);
}
