#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

class CLibraryLocation;

// Passwords for libraries on a PostgreSQL server beyond libpq's own means
// (the address, ~/.pgpass, PGPASSWORD, a service file).
//
// When a server wants a password that none of those gave, or refuses the
// one given, the connection asks the installed source: the palette asks
// its user in a dialog, one at a time, and only for what the user did;
// console commands install none, so libpq's failure stands there. A password that logged in is kept
// in this process's memory, per server, port, user and database, so every later connection to the
// same database uses it without asking again. Nothing here is ever written anywhere.

// What a source is told when a server asks for a password.
struct PasswordRequest {
    QString user;        // the role that logs in
    std::string library; // the library as messages name it (no password)
    bool refusedBefore;  // the server refused the password given last
};

// The password to try, or nothing when the user gave up.
using PasswordSource = std::function<std::optional<QString>(const PasswordRequest&)>;

// Installs the source to ask (an empty one: nobody is asked).
void SetPasswordSource(PasswordSource source);
// Asks the installed source; nothing when there is none, it gave up, or
// nobody may be asked now (see MayAskForPassword).
std::optional<QString> AskForPassword(const PasswordRequest& request);
// Whether a password may be asked for now on this thread: no
// CNoOneToAsk covers it, and no other question for a password is open on
// it (a dialog's own event loop runs other work meanwhile, which must not
// stack a second dialog on the first).
bool MayAskForPassword();

// While one lives, nobody is asked for a password on its thread: the work
// it covers was not asked for by the user at the palette (a D-Bus client,
// a timer), so a server that wants a password fails with words that say
// so instead of putting a dialog in front of a user who did not ask.
class CNoOneToAsk {
public:
    CNoOneToAsk();
    ~CNoOneToAsk();
    CNoOneToAsk(const CNoOneToAsk&) = delete;
    CNoOneToAsk& operator=(const CNoOneToAsk&) = delete;
};

// The role that logs in at `location`: the address's user, else libpq's
// default (PGUSER, else the login name).
QString LoginName(const CLibraryLocation& location);

// The session's passwords, one per server, port, user and database.
void RememberPassword(const CLibraryLocation& location, const QString& password);
std::optional<QString> RememberedPassword(const CLibraryLocation& location);
void ForgetPassword(const CLibraryLocation& location);
void ForgetAllPasswords();
