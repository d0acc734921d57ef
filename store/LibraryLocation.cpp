#include "store/LibraryLocation.h"

#include "store/DaoException.h"

#include <QRegularExpression>
#include <QUrl>

#include <libpq-fe.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr QLatin1StringView kSchemes[] = {QLatin1StringView("postgresql://"),
                                          QLatin1StringView("postgres://")};

constexpr const char* kSslModes[] = {"disable", "allow",     "prefer",
                                     "require", "verify-ca", "verify-full"};

qsizetype SchemeLength(const QString& text) {
    for (const QLatin1StringView scheme : kSchemes) {
        if (text.startsWith(scheme, Qt::CaseInsensitive)) {
            return scheme.size();
        }
    }
    return -1;
}

// Where a password may stand in the address as the user wrote it, whether
// or not libpq would read it as one: after the first ":" of the text
// between the scheme and the last "@" (a password with a raw "/" or "@"
// puts that "@" further on than libpq looks), and every value of a
// "password" parameter. Positions of the first character and lengths.
std::vector<std::pair<qsizetype, qsizetype>> PasswordSpans(const QString& text) {
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    const qsizetype scheme = text.indexOf(QLatin1String("://"));
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    if (scheme >= 0 && at > scheme) {
        const qsizetype colon = text.indexOf(QLatin1Char(':'), scheme + 3);
        if (colon >= 0 && colon < at) {
            spans.emplace_back(colon + 1, at - colon - 1);
        }
    }
    static const QRegularExpression queryPassword(QStringLiteral("[?&]password=([^&]*)"));
    for (auto match = queryPassword.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        spans.emplace_back(found.capturedStart(1), found.capturedLength(1));
    }
    return spans;
}

// The address as the user wrote it, but with any password masked: what a
// message about a malformed address may repeat.
QString Masked(const QString& text) {
    auto spans = PasswordSpans(text);
    std::sort(spans.begin(), spans.end());
    QString masked;
    qsizetype next = 0;
    for (const auto& [start, length] : spans) {
        if (start >= next) {
            masked += text.mid(next, start - next) + QStringLiteral("*****");
        }
        // Spans may overlap: the masked stretch ends with the last of them.
        next = std::max(next, start + length);
    }
    return masked + text.mid(next);
}

// Whether `reason` repeats any text of the address that may be a password.
bool RepeatsAPassword(const QString& reason, const QString& address) {
    for (const auto& [start, length] : PasswordSpans(address)) {
        const QString candidate = address.mid(start, length);
        if (!candidate.isEmpty() && reason.contains(candidate)) {
            return true;
        }
    }
    return false;
}

class CAddressError {
public:
    explicit CAddressError(QString why) : reason(std::move(why)) {}
    QString reason;
};

QString CheckedHost(const QString& host) {
    if (host.contains(QLatin1Char(','))) {
        throw CAddressError(QStringLiteral("a library is on one server, not on several hosts"));
    }
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]+$"));
    if (!host.isEmpty() && !host.startsWith(QLatin1Char('/')) && !name.match(host).hasMatch() &&
        !(host.contains(QLatin1Char(':')) && ipv6.match(host).hasMatch())) {
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

// libpq's reading of a URI: the options it names, or why it can't be read.
struct ParsedOptions {
    std::vector<std::pair<QString, QString>> options;
    QString error;
};

ParsedOptions ParseWithLibpq(const QByteArray& uri) {
    ParsedOptions parsed;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.constData(), &error);
    if (options == nullptr) {
        parsed.error = error != nullptr ? QString::fromUtf8(error).trimmed()
                                        : QStringLiteral("libpq could not read it");
        PQfreemem(error);
        return parsed;
    }
    for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
        if (option->val != nullptr) {
            parsed.options.emplace_back(QString::fromUtf8(option->keyword),
                                        QString::fromUtf8(option->val));
        }
    }
    PQconninfoFree(options);
    return parsed;
}

