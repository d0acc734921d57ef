// The palette's side of an automation start taking over.
#include "app/MumbletDlg.h"

#include <QApplication>

void CMumbletDlg::CloseForAnotherStart() {
    // Closing under an open dialog would end its event loop with the
    // program and lose what the user typed into it without a word. The
    // palette looks again until no dialog is left (one may lead straight
    // into another, such as a question after the editor); the new start
    // waits for the lock meanwhile, as it does while the close steps ask
    // the user something.
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog != nullptr) {
        if (!m_takeOverTimer.isActive()) {
            BringForward();
            dialog->raise();
            dialog->activateWindow();
            m_takeOverTimer.start();
        }
        return;
    }
    m_takeOverTimer.stop();
    hide();
    close();
}
