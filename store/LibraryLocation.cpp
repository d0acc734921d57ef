#include "store/LibraryLocation.h"

#include "store/DaoException.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

constexpr QLatin1StringView kSchemes[] = {QLatin1StringView("postgresql://"),
                                          QLatin1StringView("postgres://")};

// libpq's connection parameters that an address may carry besides the
// host, port, database, user and password, which are given apart.
const QSet<QString>& PassedParameters() {
    static const QSet<QString> names{
        QStringLiteral("application_name"),
        QStringLiteral("channel_binding"),
        QStringLiteral("connect_timeout"),
        QStringLiteral("gssencmode"),
        QStringLiteral("hostaddr"),
        QStringLiteral("keepalives"),
        QStringLiteral("keepalives_count"),
        QStringLiteral("keepalives_idle"),
        QStringLiteral("keepalives_interval"),
        QStringLiteral("krbsrvname"),
        QStringLiteral("options"),
        QStringLiteral("passfile"),
        QStringLiteral("requirepeer"),
        QStringLiteral("service"),
        QStringLiteral("ssl_max_protocol_version"),
        QStringLiteral("ssl_min_protocol_version"),
        QStringLiteral("sslcert"),
        QStringLiteral("sslcompression"),
        QStringLiteral("sslcrl"),
        QStringLiteral("sslcrldir"),
        QStringLiteral("sslkey"),
        QStringLiteral("sslmode"),
        QStringLiteral("sslrootcert"),
        QStringLiteral("sslsni"),
        QStringLiteral("target_session_attrs"),
        QStringLiteral("tcp_user_timeout"),
    };
    return names;
}

const QSet<QString>& SslModes() {
    static const QSet<QString> modes{
        QStringLiteral("disable"), QStringLiteral("allow"),     QStringLiteral("prefer"),
        QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full"),
    };
    return modes;
}

qsizetype SchemeLength(const QString& text) {
    for (const QLatin1StringView scheme : kSchemes) {
        if (text.startsWith(scheme, Qt::CaseInsensitive)) {
            return scheme.size();
        }
    }
    return -1;
}

// The address as the user wrote it, but with any password masked: what a
// message about a malformed address may repeat.
QString Masked(QString text) {
    static const QRegularExpression userPassword(QStringLiteral("^([^:]+://[^/?@]*?:)[^/?@]*@"));
    static const QRegularExpression queryPassword(QStringLiteral("([?&]password=)[^&]*"));
    text.replace(userPassword, QStringLiteral("\\1*****@"));
    text.replace(queryPassword, QStringLiteral("\\1*****"));
    return text;
}

class CAddressError {
public:
    explicit CAddressError(QString why) : reason(std::move(why)) {}
    QString reason;
};

QString Decoded(const QString& part) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(part.toUtf8());
    if (bytes.contains('\0')) {
        throw CAddressError(QStringLiteral("it holds a zero character"));
    }
    return QString::fromUtf8(bytes);
}

QString CheckedHost(const QString& host) {
    if (host.contains(QLatin1Char(','))) {
        throw CAddressError(QStringLiteral("a library is on one server, not on several hosts"));
    }
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    if (!host.isEmpty() && !host.startsWith(QLatin1Char('/')) && !name.match(host).hasMatch()) {
        throw CAddressError(QStringLiteral("\"%1\" is not a host name").arg(host));
    }
    return host;
}

int CheckedPort(const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535 || text.startsWith(QLatin1Char('+'))) {
        throw CAddressError(QStringLiteral("\"%1\" is not a port number").arg(text));
    }
    return port;
}

// libpq's quoting of a value in a connection string.
QString QuotedValue(QString value) {
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

QString Encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

} // namespace

bool CLibraryLocation::IsServerAddress(const std::string& text) {
    const QString address = QString::fromUtf8(text);
    return address.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
           address.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive);
}

