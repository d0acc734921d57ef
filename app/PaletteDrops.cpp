// Text dropped onto the palette's list from another program: whether it can
// become an item (asked while it is dragged over, so no source is told its
// text moved for nothing), the new item itself, and what the user is told.
#include "app/MumbletDlg.h"

#include "dialogs/PromptService.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "engine/DroppedText.h"
#include "store/CategoryTbl.h"
#include "store/DaoException.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"
#include "store/RecordsetCloser.h"

#include <QListWidgetItem>
#include <QTimer>

#include <exception>

bool CMumbletDlg::AddDroppedText(const QString& text) {
    if (m_ctlCategory->currentIndex() < 0) {
        return false;
    }
    const QString categoryKey =
        EntryLines::CategoryKey(EntryLines::SelectedCategoryLine(*m_ctlCategory));
    const DroppedItem item = MakeDroppedItem(text.toStdString());
    if (categoryKey.isEmpty() || item.verdict != DroppedTextVerdict::Accepted) {
        return false;
    }

    CPhraseTbl phrases;
    CRecordsetCloser closer(phrases);
    phrases.Open();
    phrases.AddNew();
    phrases.m_CategoryID = categoryKey.toStdString();
    phrases.m_Data = item.data;
    phrases.m_Mnemonic = item.mnemonic;
    phrases.m_PunctuationLeading = 0;
    phrases.m_PunctuationTrailing = 2;
    // The position after the last entry.
    const int position = m_ctlMnemonics->count();
    phrases.m_ZOrder = position;
    phrases.Update();
    phrases.SetBookmark(phrases.GetLastModifiedBookmark());

    const QString line = EntryLines::MakeMnemonicLine(phrases.m_Mnemonic,
                                                      ExtractBracedIdentifier(phrases.m_PhraseID));
    QListWidgetItem* entry = EntryLines::MakeMnemonicItem(line);
    CDDListBox::SetStoredPosition(entry, position);
    m_ctlMnemonics->addItem(entry);
    return true;
}

QString CMumbletDlg::WhyTextCannotBeAdded(const QString& text) const {
    if (m_ctlCategory->currentIndex() < 0) {
        return QStringLiteral("Select a category before dropping text onto the list. "
                              "Nothing was added.");
    }
    if (text.isNull()) {
        return QStringLiteral("What was dropped holds no text. Nothing was added.");
    }
    switch (MakeDroppedItem(text.toStdString()).verdict) {
    case DroppedTextVerdict::Accepted:
        return WhyTheLibraryTakesNoItem();
    case DroppedTextVerdict::Empty:
        return QStringLiteral("The dropped text is empty or only white space. "
                              "Nothing was added.");
    case DroppedTextVerdict::HoldsSeparator:
        return QStringLiteral("The dropped text contains \"|\", which an item's text "
                              "can't hold. Nothing was added.");
    case DroppedTextVerdict::HoldsNul:
        return QStringLiteral("The dropped text contains a zero character, which an "
                              "item's text can't hold. Nothing was added.");
    }
    return QStringLiteral("The dropped text can't make an item. Nothing was added.");
}

QString CMumbletDlg::WhyTheLibraryTakesNoItem() const {
    // Asked once as text comes over the list: what can be known now about
    // whether the library will take the item is said now, so the source is
    // never told its text moved for a drop that can't be stored.
    m_bDropInDoubt = false;
    CPhraseTbl& table = m_ctlMnemonics->PhraseTable();
    const QString nothing = QStringLiteral("\n\nNothing was added.");
    if (!table.IsOpen()) {
        return QStringLiteral("No library is open, so nothing can be added. Choose one with "
                              "\"Change Active Database...\" in the window menu.");
    }
    try {
        table.FollowLibrary();
        if (!table.CanAppend()) {
            return QString::fromStdString(table.ReadOnlyMessage()) + nothing;
        }
        CCategoryTbl categories;
        CRecordsetCloser closer(categories);
        categories.Open();
        const QString key =
            EntryLines::CategoryKey(EntryLines::SelectedCategoryLine(*m_ctlCategory));
        if (!categories.SeekKey(key.toStdString())) {
            return QStringLiteral("The selected category is no longer in the library (another "
                                  "program may have deleted it).") +
                   nothing;
        }
        // Another program writing now would make the drop wait and fail.
        m_bDropInDoubt = !table.CanWriteNow();
    } catch (const CDaoException& error) {
        if (error.GetReason() == CDaoException::Reason::LibraryGone ||
            error.GetReason() == CDaoException::Reason::ReadOnly) {
            return QString::fromUtf8(error.what()) + nothing;
        }
        m_bDropInDoubt = true;
    }
    return {};
}

bool CMumbletDlg::DropMayFail() const {
    return m_bDropInDoubt;
}

bool CMumbletDlg::TakeDroppedText(const QString& text) {
    // The drop is answered at once; anything to tell the user waits until
    // the program that dragged has finished its drag.
    const QString whyNot = WhyTextCannotBeAdded(text);
    if (!whyNot.isEmpty()) {
        TellAfterDrop(whyNot, CPromptService::Icon::Information);
        return false;
    }
    try {
        return AddDroppedText(text);
    } catch (const std::exception& error) {
        TellAfterDrop(QString::fromUtf8(error.what()), CPromptService::Icon::Stop);
    }
    return false;
}

void CMumbletDlg::ExplainRefusedDrop(const QString& reason) {
    TellAfterDrop(reason, CPromptService::Icon::Information);
}

void CMumbletDlg::TellAfterDrop(const QString& text, CPromptService::Icon icon) {
    QTimer::singleShot(0, this,
                       [this, text, icon] { CPromptService::Current().Tell(this, text, icon); });
}
