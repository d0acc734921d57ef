#pragma once

#include <QVariant>

#include <string>

// The braced identifier inside a key column's text: from the first "{" at
// or after the second character through the first "}" after it. For the
// wrapped form "{guid {...}}" that is the 38-character "{...}". Returns an
// empty string when there is no such pair.
std::string ExtractBracedIdentifier(const std::string& keyText);

// The seek key for a braced identifier: its bytes as they are. A null text
// gives a null key, which matches no row.
QVariant MakeSeekKey(const char* text);
QVariant MakeSeekKey(const std::string& text);
