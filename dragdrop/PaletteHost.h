#pragma once

#include "dragdrop/DropDecision.h"

#include <QRect>
#include <QString>

// What the list and the selector need of the palette window that holds
// them: the list's rectangle during its own drag-out (so the palette's drop
// target can refuse the list's own drops), the palette's two timers
// (1 hides the palette once a drag has started, 2 shows it after the drop),
// and its say over text dropped onto the list.
class CPaletteHost {
public:
    enum TimerId { HideTimer = 1, ShowTimer = 2 };

    virtual ~CPaletteHost() = default;

    // The rectangle in screen coordinates; empty when no drag-out runs.
    virtual QRect GetListRect() const = 0;
    virtual void SetListRect(const QRect& screenRect) = 0;

    virtual void SetPaletteTimer(int id, int milliseconds) = 0;
    virtual void KillPaletteTimer(int id) = 0;

    // Decides whether `text` can become a new item now. A null `text`
    // stands for a drag that carries no text at all. The drop target asks
    // this as text enters the list and refuses the drag when there is a
    // reason, so no source is ever told its text moved when nothing was
    // added.
    virtual CDropDecision DecideDrop(const QString& text) const = 0;

    // Carries out a drop accepted by its decision. Returns true when the
    // text became a new item; false when nothing was added, so the source
    // keeps its text. Never throws: a reason the user could not guess is
    // shown once the drop is over.
    virtual bool TakeDrop(const CDropDecision& decision) = 0;

    // Tells the user why a drag the list refused was not added, once the
    // program that dragged has finished its drag.
    virtual void ExplainRefusedDrop(const QString& reason) = 0;
};
