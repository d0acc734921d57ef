#pragma once

#include <QPoint>
#include <Qt>

class CDDListBox;
class QMimeData;

// The drop target of the mnemonic list: text dropped onto the list from
// another program becomes a new item of the selected category. The list
// forwards its drag events here.
//
// It refuses every drop while the list's own drag-out runs (the palette's
// list rectangle then holds the list), so an item can't be dropped onto
// the list it came from. Otherwise it asks for a copy with Ctrl held and a
// move without, as other programs expect.
class COleListBoxDropTarget {
public:
    explicit COleListBoxDropTarget(CDDListBox& list) : m_list(list) {}

    // Drag enter and drag over: the action to propose for the pointer at
    // `globalPos`, or Qt::IgnoreAction to refuse. `possible` are the
    // actions the source allows; a move it doesn't allow becomes a copy
    // and a copy a move.
    Qt::DropAction OnDragOver(const QPoint& globalPos, Qt::KeyboardModifiers modifiers,
                              Qt::DropActions possible) const;

    // The drop: hands the text to the palette. Returns the action taken, or
    // Qt::IgnoreAction when no item was added (no text, no category, a text
    // an item can't hold, a database error), so a source that moves keeps
    // its text.
    Qt::DropAction OnDrop(const QMimeData* data, Qt::DropAction proposed);

private:
    CDDListBox& m_list;
};
