#pragma once

#include "engine/DroppedText.h"

#include <QString>

// What the palette decided about text dragged onto its list, once, as the
// drag entered: the drop then carries out this decision instead of
// weighing the text again.
struct CDropDecision {
    // The dragged text; null when the drag carries no text at all.
    QString text;
    // Why the text can't become an item, in words for the user; empty when
    // it can.
    QString whyNot;
    // The library's state is in doubt, so adding may still fail at the
    // drop: the source is offered a copy, never a move, so a failed drop
    // never makes it delete its text.
    bool mayFail = false;
    // The category the item goes to, and the item the text makes.
    QString categoryKey;
    DroppedItem item;
};
