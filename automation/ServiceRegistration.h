#pragma once

#include <QString>

#include <functional>

// The registration by which the session bus starts the program for an
// automation client: a service file for "Mumblet.Application" in the
// user's data directory ($XDG_DATA_HOME/dbus-1/services), whose Exec line
// runs this executable with the automation switch.
namespace ServiceRegistration {

// Where the service file is.
QString ServiceFilePath();

// The service file's text for the executable at `executable`.
QString ServiceFileText(const QString& executable);

// Writes the service file for `executable` unless it already says the
// same; the write is atomic. False, with the reason in `error` when given,
// when the file could not be written.
bool Update(const QString& executable, QString* error = nullptr);

// Reads the service file back and hands `warn` the words for the user when
// it can't be opened or names no program to start. Returns the command it
// names, or an empty string.
QString CheckServerRegistration(const std::function<void(const QString& text)>& warn);

} // namespace ServiceRegistration
