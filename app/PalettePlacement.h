#pragma once

#include <QRect>
#include <QTimer>

class QWidget;

// Where the palette stands and how big it is: put back from the settings
// at start (wholly onto a screen), remembered once a move or resize has
// settled, and kept in place when the palette hides and shows again.
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

private:
    // Moves the window (its frame rectangle `frame`) wholly onto a screen.
    void KeepOnScreen(const QRect& frame);

    QWidget& m_window;
    QTimer m_settle;
    bool m_placing = false; // the window is moved by this object, not the user
};
