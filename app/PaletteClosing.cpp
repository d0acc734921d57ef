#include "app/MumbletDlg.h"

#include <QCloseEvent>

#include <exception>

// The roads that hide or end the palette. Each stores what the user
// arranged first: a pending order, a placement not yet written.

bool CMumbletDlg::CanExit() {
    if (m_pAutoProxy != nullptr) {
        m_order->StoreBeforeHiding();
        m_placement.Hide();
        m_bCloseDeferred = true;
        return false;
    }
    return true;
}

void CMumbletDlg::OnAutomationReleased() {
    // The user asked the palette to close while a client held it: with the
    // last client gone nothing keeps it, so it closes now rather than stay
    // hidden with nothing left to bring it back for.
    if (m_bCloseDeferred && isHidden()) {
        m_bCloseDeferred = false;
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    }
}

void CMumbletDlg::BringForward() {
    m_bCloseDeferred = false;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool CMumbletDlg::RunCloseSteps() {
    if (!CanExit()) {
        return false;
    }
    OnSessionEnding();
    try {
        if (m_rsPhrases.IsOpen()) {
            m_rsPhrases.Close();
        }
    } catch (const std::exception&) {
        // A read-only query has nothing to lose at close; the end goes on.
    }
    return true;
}

void CMumbletDlg::OnAppExit() {
    // Exit ends the program even while a client holds the palette, so the
    // order is stored as on any end, before the close steps may only hide.
    m_order->StoreBeforeEnding();
    RunCloseSteps();
    done(QDialog::Accepted);
}

void CMumbletDlg::OnSessionEnding() {
    m_order->StoreBeforeEnding();
    m_placement.SaveIfPending();
}

void CMumbletDlg::accept() {
    // Enter never closes the palette.
}

void CMumbletDlg::reject() {
    if (!CanExit()) {
        return;
    }
    // Escape ends the program like Exit does, so it stores a reordering
    // made with the sort arrows too; ending without it would lose the
    // user's work without a word.
    OnSessionEnding();
    QDialog::reject();
}

void CMumbletDlg::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        // The close box or Alt+F4: the palette only hides; starting the
        // program again brings it back.
        event->ignore();
        m_order->StoreBeforeHiding();
        m_placement.Hide();
        return;
    }
    // The program's own close request: the close steps, then the end.
    if (!RunCloseSteps()) {
        event->ignore();
        return;
    }
    reject();
    event->accept();
}
