#include "store/LibraryFind.h"

#include "engine/FindWords.h"
#include "store/KeyHelpers.h"
#include "store/PhraseFindCountQry.h"
#include "store/PhraseFindQry.h"

#include <utility>

CLibraryFind::CLibraryFind(std::string typed)
    : m_typed(std::move(typed)), m_hasWords(!CFindWords(m_typed).IsEmpty()) {}

int CLibraryFind::Count() const {
    if (!m_hasWords) {
        return 0;
    }
    CPhraseFindCountQry count;
    count.m_WORDS = m_typed;
    count.Open();
    return count.IsEOF() ? 0 : count.m_Found;
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
    std::vector<FoundPhrase> found;
    if (!m_hasWords) {
        return found;
    }
    CPhraseFindQry rows;
    rows.m_WORDS = m_typed;
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
