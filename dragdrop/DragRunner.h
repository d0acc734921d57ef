#pragma once

#include <Qt>

class QDrag;

// Runs a drag's event loop. The program's runner calls QDrag::exec; tests
// install their own, since a real drag needs a real pointer (offscreen it
// returns at once, under a bare X server it waits for one).
class CDragRunner {
public:
    virtual ~CDragRunner() = default;

    // Runs the drag and returns the action the target took. The runner owns
    // the drag from here on and releases it, with its data, once nobody
    // needs it: a program that took a drop reads the data only after the
    // drag loop has ended, so Qt keeps it until that program has finished.
    virtual Qt::DropAction Run(QDrag* drag, Qt::DropActions actions) = 0;

    // The runner in use; by default the one that runs real drags.
    static CDragRunner& Current();
    // Replaces the runner (null restores the default); returns the previous one.
    static CDragRunner* SetCurrent(CDragRunner* runner);
};
