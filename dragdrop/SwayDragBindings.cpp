#include "dragdrop/SwayDragBindings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstring>

namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr qsizetype kMagicLength = 6;
constexpr qsizetype kHeaderLength = kMagicLength + 8;

constexpr quint32 kRunCommand = 0;
constexpr quint32 kSubscribe = 2;
constexpr quint32 kGetConfig = 9;
constexpr quint32 kBindingEvent = 0x80000005;

// Setting up must not hold a drag up noticeably; a socket that does not
// answer this fast is given up.
constexpr int kAnswerMs = 300;

// Escape, and the right button anywhere (sway names mouse buttons by their
// event codes; --whole-window makes it fire over windows too).
const QStringList kCancelBindings = {QStringLiteral("Escape"),
                                     QStringLiteral("--whole-window BTN_RIGHT")};

// The key or button of a binding: its last word; sway's other name for
// the right button is button3.
QString KeyOf(const QString& binding) {
    const QString key = binding.split(QLatin1Char(' ')).last();
    return key.compare(QLatin1String("button3"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("BTN_RIGHT")
               : key;
}

} // namespace

CSwayDragBindings::CSwayDragBindings(std::function<void()> cancel) : m_cancel(std::move(cancel)) {
    const QString path = qEnvironmentVariable("SWAYSOCK");
    if (path.isEmpty()) {
        return;
    }
    m_socket.connectToServer(path);
    if (!m_socket.waitForConnected(kAnswerMs)) {
        return;
    }
    Send(kGetConfig, QByteArray());
    const std::optional<Received> config = WaitForReply(kGetConfig);
    const QStringList free = config ? FreeBindings(QJsonDocument::fromJson(config->payload)
                                                       .object()
                                                       .value(QStringLiteral("config"))
                                                       .toString(),
                                                   kCancelBindings)
                                    : QStringList();
    if (free.isEmpty()) {
        m_socket.abort();
        return;
    }
    m_command =
        QStringLiteral("nop blurtle-cancel-drag-%1").arg(QCoreApplication::applicationPid());
    Send(kSubscribe, QByteArrayLiteral("[\"binding\"]"));
    m_bound = free;
    RunForEachBound(QStringLiteral("bindsym --no-warn %1 ") + m_command);
    connect(&m_socket, &QLocalSocket::readyRead, this, &CSwayDragBindings::ReadEvents);
}

CSwayDragBindings::~CSwayDragBindings() {
    if (m_bound.isEmpty() || m_socket.state() != QLocalSocket::ConnectedState) {
        return;
    }
    disconnect(&m_socket, nullptr, this, nullptr);
    RunForEachBound(QStringLiteral("unbindsym %1"));
    // Wait for sway to have run it: the bindings must not outlive the drag.
    WaitForReply(kRunCommand);
    m_socket.disconnectFromServer();
}

void CSwayDragBindings::RunForEachBound(const QString& command) {
    QStringList commands;
    for (const QString& binding : m_bound) {
        commands << command.arg(binding);
    }
    Send(kRunCommand, commands.join(QStringLiteral("; ")).toUtf8());
}

void CSwayDragBindings::Send(quint32 type, const QByteArray& payload) {
    m_socket.write(Message(type, payload));
    m_socket.flush();
}

std::optional<CSwayDragBindings::Received> CSwayDragBindings::WaitForReply(quint32 type) {
    const QDeadlineTimer deadline(kAnswerMs);
    for (;;) {
        while (std::optional<Received> message = TakeMessage(m_buffer)) {
            if (message->type == type) {
                return message;
            }
        }
        if (deadline.hasExpired() ||
            !m_socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return std::nullopt;
        }
        m_buffer += m_socket.readAll();
    }
}

void CSwayDragBindings::ReadEvents() {
    m_buffer += m_socket.readAll();
    while (std::optional<Received> message = TakeMessage(m_buffer)) {
        if (message->type != kBindingEvent) {
            continue; // the answers to our own requests
        }
        const QJsonObject binding = QJsonDocument::fromJson(message->payload)
                                        .object()
                                        .value(QStringLiteral("binding"))
                                        .toObject();
        if (binding.value(QStringLiteral("command")).toString() == m_command && m_cancel) {
            m_cancel();
        }
    }
}

QByteArray CSwayDragBindings::Message(quint32 type, const QByteArray& payload) {
    QByteArray message(kMagic, kMagicLength);
    const auto length = static_cast<quint32>(payload.size());
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&type), sizeof type);
    message.append(payload);
    return message;
}

std::optional<CSwayDragBindings::Received> CSwayDragBindings::TakeMessage(QByteArray& buffer) {
    if (buffer.size() < kHeaderLength) {
        return std::nullopt;
    }
    quint32 length = 0;
    quint32 type = 0;
    std::memcpy(&length, buffer.constData() + kMagicLength, sizeof length);
    std::memcpy(&type, buffer.constData() + kMagicLength + 4, sizeof type);
    if (buffer.size() < kHeaderLength + static_cast<qsizetype>(length)) {
        return std::nullopt;
    }
    Received message{type, buffer.mid(kHeaderLength, static_cast<qsizetype>(length))};
    buffer.remove(0, kHeaderLength + static_cast<qsizetype>(length));
    return message;
}

QStringList CSwayDragBindings::FreeBindings(const QString& config, const QStringList& bindings) {
    // "bindsym [--flags...] KEY command" or bindcode, outside every block.
    static const QRegularExpression binding(
        QStringLiteral("^\\s*bind(?:sym|code)((?:\\s+--\\S+)*)\\s+(\\S+)"));
    QStringList taken;
    int depth = 0;
    for (const QString& line : config.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (depth == 0) {
            const QRegularExpressionMatch match = binding.match(trimmed);
            if (match.hasMatch()) {
                taken << KeyOf(match.captured(2));
            }
        }
        depth += static_cast<int>(trimmed.count(QLatin1Char('{')));
        depth -= static_cast<int>(trimmed.count(QLatin1Char('}')));
        depth = qMax(depth, 0);
    }
    QStringList free;
    for (const QString& wanted : bindings) {
        if (!taken.contains(KeyOf(wanted), Qt::CaseInsensitive)) {
            free << wanted;
        }
    }
    return free;
}
