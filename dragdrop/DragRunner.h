#pragma once

#include "engine/Swappable.h"

#include <Qt>

class QDrag;

// Runs a drag's event loop. The program's runner calls QDrag::exec; tests
// install their own, since a real drag needs a real pointer (offscreen it
// returns at once, under a bare X server it waits for one).
class CDragRunner : public CSwappable<CDragRunner> {
public:
    virtual ~CDragRunner() = default;

    // Runs the drag and returns the action the target took. The runner owns
    // the drag from here on and releases it, with its data, once nobody
    // needs it: a program that took a drop reads the data only after the
    // drag loop has ended, so Qt keeps it until that program has finished.
    virtual Qt::DropAction Run(QDrag* drag, Qt::DropActions actions) = 0;

private:
    friend CSwappable<CDragRunner>;
    // The runner of real drags.
    static CDragRunner& Real();
};
