#pragma once

#include <QString>

#include <string>

class QSqlError;

// What went wrong with a library on a PostgreSQL server, in words naming
// the library (its address without a password), followed by the server's
// or libpq's own text for support. Statement errors are told by their
// SQLSTATE; failures to connect, which carry none, by libpq's message.
std::string DescribeServerError(const QSqlError& error, const std::string& library);
// Whether an SQLSTATE says this role may only read the library.
bool IsServerReadOnlyCode(const QString& sqlState);
// Whether an SQLSTATE says the connection itself is gone.
bool IsConnectionLostCode(const QString& sqlState);
// Whether a failure to connect was for want of a password (none was
// given and libpq found none), or because the server refused the one given.
enum class PasswordTrouble { None, Missing, Refused };
PasswordTrouble PasswordTroubleOf(const QSqlError& error);
// A server wants a password (`error` is libpq's failure to log in) and
// nobody may be asked for it here: what to do instead.
std::string DescribePasswordNeeded(const QSqlError& error, const std::string& library);
// The message for text that a server library can't hold.
std::string DescribeUnstorableText(const std::string& library);
