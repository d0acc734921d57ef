#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// One palette per user. The first start holds a lock file for its whole
// life and listens on a local socket that only its user can reach; a later
// start finds the lock taken, connects to the socket and passes on what it
// was started for, then ends.
//
// The lock, not the socket, decides who is first: a socket alone races
// when several copies start at the same moment, and a copy that crashed
// leaves its socket file behind. The lock file carries its owner's process
// id, so a lock left by a dead process is taken over, and the new owner
// removes the stale socket before it listens. Both live in a directory no
// other user can reach (PrivateRuntimeDirectory), so nobody else can hold
// the lock or answer in the palette's place.
class CSingleInstance : public QObject {
    Q_OBJECT

public:
    // What a later start asks of the running palette.
    enum class Request {
        Show,         // restore, show and bring it forward
        HideAndClose, // hide it and run its close steps (an automation start)
    };
    enum class Role {
        Primary,    // we hold the lock and listen: run the palette
        HandedOver, // a running palette took the request: end now
        Failed,     // neither (no runtime directory, a palette that never answered)
    };

    // `key` names the lock and the socket; use KeyFor.
    explicit CSingleInstance(const QString& key, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // The key of one program title for the current user, e.g.
    // "Blurtle-TM-<uid>" for "Blurtle (TM)".
    static QString KeyFor(const QString& title);

    // Becomes the primary, or hands `request` to the primary that runs.
    // While another copy holds the lock but does not listen yet (it is
    // still starting), keeps trying for up to `timeoutMs`.
    Role Claim(Request request, int timeoutMs = 10000);

    // After a hand-over of HideAndClose: waits up to `timeoutMs` for the
    // palette that is closing to let go of the lock, and becomes the
    // primary. False when it still holds it.
    bool WaitToBecomePrimary(int timeoutMs);
    // Keeps trying to become the primary in the background (a closing
    // palette may first ask its user something), until it succeeds.
    void KeepTryingToBecomePrimary(int intervalMs = 500);
    bool IsPrimary() const { return m_server != nullptr; }
    // False when no directory only this user can reach could be had: then
    // no start can claim anything.
    bool HasPrivateDirectory() const { return !m_directory.isEmpty(); }

    // Only after Claim; the socket's and the lock's file names.
    QString SocketPath() const;
    QString LockPath() const;

signals:
    // Emitted in the primary for every later start.
    void ShowRequested();
    void HideAndCloseRequested();

private:
    bool TryBecomePrimary();
    bool TryHandOver(Request request, int waitMs);
    void OnNewConnection();
    void OnReadable(QLocalSocket* socket);

    QString m_directory;
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
