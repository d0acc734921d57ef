#pragma once

class QCommandLineOption;
class QCommandLineParser;

// `--import-library OLD.mdb NEW.blz`: makes a new library from an older
// library file (or fills an empty server database with it), on the
// terminal, without a display.

const QCommandLineOption& ImportLibraryOption();

// Runs the import the parsed command line asks for; prints one line on
// success, the reason on failure. Returns the exit code.
int RunImportLibrary(const QCommandLineParser& parser);
