#include "store/LibraryFind.h"

#include "engine/FindWords.h"
#include "store/FindQuery.h"
#include "store/KeyHelpers.h"
#include "store/PhraseFindCountQry.h"
#include "store/PhraseFindQry.h"

#include <algorithm>
#include <utility>

namespace {

constexpr auto kEvery = static_cast<int>(FindGroup::Every);
constexpr auto kInMnemonic = static_cast<int>(FindGroup::InMnemonic);
constexpr auto kInTextOnly = static_cast<int>(FindGroup::InTextOnly);

} // namespace

CLibraryFind::CLibraryFind(std::string typed, int fewMatches)
    : m_typed(std::move(typed)), m_fewMatches(fewMatches),
      m_hasWords(!CFindWords(m_typed).IsEmpty()) {}

int CLibraryFind::Count() const {
    return m_hasWords ? CountGroup(kEvery, 0) : 0;
}

std::vector<FoundPhrase> CLibraryFind::Page(int first, int count) const {
    if (count <= 0) {
        return {};
    }
    return Read(first, count);
}

std::vector<FoundPhrase> CLibraryFind::All() const {
    return Read(0, 0);
}

std::vector<FoundPhrase> CLibraryFind::Read(int first, int count) const {
    if (!m_hasWords) {
        return {};
    }
    if (FindsFew()) {
        return ReadGroup(kEvery, first, count);
    }
    std::vector<FoundPhrase> found = ReadGroup(kInMnemonic, first, count);
    const int read = static_cast<int>(found.size());
    if (count > 0 && read == count) {
        return found;
    }
    // The page reaches past the mnemonic matches: the rest of it comes from
    // the start of the others, or further on when the page began past them.
    const int inMnemonic = read > 0 || first == 0 ? first + read : CountGroup(kInMnemonic, 0);
    std::vector<FoundPhrase> rest =
        ReadGroup(kInTextOnly, std::max(0, first - inMnemonic), count > 0 ? count - read : 0);
    found.insert(found.end(), std::make_move_iterator(rest.begin()),
                 std::make_move_iterator(rest.end()));
    return found;
}

bool CLibraryFind::FindsFew() const {
    if (!m_findsFew.has_value()) {
        m_findsFew = m_fewMatches > 0 && CountGroup(kEvery, m_fewMatches) < m_fewMatches;
    }
    return *m_findsFew;
}

std::vector<FoundPhrase> CLibraryFind::ReadGroup(int group, int first, int count) const {
    std::vector<FoundPhrase> found;
    CPhraseFindQry rows;
    rows.m_WORDS = m_typed;
    rows.m_GROUP = group;
    rows.m_FIRST = first;
    rows.m_COUNT = count;
    rows.Open();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        found.push_back({ExtractBracedIdentifier(rows.m_PhraseID),
                         ExtractBracedIdentifier(rows.m_CategoryID), rows.m_Description,
                         rows.m_Mnemonic});
    }
    return found;
}

int CLibraryFind::CountGroup(int group, int ceiling) const {
    CPhraseFindCountQry count;
    count.m_WORDS = m_typed;
    count.m_GROUP = group;
    count.m_CEILING = ceiling;
    count.Open();
    return count.IsEOF() ? 0 : count.m_Found;
}