// Whether libpq would reach `host` over TCP on another machine (not a
// Unix socket, not this machine by name or loopback address).
bool IsRemoteTcpHost(const QString& host) {
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('@'))) {
        return false;
    }
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0 &&
           host != QLatin1String("127.0.0.1") && host != QLatin1String("::1");
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
        // libpq takes the text up to the first "@" or "/" for the user and
        // password; an "@" beyond it means a "/" or "@" in them was not
        // percent-encoded, and libpq would read parts of the password as
        // host, port or database, which are shown.
        const qsizetype userEnd = rest.indexOf(QRegularExpression(QStringLiteral("[@/]")));
        const qsizetype afterUser =
            userEnd >= 0 && rest.at(userEnd) == QLatin1Char('@') ? userEnd + 1 : 0;
        if (rest.indexOf(QLatin1Char('@'), afterUser) >= 0) {
            throw CAddressError(QStringLiteral(
                "a \"/\" or \"@\" in its user name or password, and an \"@\" after them, must be "
                "written %2F or %40"));
        }
        // libpq knows the scheme in lower case only.
        const QString uri = QStringLiteral("postgresql://") + rest;
        const ParsedOptions parsed = ParseWithLibpq(uri.toUtf8());
        if (!parsed.error.isEmpty()) {
            QString reason = parsed.error;
            reason.replace(uri, Masked(address));
            if (RepeatsAPassword(reason, address)) {
                reason = QStringLiteral("libpq can't read it");
            }
            throw CAddressError(reason);
        }
        for (const auto& [name, value] : parsed.options) {
            if (value.contains(QChar(0))) {
                throw CAddressError(QStringLiteral("it holds a zero character"));
            }
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
            } else if (name == QLatin1String("sslmode") &&
                       std::none_of(std::begin(kSslModes), std::end(kSslModes),
                                    [&value](const char* mode) { return value == mode; })) {
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

CLibraryLocation CLibraryLocation::ParseOrKeep(const std::string& text) {
    try {
        return Parse(text);
    } catch (const CDaoException& error) {
        CLibraryLocation kept;
        kept.m_server = true;
        kept.m_text = text;
        kept.m_malformed = error.what();
        return kept;
    }
}

void CLibraryLocation::ThrowIfMalformed() const {
    if (!m_malformed.empty()) {
        throw CDaoException(m_malformed, CDaoException::Reason::NotALibrary);
    }
}

CLibraryLocation CLibraryLocation::WithoutPassword() const {
    CLibraryLocation without = *this;
    without.m_password.clear();
    without.m_text = Display();
    return without;
}

const QString* CLibraryLocation::Parameter(QLatin1StringView name) const {
    const auto found =
        std::find_if(m_parameters.begin(), m_parameters.end(),
                     [name](const auto& parameter) { return parameter.first == name; });
    return found != m_parameters.end() ? &found->second : nullptr;
}

bool CLibraryLocation::RequiresEncryption() const {
    // An sslmode of the address, the environment's or a service file's is
    // the user's choice.
    if (!m_server || Parameter(QLatin1StringView("sslmode")) != nullptr ||
        Parameter(QLatin1StringView("service")) != nullptr ||
        qEnvironmentVariableIsSet("PGSSLMODE")) {
        return false;
    }
    if (const QString* hostAddress = Parameter(QLatin1StringView("hostaddr"))) {
        return IsRemoteTcpHost(*hostAddress);
    }
    return IsRemoteTcpHost(m_host.isEmpty() ? qEnvironmentVariable("PGHOST") : m_host);
}

QString CLibraryLocation::ConnectOptions() const {
    QStringList options;
    for (const auto& [name, value] : m_parameters) {
        options << name + QLatin1Char('=') + QuotedValue(value);
    }
    if (RequiresEncryption()) {
        // libpq's own default (prefer) goes on in clear text with whatever
        // answers, and hands a password to any server that asks for it so.
        options << QStringLiteral("sslmode='require'");
    }
    return options.join(QLatin1Char(';'));
}

std::string CLibraryLocation::Display() const {
    if (!m_server) {
        return m_text;
    }
    if (!m_malformed.empty()) {
        return Masked(QString::fromStdString(m_text)).toStdString();
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
    return CLibraryLocation::ParseOrKeep(location).Display();
}
