#include "dragdrop/X11Input.h"

#include <QByteArray>
#include <QGuiApplication>

#if defined(BLURTLE_HAVE_XCB) && QT_CONFIG(xcb)
#define BLURTLE_X11_INPUT 1
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace X11Input {

#ifdef BLURTLE_X11_INPUT

namespace {

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

#else // no X11: nothing to ask

std::optional<Pointer> QueryPointer() {
    return std::nullopt;
}

#endif

} // namespace X11Input
