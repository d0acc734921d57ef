#pragma once

#include <QString>

#include <string>
#include <utility>
#include <vector>

// Where a library lives: a file (any text that is not a server address),
// or a PostgreSQL database named in libpq's URI form, read by libpq itself
//
//   postgresql://[user[:password]@][host][:port]/dbname[?name=value&...]
//
// ("postgres://" too). The host may be a Unix socket directory, given as
// ?host=/path or percent-encoded in place of the host. Without a host,
// libpq's default applies (its socket directory, or PGHOST).
//
// A password in the address is used to connect but is never shown:
// Display() leaves it out, so that form is the one to show and to store.
// Passwords belong to libpq's own means (~/.pgpass, PGPASSWORD, a service
// file, peer authentication).
class CLibraryLocation {
public:
    // Throws CDaoException (Reason::NotALibrary) for a server address that
    // is malformed, saying what is wrong with it.
    static CLibraryLocation Parse(const std::string& text);
    // Parse, except that a malformed server address is kept as it is: the
    // program goes on with it, and every connection to it fails with the
    // error Parse found.
    static CLibraryLocation ParseOrKeep(const std::string& text);
    // Whether `text` is meant as a server address (by its scheme), well
    // formed or not.
    static bool IsServerAddress(const std::string& text);

    bool IsServer() const { return m_server; }
    // The location as it was given (a file library's path).
    const std::string& Text() const { return m_text; }

    // Empty for libpq's default; a socket directory starts with "/".
    const QString& Host() const { return m_host; }
    // -1 for libpq's default.
    int Port() const { return m_port; }
    const QString& DatabaseName() const { return m_database; }
    // Empty for libpq's default (the login name, or PGUSER).
    const QString& UserName() const { return m_user; }
    const QString& Password() const { return m_password; }
    // The address's other parameters (sslmode, connect_timeout, ...) as
    // connect options of Qt's PostgreSQL driver, "name='value';...", and
    // sslmode='require' where RequiresEncryption() says so.
    QString ConnectOptions() const;
    // Whether the connection must be encrypted although the address names
    // no sslmode: the server is reached over TCP on another machine, where
    // anything that answers could ask for the password in clear text. An
    // sslmode in the address (prefer or disable to do without), in
    // PGSSLMODE or in a service file decides instead.
    bool RequiresEncryption() const;

    // The address without a password (the path of a file library), for
    // messages and for the settings.
    std::string Display() const;
    // The same location without a password: the form to keep and to store.
    CLibraryLocation WithoutPassword() const;
    // Throws the error Parse found in a location kept by ParseOrKeep.
    void ThrowIfMalformed() const;

    friend bool operator==(const CLibraryLocation&, const CLibraryLocation&) = default;

private:
    // The value of the address's parameter `name`, or null.
    const QString* Parameter(QLatin1StringView name) const;

    bool m_server = false;
    std::string m_text;
    std::string m_malformed; // why Parse refused the text; empty when it did not
    QString m_host;
    int m_port = -1;
    QString m_database;
    QString m_user;
    QString m_password;
    std::vector<std::pair<QString, QString>> m_parameters;
};

// How messages name the library at `location`: its address without a
// password, or the path of a file (never throws).
std::string LibraryDisplayName(const std::string& location);
