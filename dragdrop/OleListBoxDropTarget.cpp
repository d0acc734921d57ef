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
    if (listDragging || m_host == nullptr || m_host->GetListRect().contains(globalPos)) {
        // The list's own drag: refused without a word.
        return Qt::IgnoreAction;
    }
    QString text;
    if (data != nullptr && data->hasText()) {
        text = data->text();
        if (text.isNull()) {
            text = QStringLiteral(""); // text, though empty
        }
    }
    m_decision = m_host->DecideDrop(text);
    m_refused = !m_decision.whyNot.isEmpty();
    return OnDragOver(globalPos, modifiers, possible);
}

Qt::DropAction COleListBoxDropTarget::OnDragOver(const QPoint& globalPos,
                                                 Qt::KeyboardModifiers modifiers,
                                                 Qt::DropActions possible) const {
    if (!m_inDrag || m_refused || m_host == nullptr || m_host->GetListRect().contains(globalPos)) {
        return Qt::IgnoreAction;
    }
    if (m_decision.mayFail) {
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
    const CDropDecision decision = m_decision;
    const bool refused = !m_inDrag || m_refused || proposed == Qt::IgnoreAction;
    Forget();
    if (m_host == nullptr) {
        return Qt::IgnoreAction;
    }
    if (refused) {
        // A source that drops although it was refused: say why all the same.
        if (!decision.whyNot.isEmpty()) {
            m_host->ExplainRefusedDrop(decision.whyNot);
        }
        return Qt::IgnoreAction;
    }
    return m_host->TakeDrop(decision) ? proposed : Qt::IgnoreAction;
}

void COleListBoxDropTarget::OnDragLeave() {
    const QString whyNot = m_decision.whyNot;
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
    if (listRect.contains(global) && m_host != nullptr) {
        m_host->ExplainRefusedDrop(whyNot);
    }
}

void COleListBoxDropTarget::Forget() {
    m_inDrag = false;
    m_decision = CDropDecision();
    m_refused = true;
}
