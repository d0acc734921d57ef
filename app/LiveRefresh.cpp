#include "app/LiveRefresh.h"

#include "store/LibraryWatch.h"
#include "store/LibraryWatchStart.h"
#include "store/PasswordSource.h"

#include <QApplication>
#include <QtDebug>

#include <exception>

CLiveRefresh::CLiveRefresh(Steps steps) : m_steps(std::move(steps)) {
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, &m_retry, [this] { RefreshWhenQuiet(); });
}

CLiveRefresh::~CLiveRefresh() = default;

void CLiveRefresh::Watch(const CLibraryLocation& library) {
    m_watch = StartLibraryWatch(library);
    QObject::connect(m_watch.get(), &CLibraryWatch::Changed, &m_retry,
                     [this] { OnLibraryChanged(); });
}

bool CLiveRefresh::IsListening() const {
    return m_watch != nullptr && m_watch->IsListening();
}

void CLiveRefresh::OnLibraryChanged() {
    m_pending = true;
    RefreshWhenQuiet();
}

bool CLiveRefresh::CanRefreshNow() const {
    // Entries must not change under a drag, a press that may become one, a
    // menu about to act on the selection, or a dialog editing an entry.
    return !m_steps.busy() && QApplication::mouseButtons() == Qt::NoButton &&
           QApplication::activePopupWidget() == nullptr &&
           QApplication::activeModalWidget() == nullptr;
}

void CLiveRefresh::RefreshWhenQuiet() {
    if (!m_pending) {
        return;
    }
    if (!CanRefreshNow()) {
        m_retry.start();
        return;
    }
    // Nobody asked for this refresh: a server that wants a password again
    // waits for the user's next step in the palette rather than put a
    // dialog in front of them out of the blue.
    const CNoOneToAsk noDialog;
    try {
        m_steps.storeFirst();
        m_pending = false;
        m_steps.refresh();
    } catch (const std::exception& error) {
        // Nothing the user did failed: the next step the user takes says
        // what is wrong, and the next change comes round again.
        qWarning("The palette could not be brought up to date: %s", error.what());
    }
}