CLibraryLocation CLibraryLocation::Parse(const std::string& text) {
    CLibraryLocation location;
    location.m_text = text;
    if (!IsServerAddress(text)) {
        return location;
    }
    location.m_server = true;
    const QString address = QString::fromUtf8(text);
    try {
        const qsizetype schemeLength = SchemeLength(address);
        if (schemeLength < 0) {
            throw CAddressError(QStringLiteral("it must start with \"postgresql://\""));
        }
        const QString rest = address.mid(schemeLength);
        const qsizetype question = rest.indexOf(QLatin1Char('?'));
        const QString main = question < 0 ? rest : rest.left(question);
        const QString query = question < 0 ? QString() : rest.mid(question + 1);
        const qsizetype slash = main.indexOf(QLatin1Char('/'));
        const QString authority = slash < 0 ? main : main.left(slash);
        if (slash >= 0) {
            location.m_database = Decoded(main.mid(slash + 1));
        }

        const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
        if (at >= 0) {
            const QString userInfo = authority.left(at);
            const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
            location.m_user = Decoded(colon < 0 ? userInfo : userInfo.left(colon));
            if (colon >= 0) {
                location.m_password = Decoded(userInfo.mid(colon + 1));
            }
        }
        const QString hostPort = authority.mid(at + 1);
        QString host = hostPort;
        QString port;
        if (hostPort.startsWith(QLatin1Char('['))) {
            const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
            if (close < 0) {
                throw CAddressError(QStringLiteral("its IPv6 address lacks the closing \"]\""));
            }
            host = hostPort.mid(1, close - 1);
            const QString after = hostPort.mid(close + 1);
            if (!after.isEmpty() && !after.startsWith(QLatin1Char(':'))) {
                throw CAddressError(QStringLiteral("\"%1\" is not a host name").arg(hostPort));
            }
            port = after.mid(1);
            static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]+$"));
            if (!ipv6.match(host).hasMatch()) {
                throw CAddressError(QStringLiteral("\"%1\" is not an IPv6 address").arg(host));
            }
            location.m_host = host;
        } else {
            const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
            if (colon >= 0) {
                host = hostPort.left(colon);
                port = hostPort.mid(colon + 1);
            }
            location.m_host = CheckedHost(Decoded(host));
        }
        if (!port.isEmpty()) {
            location.m_port = CheckedPort(port);
        }

        for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
            const qsizetype equals = pair.indexOf(QLatin1Char('='));
            if (equals < 0) {
                throw CAddressError(
                    QStringLiteral("its parameter \"%1\" has no value").arg(Decoded(pair)));
            }
            const QString name = Decoded(pair.left(equals));
            const QString value = Decoded(pair.mid(equals + 1));
            if (name == QLatin1String("host")) {
                location.m_host = CheckedHost(value);
            } else if (name == QLatin1String("port")) {
                location.m_port = CheckedPort(value);
            } else if (name == QLatin1String("dbname")) {
                location.m_database = value;
            } else if (name == QLatin1String("user")) {
                location.m_user = value;
            } else if (name == QLatin1String("password")) {
                location.m_password = value;
            } else if (!PassedParameters().contains(name)) {
                throw CAddressError(
                    QStringLiteral("\"%1\" is not a connection parameter of PostgreSQL").arg(name));
            } else if (name == QLatin1String("sslmode") && !SslModes().contains(value)) {
                throw CAddressError(QStringLiteral("\"%1\" is not an sslmode").arg(value));
            } else if (value.contains(QLatin1Char(';'))) {
                // Qt's driver takes ";" for the end of an option.
                throw CAddressError(
                    QStringLiteral("the value of \"%1\" can't hold a \";\"").arg(name));
            } else {
                location.m_parameters.emplace_back(name, value);
            }
        }
        if (location.m_database.isEmpty()) {
            throw CAddressError(
                QStringLiteral("it names no database (postgresql://host/database)"));
        }
    } catch (const CAddressError& error) {
        throw CDaoException(QStringLiteral("The library address \"%1\" is not valid: %2.")
                                .arg(Masked(address), error.reason)
                                .toStdString(),
                            CDaoException::Reason::NotALibrary);
    }
    return location;
}

QString CLibraryLocation::ConnectOptions() const {
    QStringList options;
    for (const auto& [name, value] : m_parameters) {
        options << name + QLatin1Char('=') + QuotedValue(value);
    }
    return options.join(QLatin1Char(';'));
}

std::string CLibraryLocation::Display() const {
    if (!m_server) {
        return m_text;
    }
    const bool socket = m_host.startsWith(QLatin1Char('/'));
    QString text = QStringLiteral("postgresql://");
    if (!m_user.isEmpty()) {
        text += Encoded(m_user) + QLatin1Char('@');
    }
    if (!socket) {
        text += m_host.contains(QLatin1Char(':')) ? QLatin1Char('[') + m_host + QLatin1Char(']')
                                                  : m_host;
    }
    if (m_port != -1 && !socket) {
        text += QLatin1Char(':') + QString::number(m_port);
    }
    text += QLatin1Char('/') + Encoded(m_database);
    QStringList query;
    if (socket) {
        query << QStringLiteral("host=") + Encoded(m_host, "/");
        if (m_port != -1) {
            query << QStringLiteral("port=") + QString::number(m_port);
        }
    }
    for (const auto& [name, value] : m_parameters) {
        query << name + QLatin1Char('=') + Encoded(value, "/");
    }
    if (!query.isEmpty()) {
        text += QLatin1Char('?') + query.join(QLatin1Char('&'));
    }
    return text.toStdString();
}

std::string LibraryDisplayName(const std::string& location) {
    if (!CLibraryLocation::IsServerAddress(location)) {
        return location;
    }
    try {
        return CLibraryLocation::Parse(location).Display();
    } catch (const CDaoException&) {
        return Masked(QString::fromStdString(location)).toStdString();
    }
}
