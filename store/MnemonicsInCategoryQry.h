#pragma once

#include "store/PhrasesInCategoryQry.h"

#include <cstdint>

// The items of one category as the palette's list shows them: the same
// query in the same order, reading only what the list needs. The position
// each item is stored at comes along, so an order save writes only the
// rows whose position changes. m_Data stays empty.
class CMnemonicsInCategoryQry : public CPhrasesInCategoryQry {
public:
    CMnemonicsInCategoryQry();
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::int32_t m_ZOrder = 0;
};
