#include "store/LibraryWatch.h"

#include "store/FileWatch.h"
#include "store/LibraryLocation.h"
#include "store/ServerWatch.h"

CLibraryWatch::CLibraryWatch() {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CLibraryWatch::Changed);
}

CLibraryWatch::~CLibraryWatch() = default;

std::unique_ptr<CLibraryWatch> CLibraryWatch::Start(const std::string& location) {
    if (CLibraryLocation::IsServerAddress(location)) {
        return std::make_unique<CServerWatch>(location);
    }
    return std::make_unique<CFileWatch>(QString::fromStdString(location));
}

void CLibraryWatch::NoteChange() {
    m_settle.start();
}

void CLibraryWatch::SetListening(bool listening) {
    if (m_listening == listening) {
        return;
    }
    m_listening = listening;
    emit ListeningChanged(listening);
}
