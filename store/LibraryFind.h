#pragma once

#include <optional>
#include <string>
#include <vector>

// One item a find found: its key, its category's key and name (braced keys,
// as ExtractBracedIdentifier gives them), and its mnemonic.
struct FoundPhrase {
    std::string phraseKey;
    std::string categoryKey;
    std::string categoryName;
    std::string mnemonic;
};

// Finding items of the active library by typed words (see
// engine/FindWords.h for what matches and in which order). Each call reads
// the library as it is then, so a list that shows a page at a time reads
// the first screenful at once and the rest as it is scrolled to; Count
// reads the whole library once. Which way to read is decided at the first
// read and kept: it changes only how fast a page comes, never what it
// holds. Database errors are thrown as the store
// throws them.
class CLibraryFind {
public:
    // Below this many matches every match is sorted at once; from it on the
    // two groups are read one after the other, each in category order, so
    // that a page of a find that matches most items costs a page.
    static constexpr int kFewMatches = 1000;

    explicit CLibraryFind(std::string typed, int fewMatches = kFewMatches);

    // Whether the typed text holds any word; without one nothing is found.
    bool HasWords() const { return m_hasWords; }
    int Count() const;
    // The matches from `first` (0 the first), at most `count` of them.
    std::vector<FoundPhrase> Page(int first, int count) const;
    std::vector<FoundPhrase> All() const;

private:
    // From `first` on, `count` of them or (0) all.
    std::vector<FoundPhrase> Read(int first, int count) const;
    bool FindsFew() const;
    std::vector<FoundPhrase> ReadGroup(int group, int first, int count) const;
    int CountGroup(int group, int ceiling) const;

    std::string m_typed;
    int m_fewMatches;
    bool m_hasWords;
    mutable std::optional<bool> m_findsFew;
};
