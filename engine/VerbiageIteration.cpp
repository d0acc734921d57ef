#include "engine/VerbiageIteration.h"

CVerbiageIteration::~CVerbiageIteration() {
    ClearIterations();
}

void CVerbiageIteration::SplitIteration(const std::string& iteration, std::string& text,
                                        std::string& weight) {
    // Work on a copy: the caller may pass one of the outputs as the input.
    const std::string stored = iteration;
    const std::size_t split = stored.empty() ? 0 : stored.size() - 1;
    text = stored.substr(0, split);
    weight = stored.substr(split);
}

void CVerbiageIteration::ParseData() {
    // The records are always split at "|" as stored; m_strSeparator is what
    // BuildData writes, and the two never differ in this program.
    std::string::size_type start = 0;
    while (start < m_strData.size()) {
        const std::string::size_type bar = m_strData.find('|', start);
        const std::string::size_type end = bar == std::string::npos ? m_strData.size() : bar;
        if (end > start) {
            m_arrIterations.Add(std::make_unique<CIteration>(m_strData.substr(start, end - start)));
        }
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
}

void CVerbiageIteration::BuildData() {
    m_strData.clear();
    for (std::size_t i = 0; i < m_arrIterations.GetSize(); ++i) {
        const CIteration* entry = m_arrIterations.GetAt(i);
        // An entry's text is all of it but its last byte, the weight.
        if (entry != nullptr && entry->m_strIteration.size() > 1) {
            m_strData += entry->m_strIteration + m_strSeparator;
        }
    }
}

void CVerbiageIteration::ClearIterations() {
    m_arrIterations.RemoveAll();
}
