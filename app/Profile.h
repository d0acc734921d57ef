#pragma once

#include <QString>

// The per-user settings: organisation "Quillfen", application the
// executable's base name, every key in group "General" (on Linux
// ~/.config/Quillfen/<exe>.conf).
namespace Profile {

QString GetString(const QString& key, const QString& defaultValue);
int GetInt(const QString& key, int defaultValue);
// Every write goes to the file at once. False when the settings file could
// not be written (WriteProblem() then says why); the value is then not
// remembered beyond this process.
bool WriteString(const QString& key, const QString& value);
bool WriteInt(const QString& key, int value);
// Whether the key is present at all (an empty string counts as present).
bool Contains(const QString& key);

// The settings file.
QString FileName();
// Why the settings file can't be written now, in words; empty when nothing
// is seen in its way.
QString WriteProblem();

} // namespace Profile
