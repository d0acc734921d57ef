#pragma once

#include <string>
#include <string_view>

// Text as older library files store it, made UTF-8 character for
// character. Nothing is normalised: combining marks, line breaks, tabs and
// zero characters stay as stored.
struct DecodedText {
    std::string utf8;
    // Characters that were not valid in the file's encoding (a lone
    // surrogate, half a character, a byte Windows-1252 leaves undefined),
    // each written as U+FFFD instead.
    int replaced = 0;
};

// Access 2000-2003 text: UTF-16 little-endian, or "compressed" when it
// starts with the bytes FF FE. A compressed text starts with one byte per
// character (U+0001 to U+00FF); each zero byte switches between that and
// two bytes per character.
DecodedText DecodeJet4Text(std::string_view bytes);

// Access 97 text: Windows-1252, one byte per character.
DecodedText DecodeWindows1252(std::string_view bytes);
