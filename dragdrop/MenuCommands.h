#pragma once

#include "dragdrop/PaletteMessages.h"

#include <QAction>
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
