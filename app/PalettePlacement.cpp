#include "app/MumbletDlg.h"

#include "app/Profile.h"
#include "app/ScreenPlacement.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/WaylandStepAside.h"
#include "ui_MumbletDlg.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

// Where the palette stands and how big it is: its controls follow its size,
// and its place is remembered once a move or resize has settled.

void CMumbletDlg::HidePalette() {
    // Pinning the position first makes the window come back exactly where
    // it was: a window manager places a window anew when it is shown again
    // without a position of its own.
    if (isVisible()) {
        m_bPlacing = true;
        move(pos());
        m_bPlacing = false;
    }
    hide();
}

void CMumbletDlg::LayoutControls() {
    const int w = width();
    const int h = height();

    QPushButton* help = m_ctlOnlineHelp;
    help->move(w - help->width() - 4, help->y());
    QToolButton* menuButton = m_ui->m_ctlWindowMenu;
    menuButton->move(help->x() - menuButton->width() - 2, menuButton->y());

    const QRect combo = m_ctlCategory->geometry();
    m_ctlCategory->setGeometry(combo.left(), combo.top(), qMax(0, w - combo.left() - 2),
                               combo.height());

    const QRect list = m_ctlMnemonics->geometry();
    m_ctlMnemonics->setGeometry(list.left(), list.top(), qMax(0, w - list.left() - 2),
                                qMax(0, h - list.top() - 2));
}

void CMumbletDlg::RestoreWindowPlacement() {
    const int x = Profile::GetInt(QStringLiteral("x"), -1);
    const int y = Profile::GetInt(QStringLiteral("y"), -1);
    const int cx = Profile::GetInt(QStringLiteral("cx"), -1);
    const int cy = Profile::GetInt(QStringLiteral("cy"), -1);
    m_bPlacing = true;
    // On Wayland the compositor places every window, so only the size is
    // ours to give back; the place stays remembered for X11.
    if (WaylandStepAside::IsNativeWayland()) {
        if (cx > 0 && cy > 0) {
            resize(cx, cy);
        }
        show();
        m_bPlacing = false;
        return;
    }
    // Only x says whether a placement was ever written; without one the
    // form's size stands and the window manager picks the place.
    if (x != -1) {
        if (cx > 0 && cy > 0) { // a size never written would make the window vanish
            resize(cx, cy);     // never below the minimum size
        }
        move(x, y);
        KeepOnScreen(QRect(QPoint(x, y), size()));
    }
    show();
    if (x != -1) {
        // Once shown, the frame may be known: all of it must be in sight.
        KeepOnScreen(frameGeometry());
    }
    m_bPlacing = false;
}

void CMumbletDlg::KeepOnScreen(const QRect& window) {
    // A place on a screen that is gone (or a size that no longer fits) is
    // brought back wholly onto a screen.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    const QRect placed = PlaceOnScreen(window, screens);
    if (placed == window) {
        return;
    }
    const QSize frame = window.size() - size();
    if (placed.size() != window.size()) {
        resize(placed.size() - frame);
    }
    move(placed.topLeft());
}

void CMumbletDlg::SaveWindowPlacement() {
    m_placementTimer.stop();
    // The frame's top-left corner and the size of the inside: exactly what
    // RestoreWindowPlacement gives back (the frame's own size belongs to
    // the window manager).
    // On Wayland a window can't know where it stands (its position reads
    // 0, 0): the place remembered under X11 is kept as it is.
    if (!WaylandStepAside::IsNativeWayland()) {
        const QPoint position = pos();
        Profile::WriteInt(QStringLiteral("x"), position.x());
        Profile::WriteInt(QStringLiteral("y"), position.y());
    }
    Profile::WriteInt(QStringLiteral("cx"), width());
    Profile::WriteInt(QStringLiteral("cy"), height());
}

void CMumbletDlg::PlacementMaybeChanged() {
    if (!m_bInitializing && !m_bPlacing && isVisible() && !WaylandStepAside::IsSteppedAside(this)) {
        m_placementTimer.start();
    }
}

void CMumbletDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_bInitializing) {
        LayoutControls();
    }
    PlacementMaybeChanged();
}

void CMumbletDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    PlacementMaybeChanged();
}
