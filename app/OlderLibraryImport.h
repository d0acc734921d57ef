#pragma once

#include <QString>

class QWidget;

// Older libraries (.mdb files of Access 97 and 2000-2003) chosen in the
// library file dialog: they are imported into a new library, which is then
// used in their place.

// The library file dialog's entries for libraries and for them.
QString LibraryFilter();
QString OlderLibraryFilter();

// Whether `path` names an older library file (by its extension).
bool IsOlderLibraryPath(const QString& path);

// Where the converted library is proposed: beside the older file with its
// name and ".blz" when that folder can be written, else in the user's data
// folder (`dataFolder`); " (2)", " (3)", ... is added to the name when a
// file of that name is already there.
QString ProposedLibraryPath(const QString& oldPath, const QString& dataFolder);

// Asks where the new library goes (proposing ProposedLibraryPath with the
// user's data folder `dataFolder`), imports
// the older file there with a progress dialog when that takes longer than a
// moment, and says what was imported. Returns the new library's path, or
// an empty string when the user cancelled or the import failed (the user
// was told why; nothing is left behind).
QString ImportOlderLibrary(QWidget* owner, const QString& oldPath, const QString& dataFolder);
