#pragma once

#include "store/LibraryLocation.h"
#include "store/LibraryWatch.h"

#include <QThread>

#include <string>

// Listens for the notifications a server library's triggers send, on a
// connection of its own in a thread of its own. A connection that breaks
// (the server restarted, the network failed) is told, tried again every
// few seconds. Each time the listening begins, at the start and when the
// connection is back, a change is told for what may have been missed.
class CServerWatch : public CLibraryWatch {
    Q_OBJECT

public:
    explicit CServerWatch(CLibraryLocation location);
    // Waits a moment for the thread to end; one still connecting to a
    // server that does not answer is left to end by itself.
    ~CServerWatch() override;

    // How long the listener waits before it connects again.
    static constexpr int kRetryMs = 2000;
    // How often the listener looks whether its connection is still up.
    static constexpr int kStateMs = 500;
    // How often the listener asks the server whether it is still there
    // (a network that fails without a word is told by the system only
    // much later).
    static constexpr int kProbeMs = 15000;

private:
    class Listener;
    class Thread;
    Thread* m_thread = nullptr;
};
