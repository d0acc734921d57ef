#pragma once

#include <QObject>
#include <QTimer>

// Tells when the library's categories or items may have changed: a
// commit by another program, another palette or another member of the
// team. Our own commits are told too, so whoever listens compares what it
// shows with what the library holds. Several changes close together are
// told once, a moment after the last; while changes keep coming they are
// told at least once a second, so a flood of them (any role that may
// connect can send notifications on the channel) never holds a palette's
// refresh back.
//
// A file library is watched through the file system; a server library
// listens for the notifications its triggers send, on a connection of its
// own in a thread of its own, so a server that is slow to answer never
// holds up the window. StartLibraryWatch (LibraryWatchStart.h) picks the
// watcher.
class CLibraryWatch : public QObject {
    Q_OBJECT

public:
    ~CLibraryWatch() override;

    // Whether changes can be heard now: false while the server is out of
    // reach (a file is always heard).
    bool IsListening() const { return m_listening; }

    // How long after a change it is told, to fold a burst into one.
    static constexpr int kSettleMs = 100;
    // The longest a change waits to be told while more keep coming.
    static constexpr int kMaxWaitMs = 1000;

signals:
    // The library may have changed.
    void Changed();
    // The server connection broke, or came back (Changed follows then,
    // for what was missed meanwhile).
    void ListeningChanged(bool listening);

protected:
    CLibraryWatch();
    // Called by the watchers on each sign of a change.
    void NoteChange();
    void SetListening(bool listening);

private:
    void Tell();

    QTimer m_settle;
    // Started by the first change of a burst and never pushed back.
    QTimer m_maxWait;
    bool m_listening = true;
};
