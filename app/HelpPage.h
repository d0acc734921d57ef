#pragma once

#include <QUrl>

// The address of the online help page: the build's BLURTLE_HELP_URL when
// one was configured, else the page installed with the program (next to
// the executable's share directory, or in the build tree), else the copy
// built into the program, written out to the user's cache.
QUrl HelpPageUrl();
