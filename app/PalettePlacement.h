#pragma once

#include <QRect>
#include <QTimer>

class QWidget;

// Where the palette stands and how big it is: put back from the settings
// at start (wholly onto a screen), remembered once a move or resize has
// settled, and kept in place when the palette hides and shows again. On
// Wayland, where the compositor alone places windows, only the size is
// given back and written; the place remembered under X11 stays as it is.
class CPalettePlacement {
public:
    // How long after the last move or resize the placement is written.
    static constexpr int kSettleMs = 300;

    explicit CPalettePlacement(QWidget& window);

    // Sizes and places the window as remembered, and shows it.
    void Restore();
    // Writes the placement now.
    void Save();
    // Writes a placement that has not settled yet.
    void SaveIfPending();
    // The window moved or was resized; `starting` while the palette is
    // still being set up (its own placing is not the user's).
    void Changed(bool starting);
    // Hides the window so that it comes back exactly where it was.
    void Hide();
    // Gets out of the way of a drag's target, and comes back after the
    // drop without taking the keyboard from the program that took it. On
    // Wayland the window stays mapped and steps aside in place: a window
    // mapped again would be placed anew by the compositor.
    void StepAside();
    void ComeBack();

private:
    // Moves the window (its frame rectangle `frame`) wholly onto a screen.
    void KeepOnScreen(const QRect& frame);

    QWidget& m_window;
    QTimer m_settle;
    bool m_placing = false; // the window is moved by this object, not the user
};
