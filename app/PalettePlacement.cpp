#include "app/PalettePlacement.h"

#include "app/Profile.h"
#include "app/ScreenPlacement.h"
#include "dragdrop/QuietShow.h"
#include "dragdrop/WaylandStepAside.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

CPalettePlacement::CPalettePlacement(QWidget& window) : m_window(window) {
    // There is no "end of move or resize" notification: the placement is
    // written once the window has kept still for a moment.
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    QObject::connect(&m_settle, &QTimer::timeout, &m_settle, [this] { Save(); });
}

void CPalettePlacement::Hide() {
    // Pinning the position first makes the window come back exactly where
    // it was: a window manager places a window anew when it is shown again
    // without a position of its own.
    if (m_window.isVisible()) {
        m_placing = true;
        m_window.move(m_window.pos());
        m_placing = false;
    }
    m_window.hide();
}

void CPalettePlacement::StepAside() {
    if (WaylandStepAside::IsNativeWayland()) {
        WaylandStepAside::LetPointerThrough(&m_window, true);
    } else {
        Hide();
    }
}

void CPalettePlacement::ComeBack() {
    if (WaylandStepAside::IsNativeWayland()) {
        WaylandStepAside::LetPointerThrough(&m_window, false);
    } else {
        ShowWithoutTakingFocus(&m_window);
    }
}

void CPalettePlacement::Restore() {
    const int x = Profile::GetInt(QStringLiteral("x"), -1);
    const int y = Profile::GetInt(QStringLiteral("y"), -1);
    const int cx = Profile::GetInt(QStringLiteral("cx"), -1);
    const int cy = Profile::GetInt(QStringLiteral("cy"), -1);
    m_placing = true;
    const bool placedByCompositor = WaylandStepAside::IsNativeWayland();
    // Only x says whether a placement was ever written; without one the
    // form's size stands and the window manager picks the place (under a
    // compositor the place is always its own).
    const bool placed = x != -1 && !placedByCompositor;
    // A size never written would make the window vanish; a size is never
    // below the minimum size.
    if ((placed || placedByCompositor) && cx > 0 && cy > 0) {
        m_window.resize(cx, cy);
    }
    if (placed) {
        m_window.move(x, y);
        KeepOnScreen(QRect(QPoint(x, y), m_window.size()));
    }
    m_window.show();
    if (placed) {
        // Once shown, the frame may be known: all of it must be in sight.
        KeepOnScreen(m_window.frameGeometry());
    }
    m_placing = false;
}

void CPalettePlacement::KeepOnScreen(const QRect& frame) {
    // A place on a screen that is gone (or a size that no longer fits) is
    // brought back wholly onto a screen.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    const QRect placed = PlaceOnScreen(frame, screens);
    if (placed == frame) {
        return;
    }
    const QSize border = frame.size() - m_window.size();
    if (placed.size() != frame.size()) {
        m_window.resize(placed.size() - border);
    }
    m_window.move(placed.topLeft());
}

void CPalettePlacement::Save() {
    m_settle.stop();
    // The frame's top-left corner and the size of the inside: exactly what
    // Restore gives back (the frame's own size belongs to the window
    // manager). A Wayland window can't know where it stands (its position
    // reads 0, 0): there the place remembered under X11 is kept.
    if (!WaylandStepAside::IsNativeWayland()) {
        const QPoint position = m_window.pos();
        Profile::WriteInt(QStringLiteral("x"), position.x());
        Profile::WriteInt(QStringLiteral("y"), position.y());
    }
    Profile::WriteInt(QStringLiteral("cx"), m_window.width());
    Profile::WriteInt(QStringLiteral("cy"), m_window.height());
}

void CPalettePlacement::SaveIfPending() {
    if (m_settle.isActive()) {
        Save();
    }
}

void CPalettePlacement::Changed(bool starting) {
    // A window stepped aside for a drag has a size that means nothing.
    if (!starting && !m_placing && m_window.isVisible() &&
        !WaylandStepAside::IsSteppedAside(&m_window)) {
        m_settle.start();
    }
}
