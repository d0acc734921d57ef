#pragma once

#include <QString>

// `blurtle --compose ITEM`: writes the text a drag of the item would drop
// to standard output, as it is (no line break added), and returns 0. The
// item is named by its key or as "Category/Mnemonic" in the library the
// settings name. Returns 1 with a message on standard error when the
// library can't be read or the name matches no item or several.
int ComposeFromCommandLine(const QString& item);
