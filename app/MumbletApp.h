#pragma once

#include "store/LibraryLocation.h"

#include <QString>

#include <string>

class QWidget;

// The application object: owns the active library's path for the life of
// the process and the steps that verify it and let the user choose
// another. Exactly one exists while the program (or a test) runs; the
// recordsets read its path at every open.
class CMumbletApp {
public:
    CMumbletApp();
    ~CMumbletApp();
    CMumbletApp(const CMumbletApp&) = delete;
    CMumbletApp& operator=(const CMumbletApp&) = delete;

    // The instance alive now, or null.
    static CMumbletApp* Instance();

    // Reads "General"/"DatabasePath" and, when it is empty or names no
    // file, tells the user and runs the file dialog (owned by `palette`).
    // On the very first start (no setting, default file absent) it creates
    // the factory default library at the default location instead.
    // Afterwards m_strDatabasePath holds the path to use, valid or not.
    void VerifyDatabasePath(QWidget* palette);

    // Runs the library file dialog, where a server address may be typed
    // too. On OK checks the library and stores its path (an address
    // without its password) in memory and in the settings; with `closeAfterChange` it then says the
    // program must close and asks `owner` to close (the program's own close request).
    void ChooseDatabaseFile(QWidget* owner, bool closeAfterChange);

    // Blurtle.blz in the user's data directory (…/Quillfen/Blurtle).
    static QString DefaultDatabasePath();

    // Makes `library` the active library, read where it came in (the
    // settings, the file dialog, the command line).
    void UseLibrary(CLibraryLocation library);
    // For the command line's commands: makes the library the settings name
    // (or the default one) the active one. False, said on standard error,
    // when the setting is empty (no library was chosen yet).
    bool UseRememberedLibrary();

    // The active library as it was given (UTF-8); set with UseLibrary.
    std::string m_strDatabasePath;

private:
    CLibraryLocation m_library;
};
