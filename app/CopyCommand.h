#pragma once

class QCommandLineOption;
class QCommandLineParser;

// `--copy-library FROM TO`: copies a whole library into a new or empty one
// (files and server databases in any combination), on the terminal,
// without a display.

const QCommandLineOption& CopyLibraryOption();

// Runs the copy the parsed command line asks for; prints one line on
// success, the reason on failure. Returns the exit code.
int RunCopyLibrary(const QCommandLineParser& parser);
