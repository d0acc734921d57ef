#pragma once

#include <QPoint>
#include <Qt>

#include <optional>

// Where the pointer is and which buttons are held, asked of the window
// system at the moment of the call. During another program's drag our own
// event state is stale (that program holds the pointer), so the drop target
// asks the X server itself. Tests install a scripted query, since the
// offscreen platform has no server to ask.
class CPointerQuery {
public:
    struct State {
        QPoint global;
        Qt::MouseButtons buttons;
    };

    virtual ~CPointerQuery() = default;

    // The pointer now; nothing when the window system can't tell.
    virtual std::optional<State> Query() = 0;

    // The query in use; by default the window system's.
    static CPointerQuery& Current();
    // Replaces the query (null restores the default); returns the previous one.
    static CPointerQuery* SetCurrent(CPointerQuery* query);
};
