#pragma once

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Escape and the right button during a drag on sway. A wlroots compositor
// keeps every key, and every button but the one that drags, from all
// programs while a drag runs, so the drag's own loop never sees them. Sway
// still runs its own bindings then: for as long as this object lives,
// Escape and the right button (over any window) are bound to a command
// that does nothing, through sway's IPC socket, and `cancel` is called
// when sway reports that one of them ran. The bindings go away with this
// object. A key the user has bound in sway's configuration is left alone
// (that key then does not cancel). Without a sway socket this does
// nothing.
class CSwayDragBindings : public QObject {
public:
    explicit CSwayDragBindings(std::function<void()> cancel);
    ~CSwayDragBindings() override;
    CSwayDragBindings(const CSwayDragBindings&) = delete;
    CSwayDragBindings& operator=(const CSwayDragBindings&) = delete;

    // The bindings (as sway's bindsym takes them) this object made.
    const QStringList& Bound() const { return m_bound; }

    // Of `bindings`, those that the configuration `config` does not bind
    // outside every block (a binding inside a mode block belongs to that
    // mode; ours go into the mode the user is in, normally the default).
    static QStringList FreeBindings(const QString& config, const QStringList& bindings);

    // One message of sway's IPC protocol: "i3-ipc", the payload's length
    // and the message type (both 32 bits, native order), the payload.
    static QByteArray Message(quint32 type, const QByteArray& payload);
    struct Received {
        quint32 type;
        QByteArray payload;
    };
    // Takes the first whole message off the front of `buffer`, if any.
    static std::optional<Received> TakeMessage(QByteArray& buffer);

private:
    // Runs `command` (its %1 the binding) for every binding made, at once.
    void RunForEachBound(const QString& command);
    void Send(quint32 type, const QByteArray& payload);
    std::optional<Received> WaitForReply(quint32 type);
    void ReadEvents();

    std::function<void()> m_cancel;
    QLocalSocket m_socket;
    QByteArray m_buffer;
    QString m_command; // what our bindings run: a nop that names us
    QStringList m_bound;
};
