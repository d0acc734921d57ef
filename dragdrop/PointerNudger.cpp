#include "dragdrop/PointerNudger.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWindow>

CPointerNudger::CPointerNudger(QObject* parent) : QObject(parent) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CPointerNudger::Nudge);
}

void CPointerNudger::Start(QWidget* window) {
    m_window = window;
    m_timer.start();
}

void CPointerNudger::Stop() {
    m_timer.stop();
    m_window = nullptr;
}

void CPointerNudger::Nudge() {
    if (m_window == nullptr || m_window->windowHandle() == nullptr) {
        return;
    }
    QWindow* handle = m_window->windowHandle();
    const QPointF global = QCursor::pos();
    // The drag loop filters every mouse move of the application; it reads
    // the global position and asks the system for the window beneath.
    QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(global), global, Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &move);
}
