#include "store/ServerErrors.h"

#include <QSqlError>
#include <libpq-fe.h>

#include <array>
#include <utility>

namespace {

// libpq's messages for failures to connect, and what each means.
QString WordsForConnection(const QString& text) {
    static const std::array<std::pair<const char*, const char*>, 19> kWords{{
        {"could not translate host name",
         "The server of the library \"%1\" was not found: its host name is unknown."},
        {"Name or service not known",
         "The server of the library \"%1\" was not found: its host name is unknown."},
        {"password authentication failed",
         "Blurtle could not log in to the server of the library \"%1\": authentication "
         "failed."},
        {"no password supplied",
         "Blurtle could not log in to the server of the library \"%1\": the server needs a "
         "password, and no password was found in ~/.pgpass, PGPASSWORD or a service file."},
        {"authentication failed",
         "Blurtle could not log in to the server of the library \"%1\": authentication "
         "failed."},
        {"no pg_hba.conf entry",
         "The server of the library \"%1\" does not let this user in from here."},
        {"permission denied for database",
         "The server of the library \"%1\" does not let this user connect to its database."},
        {"too many clients already",
         "The server of the library \"%1\" has no room for another connection now. Try again "
         "later."},
        {"connection slots are reserved",
         "The server of the library \"%1\" has no room for another connection now. Try again "
         "later."},
        {"does not support SSL",
         "The server of the library \"%1\" offers no encrypted connection. Blurtle asks for "
         "one (the address's sslmode, or sslmode=require for a server on another machine); "
         "to do without, end the address with ?sslmode=prefer."},
        {"role \"", "Blurtle could not log in to the server of the library \"%1\": the server "
                    "knows no such user."},
        {"is not currently accepting connections",
         "The database of the library \"%1\" takes no connections at the moment (its "
         "administrator may be working on it). Try again later."},
        {"database \"", "The database of the library \"%1\" does not exist on its server."},
        {"Connection refused", "The server of the library \"%1\" refused the connection: no "
                               "PostgreSQL server is listening there."},
        {"No such file or directory", "The server of the library \"%1\" refused the "
                                      "connection: no PostgreSQL server is listening there."},
        {"timeout expired", "The server of the library \"%1\" did not answer in time."},
        {"Connection timed out", "The server of the library \"%1\" did not answer in time."},
        {"the database system is starting up",
         "The server of the library \"%1\" is starting up. Try again in a moment."},
        {"the database system is shutting down",
         "The server of the library \"%1\" is shutting down."},
    }};
    for (const auto& [needle, words] : kWords) {
        if (text.contains(QLatin1String(needle))) {
            return QString::fromLatin1(words);
        }
    }
    return QStringLiteral("Blurtle could not connect to the server of the library \"%1\".");
}

QString WordsForState(const QString& state, const QString& text) {
    if (state == QLatin1String("23503")) {
        return QStringLiteral("The library \"%1\" refused the change: the item's category "
                              "no longer exists (another program may have deleted it).");
    }
    if (state.startsWith(QLatin1String("23"))) {
        return QStringLiteral("The library \"%1\" refused the change: it would break the "
                              "library's rules.");
    }
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") ||
        state == QLatin1String("40001")) {
        return QStringLiteral("The library \"%1\" is busy: another program is changing it. "
                              "Try again in a moment.");
    }
    if (IsServerReadOnlyCode(state)) {
        return QStringLiteral("The library \"%1\" is read-only.");
    }
    if (state == QLatin1String("53100")) {
        return QStringLiteral("The change could not be stored: the disk that holds the "
                              "library \"%1\" on its server is full.");
    }
    if (state == QLatin1String("42P01") || state == QLatin1String("42703") ||
        state == QLatin1String("42883")) {
        return QStringLiteral("The library \"%1\" is damaged and can't be used as it is (a "
                              "table, column or function of it is missing).");
    }
    if (state.startsWith(QLatin1String("28"))) {
        return QStringLiteral("Blurtle could not log in to the server of the library \"%1\": "
                              "authentication failed.");
    }
    if (state == QLatin1String("3D000")) {
        return QStringLiteral("The database of the library \"%1\" does not exist on its "
                              "server.");
    }
    if (IsConnectionLostCode(state)) {
        return QStringLiteral("The connection to the server of the library \"%1\" was lost. "
                              "Try again.");
    }
    if (state == QLatin1String("22021") || text.contains(QLatin1String("invalid byte"))) {
        return QStringLiteral("The library \"%1\" holds only UTF-8 text.");
    }
    return QStringLiteral("The library \"%1\" reported an error.");
}

// The engine's own words on a failure.
QString EngineText(const QSqlError& error) {
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

} // namespace

bool IsServerReadOnlyCode(const QString& sqlState) {
    // insufficient_privilege, read_only_sql_transaction
    return sqlState == QLatin1String("42501") || sqlState == QLatin1String("25006");
}

bool IsConnectionLostCode(const QString& sqlState) {
    // connection_exception, admin_shutdown, crash_shutdown, cannot_connect_now
    return sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("57P"));
}

std::string DescribeServerError(const QSqlError& error, const std::string& library) {
    QString engineText = EngineText(error);
    if (engineText.isEmpty()) {
        engineText = QStringLiteral("unknown database error");
    }
    const QString state = error.nativeErrorCode();
    // A broken connection has no SQLSTATE either, but words of its own.
    const bool lost =
        state.isEmpty() && (engineText.contains(QLatin1String("server closed the connection")) ||
                            engineText.contains(QLatin1String("no connection to the server")));
    const QString words = !state.isEmpty() ? WordsForState(state, engineText)
                          : lost           ? WordsForState(QStringLiteral("08006"), engineText)
                                           : WordsForConnection(engineText);
    return (words.arg(QString::fromStdString(library)) + QStringLiteral("\n\nDetails: ") +
            engineText)
        .toStdString();
}

PasswordTrouble PasswordTroubleOf(const QSqlError& error) {
    if (!error.nativeErrorCode().isEmpty()) {
        return PasswordTrouble::None; // a statement's error, not a failed login
    }
    const QString text = error.databaseText() + QLatin1Char('\n') + error.text();
    // libpq keeps this message untranslated, as a constant, so that its
    // callers can tell it in any language; a refusal comes in the server's
    // own words.
    if (text.contains(QLatin1String(PQnoPasswordSupplied).trimmed())) {
        return PasswordTrouble::Missing;
    }
    if (text.contains(QLatin1String("password authentication failed"))) {
        return PasswordTrouble::Refused;
    }
    return PasswordTrouble::None;
}

std::string DescribePasswordNeeded(const QSqlError& error, const std::string& library) {
    return (QStringLiteral("The server of the library \"%1\" needs a password. Blurtle asks "
                           "for it only in the palette, when the user works there, and then "
                           "keeps it until Blurtle ends; or put it in ~/.pgpass.")
                .arg(QString::fromStdString(library)) +
            QStringLiteral("\n\nDetails: ") + EngineText(error))
        .toStdString();
}

std::string DescribeUnstorableText(const std::string& library) {
    return QStringLiteral("The library \"%1\" holds only UTF-8 text without zero characters; "
                          "this text is not, so the change was not stored.")
        .arg(QString::fromStdString(library))
        .toStdString();
}
