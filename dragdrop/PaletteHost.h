#pragma once

#include <QRect>
#include <QString>

class QWidget;

// What the list and the selector need of the palette window that holds
// them: the list's rectangle during its own drag-out (so the palette's drop
// target can refuse the list's own drops) and the palette's two timers
// (1 hides the palette once a drag has started, 2 shows it after the drop).
class CPaletteHost {
public:
    enum TimerId { HideTimer = 1, ShowTimer = 2 };

    virtual ~CPaletteHost() = default;

    // The rectangle in screen coordinates; empty when no drag-out runs.
    virtual QRect GetListRect() const = 0;
    virtual void SetListRect(const QRect& screenRect) = 0;

    virtual void SetPaletteTimer(int id, int milliseconds) = 0;
    virtual void KillPaletteTimer(int id) = 0;

    // Text dropped onto the list from another program. Returns true when it
    // became a new item; false when nothing was added, so the source keeps
    // its text. Never throws: a reason the user could not guess is shown
    // once the drop is over.
    virtual bool TakeDroppedText(const QString& text) = 0;

    // The palette that holds `widget`, or null when it sits in none.
    static CPaletteHost* Of(QWidget* widget);
};
