#pragma once

#include "dragdrop/PaletteMessages.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

// Adds a context-menu command that does no work itself: choosing it posts
// `message` to the palette that holds `sender`, which carries the command
// out once the menu has closed. `command` is kept as the action's data.
inline QAction* AddPaletteCommand(QMenu& menu, QWidget* sender, const QString& text, int command,
                                  PaletteMessage message) {
    QAction* action = menu.addAction(text);
    action->setData(command);
    QObject::connect(action, &QAction::triggered, sender,
                     [sender, message] { PostPaletteMessage(sender->window(), message); });
    return action;
}

// The keys that open a context menu from the keyboard: the Menu key and
// Shift+F10. The list and the selector open theirs at the press, as the
// right button does, so every command is within reach without a mouse.
inline bool IsMenuKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (event.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}
