#include "dragdrop/DragCanceller.h"

#include "dragdrop/SwayDragBindings.h"
#include "dragdrop/WaylandStepAside.h"
#include "dragdrop/X11Input.h"

#include <QCoreApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMouseEvent>

CDragCanceller::CDragCanceller() {
    m_keyboardGrabbed = X11Input::GrabKeyboard();
    if (WaylandStepAside::IsNativeWayland()) {
        m_swayBindings = std::make_unique<CSwayDragBindings>([this] { Cancel(); });
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Application event filters run newest first. The drag loop installs
    // its own when it starts, so ours goes in from inside the loop.
    m_arm.setSingleShot(true);
    m_arm.setInterval(0);
    connect(&m_arm, &QTimer::timeout, this, [this] {
        QCoreApplication::instance()->installEventFilter(this);
        m_filteringButtons = true;
    });
    m_arm.start();
}

CDragCanceller::~CDragCanceller() {
    m_arm.stop();
    if (m_filteringButtons) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
    QCoreApplication::instance()->removeNativeEventFilter(this);
    if (m_keyboardGrabbed) {
        X11Input::UngrabKeyboard();
    }
}

bool CDragCanceller::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (X11Input::IsEscapePress(eventType, message)) {
        Cancel();
        return true;
    }
    return false;
}

bool CDragCanceller::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool rightButton =
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    // Escape reaching the program itself (before the grab took, or when it
    // was refused) cancels as well.
    const bool escape =
        type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (rightButton || escape) {
        Cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CDragCanceller::Cancel() {
    if (!m_cancelled) {
        m_cancelled = true;
        QDrag::cancel();
    }
}
