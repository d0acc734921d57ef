#include "app/CategoryEntryPages.h"

#include "dragdrop/EntryLines.h"
#include "store/KeyHelpers.h"
#include "store/MnemonicsInCategoryQry.h"
#include "store/RecordsetCloser.h"

std::vector<MnemonicEntry> CCategoryEntryPages::Page(int first, int count) {
    std::vector<MnemonicEntry> entries;
    CMnemonicsInCategoryQry& rows = m_rows;
    CRecordsetCloser closer(rows);
    rows.m_CATEGORYID = m_key;
    rows.m_FIRST = first;
    rows.m_COUNT = count;
    rows.Open();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        entries.push_back({EntryLines::MakeMnemonicLine(rows.m_Mnemonic,
                                                        ExtractBracedIdentifier(rows.m_PhraseID)),
                           rows.m_ZOrder,
                           {}});
    }
    return entries;
}
