// A pointer for a headless Wayland seat, for end-to-end tests: a headless
// compositor has no pointer until a client makes one. This client makes a
// virtual pointer (wlroots' virtual-pointer protocol) and moves and presses
// it on the commands it reads, one a line, from standard input:
//
//   move X Y        the pointer to X Y in output coordinates
//   down [BUTTON]   presses BUTTON (left, right or middle; left by default)
//   up [BUTTON]     releases it
//
// Every command is answered with "ok" on standard output once the
// compositor has handled it. The pointer lives as long as the client, so a
// button held down stays held between commands.
//
//   wayland_pointer WIDTH HEIGHT    (the output's size)
#include "virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr std::uint32_t kButtonLeft = 0x110; // BTN_LEFT of linux/input-event-codes.h
constexpr std::uint32_t kButtonRight = 0x111;
constexpr std::uint32_t kButtonMiddle = 0x112;

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

std::uint32_t Now() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint32_t ButtonCode(const std::string& name) {
    if (name == "right") {
        return kButtonRight;
    }
    if (name == "middle") {
        return kButtonMiddle;
    }
    return kButtonLeft;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: wayland_pointer WIDTH HEIGHT\n");
        return 2;
    }
    const auto width = static_cast<std::uint32_t>(std::stoul(argv[1]));
    const auto height = static_cast<std::uint32_t>(std::stoul(argv[2]));

    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland_pointer: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if (globals.manager == nullptr) {
        std::fprintf(stderr, "wayland_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    wl_display_roundtrip(display);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "move") {
            std::uint32_t x = 0;
            std::uint32_t y = 0;
            words >> x >> y;
            zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), x, y, width, height);
        } else if (command == "down" || command == "up") {
            std::string button;
            words >> button;
            zwlr_virtual_pointer_v1_button(pointer, Now(), ButtonCode(button),
                                           command == "down" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                             : WL_POINTER_BUTTON_STATE_RELEASED);
        } else if (command.empty()) {
            continue;
        } else {
            std::fprintf(stderr, "wayland_pointer: unknown command %s\n", command.c_str());
            continue;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) {
            std::fprintf(stderr, "wayland_pointer: the compositor went away\n");
            return 1;
        }
        std::cout << "ok" << std::endl;
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
