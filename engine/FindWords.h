#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words a user typed to find items: split at white space and folded
// (see FindFold.h). An item matches when every word, in any order, occurs
// in its mnemonic or in the text of one of its iterations; the weight
// characters and the "|" are not text. Items whose mnemonic holds every
// word come first, then the others; each group in category order, then
// item order. The library does the looking (store/FindQuery.h), in texts
// folded as FoldForFind folds.
class CFindWords {
public:
    explicit CFindWords(std::string_view typed);

    bool IsEmpty() const { return m_words.empty(); }
    // The folded words, in the order typed.
    const std::vector<std::string>& Folded() const { return m_words; }

private:
    std::vector<std::string> m_words;
};
