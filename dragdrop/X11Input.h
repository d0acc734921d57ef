#pragma once

#include <QPoint>
#include <Qt>

#include <optional>

class QByteArray;

// The few requests the drag and drop code makes of the X server directly,
// past Qt. Each one does nothing (or answers nothing) when the program does
// not run on X11, as under the offscreen platform of the unit tests.
namespace X11Input {

struct Pointer {
    QPoint global; // on the root window, in device pixels
    Qt::MouseButtons buttons;
};

// The pointer's position and the mouse buttons held, as the server sees
// them now (one round trip).
std::optional<Pointer> QueryPointer();

// Takes every key press of the display for this program (a grab on the root
// window, so it holds while our windows are hidden). False when the server
// refused, for instance because another program holds a grab.
bool GrabKeyboard();
void UngrabKeyboard();

// Whether a native event handed to a QAbstractNativeEventFilter is a press
// of a key that types Escape.
bool IsEscapePress(const QByteArray& eventType, void* message);

} // namespace X11Input
