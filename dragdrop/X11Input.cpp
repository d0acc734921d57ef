#include "dragdrop/X11Input.h"

#include <QByteArray>
#include <QGuiApplication>

#if defined(BLURTLE_HAVE_XCB) && QT_CONFIG(xcb)
#define BLURTLE_X11_INPUT 1
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>
#endif

namespace X11Input {

#ifdef BLURTLE_X11_INPUT

namespace {

constexpr xcb_keysym_t kEscapeKeysym = 0xff1b;

// The keycodes that type Escape, read when the keyboard is grabbed.
std::vector<xcb_keycode_t> g_escapeKeycodes;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* Connection() {
    if (qGuiApp == nullptr) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screens.rem > 0 ? screens.data->root : XCB_NONE;
}

std::vector<xcb_keycode_t> EscapeKeycodes(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto first = setup->min_keycode;
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
    Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, first, count), nullptr));
    std::vector<xcb_keycode_t> keycodes;
    if (mapping == nullptr || mapping->keysyms_per_keycode == 0) {
        return keycodes;
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    for (int i = 0; i < length; ++i) {
        if (keysyms[i] == kEscapeKeysym) {
            keycodes.push_back(
                static_cast<xcb_keycode_t>(first + i / mapping->keysyms_per_keycode));
        }
    }
    return keycodes;
}

} // namespace

std::optional<Pointer> QueryPointer() {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) {
        return std::nullopt;
    }
    Reply<xcb_query_pointer_reply_t> reply(xcb_query_pointer_reply(
        connection, xcb_query_pointer(connection, RootWindow(connection)), nullptr));
    if (reply == nullptr) {
        return std::nullopt;
    }
    Qt::MouseButtons buttons;
    buttons.setFlag(Qt::LeftButton, (reply->mask & XCB_KEY_BUT_MASK_BUTTON_1) != 0);
    buttons.setFlag(Qt::MiddleButton, (reply->mask & XCB_KEY_BUT_MASK_BUTTON_2) != 0);
    buttons.setFlag(Qt::RightButton, (reply->mask & XCB_KEY_BUT_MASK_BUTTON_3) != 0);
    return Pointer{QPoint(reply->root_x, reply->root_y), buttons};
}

bool GrabKeyboard() {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) {
        return false;
    }
    g_escapeKeycodes = EscapeKeycodes(connection);
    // owner_events false: every key event is reported to the root window,
    // whichever window has the focus.
    Reply<xcb_grab_keyboard_reply_t> reply(xcb_grab_keyboard_reply(
        connection,
        xcb_grab_keyboard(connection, 0, RootWindow(connection), XCB_CURRENT_TIME,
                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    return reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
}

void UngrabKeyboard() {
    if (xcb_connection_t* connection = Connection()) {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
}

bool IsEscapePress(const QByteArray& eventType, void* message) {
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) {
        return false;
    }
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    return std::ranges::find(g_escapeKeycodes, press->detail) != g_escapeKeycodes.end();
}

#else // no X11: nothing to ask, nothing to grab

std::optional<Pointer> QueryPointer() {
    return std::nullopt;
}

bool GrabKeyboard() {
    return false;
}

void UngrabKeyboard() {}

bool IsEscapePress(const QByteArray&, void*) {
    return false;
}

#endif

} // namespace X11Input
