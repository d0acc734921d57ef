#pragma once

// The reader's side of reading an older library in a child process: reads
// the file at `path` (ReadOldLibrary) and writes what it read, or why it
// could not, to standard output in the frames of ReaderFrame.h. Runs
// before any application object exists and needs none. Returns the exit
// code: 0 when all was sent.
int ServeOldLibraryReading(const char* path);
