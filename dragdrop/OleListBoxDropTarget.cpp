#include "dragdrop/OleListBoxDropTarget.h"

#include "dragdrop/PaletteHost.h"
#include "dragdrop/PointerQuery.h"

#include <QMimeData>
#include <QWidget>

Qt::DropAction COleListBoxDropTarget::OnDragEnter(const QMimeData* data, const QPoint& globalPos,
                                                  Qt::KeyboardModifiers modifiers,
                                                  Qt::DropActions possible, bool listDragging) {
    Forget();
    m_inDrag = true;
    CPaletteHost* palette = CPaletteHost::Of(&m_list);
    if (listDragging || palette == nullptr || palette->GetListRect().contains(globalPos)) {
        // The list's own drag: refused without a word.
        return Qt::IgnoreAction;
    }
    if (data != nullptr && data->hasText()) {
        m_text = data->text();
        if (m_text.isNull()) {
            m_text = QStringLiteral(""); // text, though empty
        }
    }
    m_whyNot = palette->WhyTextCannotBeAdded(m_text);
    m_refused = !m_whyNot.isEmpty();
    return OnDragOver(globalPos, modifiers, possible);
}

Qt::DropAction COleListBoxDropTarget::OnDragOver(const QPoint& globalPos,
                                                 Qt::KeyboardModifiers modifiers,
                                                 Qt::DropActions possible) const {
    const CPaletteHost* palette = CPaletteHost::Of(&m_list);
    if (!m_inDrag || m_refused ||
        (palette != nullptr && palette->GetListRect().contains(globalPos))) {
        return Qt::IgnoreAction;
    }
    if (palette != nullptr && palette->DropMayFail()) {
        // In doubt, a copy: a source never deletes text for a copy.
        return possible.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::IgnoreAction;
    }
    Qt::DropAction wanted =
        modifiers.testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
    if (!possible.testFlag(wanted)) {
        wanted = wanted == Qt::MoveAction ? Qt::CopyAction : Qt::MoveAction;
    }
    return possible.testFlag(wanted) ? wanted : Qt::IgnoreAction;
}

Qt::DropAction COleListBoxDropTarget::OnDrop(Qt::DropAction proposed) {
    CPaletteHost* palette = CPaletteHost::Of(&m_list);
    const QString text = m_text;
    const QString whyNot = m_whyNot;
    const bool refused = !m_inDrag || m_refused || proposed == Qt::IgnoreAction;
    Forget();
    if (palette == nullptr) {
        return Qt::IgnoreAction;
    }
    if (refused) {
        // A source that drops although it was refused: say why all the same.
        if (!whyNot.isEmpty()) {
            palette->ExplainRefusedDrop(whyNot);
        }
        return Qt::IgnoreAction;
    }
    return palette->TakeDroppedText(text) ? proposed : Qt::IgnoreAction;
}

void COleListBoxDropTarget::OnDragLeave() {
    const QString whyNot = m_whyNot;
    Forget();
    if (whyNot.isEmpty()) {
        return; // accepted text that went elsewhere, or our own drag
    }
    const std::optional<CPointerQuery::State> pointer = CPointerQuery::Current().Query();
    if (!pointer || pointer->buttons.testFlag(Qt::LeftButton)) {
        return; // still dragging elsewhere, or the source cancelled (Escape)
    }
    // The server counts device pixels, the widgets logical ones.
    const QPoint global = (QPointF(pointer->global) / m_list.devicePixelRatioF()).toPoint();
    const QRect listRect(m_list.mapToGlobal(QPoint(0, 0)), m_list.size());
    if (!listRect.contains(global)) {
        return;
    }
    if (CPaletteHost* palette = CPaletteHost::Of(&m_list)) {
        palette->ExplainRefusedDrop(whyNot);
    }
}

void COleListBoxDropTarget::Forget() {
    m_inDrag = false;
    m_text = QString();
    m_whyNot.clear();
    m_refused = true;
}
