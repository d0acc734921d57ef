#include "store/LibraryWatch.h"

CLibraryWatch::CLibraryWatch() {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CLibraryWatch::Tell);
    m_maxWait.setSingleShot(true);
    m_maxWait.setInterval(kMaxWaitMs);
    connect(&m_maxWait, &QTimer::timeout, this, &CLibraryWatch::Tell);
}

CLibraryWatch::~CLibraryWatch() = default;

void CLibraryWatch::NoteChange() {
    m_settle.start();
    if (!m_maxWait.isActive()) {
        m_maxWait.start();
    }
}

void CLibraryWatch::Tell() {
    // Whichever timer fires first ends the burst; a change after this
    // starts the next one.
    m_settle.stop();
    m_maxWait.stop();
    emit Changed();
}

void CLibraryWatch::SetListening(bool listening) {
    if (m_listening == listening) {
        return;
    }
    m_listening = listening;
    emit ListeningChanged(listening);
}
