#include "dragdrop/WaylandStepAside.h"

#include <QGuiApplication>
#include <QRegion>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace WaylandStepAside {

namespace {

// What the window had before it stepped aside, kept on the window itself.
constexpr const char* kSizeBefore = "blurtleSizeBeforeStepAside";
constexpr const char* kMinimumBefore = "blurtleMinimumSizeBeforeStepAside";

} // namespace

bool IsNativeWayland() {
    // "wayland", or "wayland-egl" and the like when a plugin is named.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool IsSteppedAside(const QWidget* window) {
    return window != nullptr && window->property(kSizeBefore).isValid();
}

void LetPointerThrough(QWidget* window, bool through) {
    if (window == nullptr || !IsNativeWayland() || through == IsSteppedAside(window)) {
        return;
    }
    QWindow* handle = window->windowHandle();
    if (through) {
        window->setProperty(kSizeBefore, window->size());
        window->setProperty(kMinimumBefore, window->minimumSize());
        window->setMinimumSize(1, 1);
        window->resize(1, 1);
    } else {
        const QSize size = window->property(kSizeBefore).toSize();
        const QSize minimum = window->property(kMinimumBefore).toSize();
        window->setProperty(kSizeBefore, QVariant());
        window->setProperty(kMinimumBefore, QVariant());
        window->setMinimumSize(minimum);
        window->resize(size);
    }
    if (handle != nullptr) {
        // The plugin makes the window's mask the surface's input region: a
        // mask wholly outside the window leaves it no input at all, no
        // mask gives it all back. Set on the native window only, so the
        // widgets still paint all of it.
        handle->setMask(through ? QRegion(-2, -2, 1, 1) : QRegion());
    }
}

} // namespace WaylandStepAside
