#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

// What a drag source learns from the list: the answer to its last drag-over
// (a Qt source reports that one as the drag's result) and, if it drops, the
// answer to the drop.
struct SourceView {
    bool moveAccepted = false;
    Qt::DropAction moveAction = Qt::IgnoreAction;
    bool dropped = false; // the source dropped: its last drag-over was accepted
    Qt::DropAction dropAction = Qt::IgnoreAction;

    // The action the source takes: its last drag-over answer, or nothing
    // when that was a refusal.
    Qt::DropAction Result() const { return moveAccepted ? moveAction : Qt::IgnoreAction; }
};

// Sends a drag's entry and one move to `viewport` as Qt delivers them: the
// move starts out accepted when the entry was accepted with an action, and
// the source is told the move's answer.
inline void EnterAndMove(QWidget* viewport, const QMimeData& data, QPoint at,
                         Qt::KeyboardModifiers modifiers, Qt::DropActions possible,
                         SourceView& view) {
    QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at + QPoint(2, 0), possible, &data, Qt::LeftButton, modifiers);
    if (enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction &&
        possible.testFlag(enter.dropAction())) {
        move.setDropAction(enter.dropAction());
        move.accept();
    }
    QApplication::sendEvent(viewport, &move);
    view.moveAccepted = move.isAccepted();
    view.moveAction = move.dropAction();
}
