#include "engine/FindWords.h"

#include "engine/FindFold.h"

#include <algorithm>

CFindWords::CFindWords(std::string_view typed) {
    constexpr std::string_view kBlanks = " \t\n\r\f\v";
    for (std::size_t start = typed.find_first_not_of(kBlanks); start != std::string_view::npos;) {
        const std::size_t end = std::min(typed.find_first_of(kBlanks, start), typed.size());
        // A word of combining accents alone folds to nothing, which every
        // text would hold.
        std::string word = FoldForFind(typed.substr(start, end - start));
        if (!word.empty()) {
            m_words.push_back(std::move(word));
        }
        start = typed.find_first_not_of(kBlanks, end);
    }
}
