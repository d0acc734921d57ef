#pragma once

#include <string>
#include <string_view>

// Keys of older library files, in the one form a library keeps them: a
// braced upper-case identifier, "{8-4-4-4-12}" hexadecimal digits.

// A key stored as 16 bytes (a Replication ID): the first three groups
// are little-endian numbers, the last eight bytes go in order.
std::string FormatKeyBytes(const unsigned char* bytes);

// A key written as text in any of the forms seen in such files: braced or
// not, in either letter case, with hyphens anywhere or none, or wrapped as
// "{guid {...}}", with white space around it. Empty when the text holds no
// key (not exactly 32 hexadecimal digits).
std::string NormalizeKeyText(std::string_view text);
