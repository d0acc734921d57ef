#pragma once

#include <QString>

// `blurtle --find WORDS`: writes one line "Category/Mnemonic" per item of
// the library the settings name that the words find (the name --compose
// takes), in the find's order, and returns 0; returns 1 with nothing on
// standard output when nothing matches, and with a message on standard
// error when the library can't be read.
int FindFromCommandLine(const QString& words);
