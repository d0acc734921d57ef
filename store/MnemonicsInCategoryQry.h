#pragma once

#include "store/PhrasesInCategoryQry.h"

#include <cstdint>

// The items of one category as the palette's list shows them: the same
// query in the same order, reading only what the list needs, a page at a
// time (m_FIRST, and m_COUNT rows; 0 for all from m_FIRST on). The
// position each item is stored at comes along, so an order save writes
// only the rows whose position changes. m_Data stays empty.
class CMnemonicsInCategoryQry : public CPhrasesInCategoryQry {
public:
    CMnemonicsInCategoryQry();
    void DoFieldExchange(CFieldExchange* pFX) override;

    std::int32_t m_ZOrder = 0;
    std::int32_t m_FIRST = 0; // parameter
    std::int32_t m_COUNT = 0; // parameter
};
