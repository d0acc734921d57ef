#include "engine/FindWords.h"

#include "engine/FindFold.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

CFindWords::CFindWords(std::string_view typed) {
    std::size_t i = 0;
    while (i < typed.size()) {
        while (i < typed.size() && IsBlank(typed[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < typed.size() && !IsBlank(typed[i])) {
            ++i;
        }
        // A word of combining accents alone folds to nothing, which every
        // text would hold.
        std::string word = FoldForFind(typed.substr(start, i - start));
        if (!word.empty()) {
            m_words.push_back(std::move(word));
        }
    }
}
