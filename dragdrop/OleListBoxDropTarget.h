#pragma once

#include "dragdrop/DropDecision.h"

#include <QPoint>
#include <QString>
#include <Qt>

class CPaletteHost;
class QMimeData;
class QWidget;

// The drop target of the mnemonic list: text dropped onto the list from
// another program becomes a new item of the selected category. The list
// forwards its drag events here.
//
// Whether a drop will add an item is decided while the text is dragged
// over the list, not at the drop: many drag sources (every Qt program among
// them) take the last answer given during the drag as the drag's result, so
// a text accepted as "move" and refused at the drop would still be deleted
// by its source. Text that can't become an item is refused from the drag's
// entry on, and the reason is told if the user releases it over the list.
//
// It refuses every drop while the list's own drag-out runs (the palette's
// list rectangle then holds the list), so an item can't be dropped onto
// the list it came from. Otherwise it asks for a copy with Ctrl held and a
// move without, as other programs expect.
class COleListBoxDropTarget {
public:
    explicit COleListBoxDropTarget(QWidget& list) : m_list(list) {}

    // The palette that holds the list, asked about every drag; without one
    // every drag is refused.
    void SetHost(CPaletteHost* host) { m_host = host; }

    // A drag enters the list: reads its text once (on X11 each read is a
    // round trip to the source) and asks the palette, once, whether it can
    // become an item. Then answers as OnDragOver. `listDragging`: the list's own
    // drag-out runs.
    Qt::DropAction OnDragEnter(const QMimeData* data, const QPoint& globalPos,
                               Qt::KeyboardModifiers modifiers, Qt::DropActions possible,
                               bool listDragging);

    // Drag over: the action to propose for the pointer at `globalPos`, or
    // Qt::IgnoreAction to refuse. `possible` are the actions the source
    // allows; a move it doesn't allow becomes a copy and a copy a move,
    // except that a drop that may fail is never offered as a move.
    Qt::DropAction OnDragOver(const QPoint& globalPos, Qt::KeyboardModifiers modifiers,
                              Qt::DropActions possible) const;

    // The drop, `proposed` being the drag-over answer at the drop point:
    // hands the palette's decision made at the entry back to it. Returns the action
    // taken, or Qt::IgnoreAction when no item was added.
    Qt::DropAction OnDrop(Qt::DropAction proposed);

    // The drag left the list. A refused drag ends with a leave instead of a
    // drop; if the pointer is over the list and its left button is up, the
    // user let go of it here, and is told why nothing was added.
    void OnDragLeave();

private:
    void Forget();

    QWidget& m_list;
    CPaletteHost* m_host = nullptr;
    bool m_inDrag = false;    // between an entry and its drop or leave
    CDropDecision m_decision; // the palette's answer at the entry
    bool m_refused = true;    // refused, for the decision or because it is our own
};
