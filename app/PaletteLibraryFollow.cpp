// The palette and the file its library path names: a file renamed over the
// library is shown when the palette is activated, one that is gone is told.
#include "app/MumbletDlg.h"

#include "dialogs/PromptService.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "engine/DroppedText.h"
#include "store/CategoryTbl.h"
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/EngineErrors.h"
#include "store/KeyHelpers.h"
#include "store/LibraryLocation.h"
#include "store/PhraseTbl.h"
#include "store/RecordsetCloser.h"

#include <QListWidgetItem>
#include <QTimer>

#include <exception>

void CMumbletDlg::FollowLibrary() {
    CPhraseTbl& table = m_ctlMnemonics->PhraseTable();
    if (!table.IsOpen()) {
        return;
    }
    try {
        const bool reopened = table.FollowLibrary();
        m_bToldLibraryGone = false;
        if (!reopened) {
            return;
        }
    } catch (const CDaoException& error) {
        if (error.GetReason() != CDaoException::Reason::LibraryGone) {
            throw;
        }
        if (!m_bToldLibraryGone) {
            m_bToldLibraryGone = true;
            // A server out of reach comes back by itself; a file is put
            // back by the user.
            const QString what =
                CLibraryLocation::IsServerAddress(GetCurrentDatabasePath())
                    ? QStringLiteral("\n\nBlurtle connects again by itself when the server can be "
                                     "reached.")
                    : QStringLiteral("\n\nPut it back, or choose another library with \"Change "
                                     "Active Database...\" in the window menu.");
            CPromptService::Current().ShowMessage(this, QString::fromUtf8(error.what()) + what,
                                                  QStringLiteral("Blurtle (TM)"), QMessageBox::Ok,
                                                  CPromptService::Icon::Warning);
        }
        return;
    }
    ShowLibraryFromItsPath();
}

void CMumbletDlg::ShowLibraryFromItsPath() {
    // What the user was looking at, by key: names may differ in the new file.
    const QString category =
        EntryLines::CategoryKey(EntryLines::SelectedCategoryLine(*m_ctlCategory));
    const QString entry =
        EntryLines::MnemonicKey(EntryLines::LineOf(m_ctlMnemonics->currentItem()));
    // A reordering the user made goes to the library as it is now (or the
    // user keeps it and sees the list as it was).
    if (!StoreOrderBeforeSwitching()) {
        return;
    }

    m_ctlCategory->clear();
    FillCategories();
    int index = m_ctlCategory->count() > 0 ? 0 : -1;
    for (int i = 0; i < m_ctlCategory->count(); ++i) {
        if (EntryLines::CategoryKey(EntryLines::LineOf(*m_ctlCategory, i))
                .compare(category, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    }
    m_ctlCategory->setCurrentIndex(index);
    OnSelchangeCategory();
    for (int i = 0; i < m_ctlMnemonics->count(); ++i) {
        if (!entry.isEmpty() && EntryLines::MnemonicKey(EntryLines::LineOf(m_ctlMnemonics->item(i)))
                                        .compare(entry, Qt::CaseInsensitive) == 0) {
            m_ctlMnemonics->setCurrentRow(i);
            break;
        }
    }
}
