#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Keeps a running drag looking at the window under the pointer after the
// palette has hidden itself. The drag loop picks a new drop target only
// when the pointer moves, so a pointer held still where the palette was
// would drop into the hidden palette and the text would be lost. While
// running, this re-delivers the pointer's position to the drag loop every
// 50 ms through a synthetic move on the palette's window.
class CPointerNudger : public QObject {
    Q_OBJECT
public:
    explicit CPointerNudger(QObject* parent = nullptr);

    void Start(QWidget* window);
    void Stop();

    static constexpr int kIntervalMs = 50;

private:
    void Nudge();

    QTimer m_timer;
    QPointer<QWidget> m_window;
};
