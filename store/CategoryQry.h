#pragma once

#include "store/DaoRecordset.h"

#include <cstdint>
#include <string>

// Recordset over [qryCategory].
class CCategoryQry : public CDaoRecordset {
public:
    CCategoryQry();
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::string m_CategoryID;
    std::string m_Description;
    std::int32_t m_ZOrder = 0;
};
