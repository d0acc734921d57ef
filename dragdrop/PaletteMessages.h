#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

// The palette's private messages. The selector's and the list's context
// menus do no work themselves: each command posts one of these to the
// palette, which carries it out in its own event handling, after the menu
// has closed. The numbers are fixed (1124..1132) because they name the
// commands everywhere, the item editor's own 1130 included.
enum PaletteMessage : int {
    UWM_ADD_CATEGORY = 1124,
    UWM_DELETE_CATEGORY = 1125,
    UWM_ADD_ITEM = 1126,
    UWM_DELETE_ITEM = 1127,
    UWM_RENAME_MNEMONIC = 1128,
    UWM_ITEM_PROPERTIES = 1129,
    UWM_SET_PUNCTUATION = 1130, // the item editor's message to itself; never the palette's
    UWM_SORT_CATEGORIES = 1131,
    UWM_RENAME_CATEGORY = 1132,
};

inline QEvent::Type ToEventType(PaletteMessage message) {
    return static_cast<QEvent::Type>(static_cast<int>(message));
}

// Posts `message` to `palette`; it is handled once control returns to the
// event loop.
inline void PostPaletteMessage(QObject* palette, PaletteMessage message) {
    QCoreApplication::postEvent(palette, new QEvent(ToEventType(message)));
}
