#pragma once

#include <QString>

// The per-user settings: organisation "Quillfen", application the
// executable's base name, every key in group "General" (on Linux
// ~/.config/Quillfen/<exe>.conf).
namespace Profile {

QString GetString(const QString& key, const QString& defaultValue);
void WriteString(const QString& key, const QString& value);
int GetInt(const QString& key, int defaultValue);
void WriteInt(const QString& key, int value);
// Whether the key is present at all (an empty string counts as present).
bool Contains(const QString& key);

} // namespace Profile
