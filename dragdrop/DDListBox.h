#pragma once

#include "store/PhraseTbl.h"

#include <QListWidget>
#include <QRect>

// The palette's list of mnemonics. Every entry is a mnemonic line (see
// EntryLines.h) whose key names the item's row. The list keeps its own
// phrase table open for the palette's whole life, so looking an item up at
// a press costs one seek.
class CDDListBox : public QListWidget {
    Q_OBJECT

public:
    explicit CDDListBox(QWidget* parent = nullptr);
    ~CDDListBox() override;

    // Opens the list's own phrase table on the primary key. Called once
    // while the palette initialises.
    void OpenPhraseTable();

    // Writes every entry's index into its row's ZOrder, in list order.
    // Entries whose row no longer exists are skipped without a word.
    // Always returns true.
    bool SaveOrder();

    // The palette's m_rcList: the list's rectangle (screen coordinates)
    // while its own drag-out runs, else an empty rectangle that holds no
    // point.
    void RecordListRect();
    void ResetListRect();
    QRect GetListRect() const;

    CPhraseTbl& PhraseTable() { return m_rsPhrase; }

private:
    CPhraseTbl m_rsPhrase;
};
