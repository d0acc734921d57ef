// The palette and the file its library path names: a file renamed over the
// library is shown when the palette is activated, one that is gone is told.
#include "app/MumbletDlg.h"

#include "dialogs/PromptService.h"
#include "dragdrop/DDListBox.h"
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/LibraryLocation.h"
#include "store/PhraseTbl.h"

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
                GetCurrentLibrary().IsServer()
                    ? QStringLiteral("\n\nBlurtle connects again by itself when the server can be "
                                     "reached.")
                    : QStringLiteral("\n\nPut it back, or choose another library with \"Change "
                                     "Active Database...\" in the window menu.");
            CPromptService::Current().Tell(this, QString::fromUtf8(error.what()) + what,
                                           CPromptService::Icon::Warning);
        }
        return;
    }
    ShowLibraryFromItsPath();
}

void CMumbletDlg::ShowLibraryFromItsPath() {
    // A reordering the user made goes to the library as it is now (or the
    // user keeps it and sees the list as it was).
    if (!m_order->StoreBeforeSwitching()) {
        return;
    }
    // What the user was looking at stays selected, by key: names may
    // differ in the new file.
    RefreshFromLibrary();
}
