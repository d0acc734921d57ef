#pragma once

// How the program was started.
enum class StartKind {
    Normal,    // by the user
    Automated, // by the session bus, for an automation client
};

// Runs the program once the application object exists: seeds the random
// source; a normal start writes the automation registration and hands over
// to a palette of this user that is already running; an automated start
// serves the automation objects and takes over from a running palette.
// Then runs the palette until it ends. Returns the exit code.
int RunStartup(StartKind kind = StartKind::Normal);
