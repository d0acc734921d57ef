#include "engine/IterationSteps.h"

#include "engine/VerbiageIteration.h"

#include <algorithm>
#include <cstddef>
#include <memory>

namespace {

// A weight character's value: its code taken as a signed 8-bit number,
// minus 48. Only "1" to "9" are written by the program.
int WeightValue(const std::string& weight) {
    if (weight.empty()) {
        return 0;
    }
    return static_cast<int>(static_cast<signed char>(weight.front())) - 48;
}

} // namespace

void CIterationSteps::CommitInto(int position, const std::string& shown) {
    const std::size_t index = static_cast<std::size_t>(position - 1);
    if (index < m_list.GetSize()) {
        m_list.SetAt(index, std::make_unique<CIteration>(shown));
    }
}

void CIterationSteps::Parts(int number, std::string& text, std::string& weight) const {
    text.clear();
    weight.clear();
    const std::size_t index = static_cast<std::size_t>(number - 1);
    if (index < m_list.GetSize() && m_list.GetAt(index) != nullptr) {
        CVerbiageIteration::SplitIteration(m_list.GetAt(index)->m_strIteration, text, weight);
    }
}

CIterationSteps::Step CIterationSteps::Take(int position, int delta, const std::string& shown) {
    Step step;
    const int n = position + delta;
    const int c = static_cast<int>(m_list.GetSize());
    if (n > kMaxIterations) {
        // The last iteration there can be: stored, but no step beyond it.
        CommitInto(position, shown);
        step.beep = true;
        return step;
    }
    if (n >= 1 && n <= c) {
        CommitInto(position, shown);
        Parts(n, step.text, step.weight);
    } else if (n == c + 1 && n >= 1) {
        CommitInto(position, shown);
        step.beep = true;
        m_list.Add(std::make_unique<CIteration>(std::string()));
        step.blank = true;
    } else if (position == 1 && delta == 1 && c == 0) {
        m_list.Add(std::make_unique<CIteration>(shown));
        m_list.Add(std::make_unique<CIteration>(std::string()));
        step.blank = true;
    } else {
        return step;
    }
    if (step.blank) {
        step.weight.push_back('9'); // a new iteration's weight
    }
    step.moved = true;
    step.number = n;
    return step;
}

bool CIterationSteps::CommitForSave(int position, const std::string& shown) {
    const std::size_t c = m_list.GetSize();
    const bool beep = c > 0 && static_cast<std::size_t>(position) >= c;
    if (position >= 1 && static_cast<std::size_t>(position) <= c) {
        CommitInto(position, shown);
    } else {
        m_list.Add(std::make_unique<CIteration>(shown));
    }
    return beep;
}

std::vector<std::string> CIterationSteps::Snapshot() const {
    std::vector<std::string> iterations;
    iterations.reserve(m_list.GetSize());
    for (std::size_t i = 0; i < m_list.GetSize(); ++i) {
        const CIteration* entry = m_list.GetAt(i);
        iterations.push_back(entry != nullptr ? entry->m_strIteration : std::string());
    }
    return iterations;
}

void CIterationSteps::Restore(const std::vector<std::string>& iterations) {
    m_list.RemoveAll();
    for (const std::string& iteration : iterations) {
        m_list.Add(std::make_unique<CIteration>(iteration));
    }
}

double CIterationSteps::Chance(int number, const std::string& shownText,
                               const std::string& shownWeight) const {
    const std::size_t shown = static_cast<std::size_t>(number - 1);
    const int own = shownText.empty() ? 0 : std::max(0, WeightValue(shownWeight));
    int total = own;
    for (std::size_t i = 0; i < m_list.GetSize(); ++i) {
        const CIteration* entry = m_list.GetAt(i);
        if (i == shown || entry == nullptr) {
            continue;
        }
        // Counted when it has a text: more than its last byte, the weight.
        const std::string& stored = entry->m_strIteration;
        if (stored.size() > 1) {
            total += std::max(0, WeightValue(stored.substr(stored.size() - 1)));
        }
    }
    return total > 0 ? 100.0 * own / total : 0.0;
}
