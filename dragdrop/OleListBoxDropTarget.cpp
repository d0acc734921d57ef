#include "dragdrop/OleListBoxDropTarget.h"

#include "dragdrop/DDListBox.h"
#include "dragdrop/PaletteHost.h"

#include <QMimeData>

Qt::DropAction COleListBoxDropTarget::OnDragOver(const QPoint& globalPos,
                                                 Qt::KeyboardModifiers modifiers,
                                                 Qt::DropActions possible) const {
    if (m_list.GetListRect().contains(globalPos)) {
        return Qt::IgnoreAction;
    }
    Qt::DropAction wanted =
        modifiers.testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
    if (!possible.testFlag(wanted)) {
        wanted = wanted == Qt::MoveAction ? Qt::CopyAction : Qt::MoveAction;
    }
    return possible.testFlag(wanted) ? wanted : Qt::IgnoreAction;
}

Qt::DropAction COleListBoxDropTarget::OnDrop(const QMimeData* data, Qt::DropAction proposed) {
    CPaletteHost* palette = CPaletteHost::Of(&m_list);
    if (palette == nullptr || data == nullptr || !data->hasText()) {
        return Qt::IgnoreAction;
    }
    return palette->TakeDroppedText(data->text()) ? proposed : Qt::IgnoreAction;
}
