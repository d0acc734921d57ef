#pragma once

class QWidget;

// How the palette gets out of a drag's way on Wayland. Under X11 it hides
// while the drag runs and is shown again at the same place. A Wayland
// compositor places every window it maps itself, and a client can't ask
// for a place, so a palette unmapped and mapped again would jump. On
// Wayland it therefore stays mapped and steps aside in place: it shrinks
// to a single point at its top-left corner that takes no input (sway
// finds the window under the pointer by the windows' rectangles, other
// compositors by the input region), and gets its size back afterwards.
// The compositor keeps a window's corner where it is when the window
// itself changes its size, so the palette comes back where it was.
namespace WaylandStepAside {

// True when the program is a native Wayland client (not X11, not under
// XWayland, not offscreen): windows are placed by the compositor alone.
bool IsNativeWayland();

// Steps `window` aside for a drag, or brings it back. Does nothing when
// not on Wayland, or when the window already is where it is asked to be.
void LetPointerThrough(QWidget* window, bool through);

// True while `window` has stepped aside: its size then means nothing.
bool IsSteppedAside(const QWidget* window);

} // namespace WaylandStepAside
