#pragma once

// Runs a normal start of the program once the application object exists:
// seeds the random source, hands over to a palette of this user that is
// already running, or runs the palette until it ends. Returns the exit
// code.
int RunStartup();
