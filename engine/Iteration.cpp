#include "engine/Iteration.h"

void CIterationArray::SetAt(std::size_t index, std::unique_ptr<CIteration> entry) {
    m_entries.at(index) = std::move(entry);
}
