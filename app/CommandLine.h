#pragma once

// Runs the program with its command line; returns the process exit code.
int RunBlurtle(int argc, char** argv);
