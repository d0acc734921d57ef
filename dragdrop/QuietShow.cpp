#include "dragdrop/QuietShow.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Long enough for the window manager to have handled the map request.
constexpr int kRefuseFocusMs = 300;

void SetRefusesFocus(QWidget* window, bool refuse) {
    window->setAttribute(Qt::WA_ShowWithoutActivating, refuse);
    if (QWindow* handle = window->windowHandle()) {
        // On the native window, not the widget: changing the widget's flags
        // would recreate and hide it.
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, refuse);
    }
}

} // namespace

void ShowWithoutTakingFocus(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    if (window->isVisible()) {
        return;
    }
    SetRefusesFocus(window, true);
    window->show();
    QPointer<QWidget> guarded(window);
    QTimer::singleShot(kRefuseFocusMs, window, [guarded] {
        if (guarded != nullptr) {
            SetRefusesFocus(guarded, false);
        }
    });
}
