#pragma once

#include "dragdrop/X11Input.h"
#include "engine/Swappable.h"

#include <optional>

// Where the pointer is and which buttons are held, asked of the window
// system at the moment of the call. During another program's drag our own
// event state is stale (that program holds the pointer), so the drop target
// asks the X server itself. Tests install a scripted query, since the
// offscreen platform has no server to ask.
class CPointerQuery : public CSwappable<CPointerQuery> {
public:
    using State = X11Input::Pointer;

    virtual ~CPointerQuery() = default;

    // The pointer now; nothing when the window system can't tell.
    virtual std::optional<State> Query() = 0;

private:
    friend CSwappable<CPointerQuery>;
    // The window system's query.
    static CPointerQuery& Real();
};
