#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

#include <memory>

class CSwayDragBindings;

// Lets Escape and the right button cancel the list's drag while it runs,
// for as long as it lives (make one just before the drag's loop starts).
//
// The palette hides a moment into the drag, so the keyboard focus goes to
// the window beneath and so would Escape; the keyboard is therefore taken
// for the whole drag (a grab on the root window) and an Escape press seen
// in the X events cancels. Qt's drag loop ends the drag on the release of
// any button, dropping on a right-button release; a filter put in front
// of the loop's own cancels instead. The grab and the filters go away when
// this does, however the drag ended.
//
// On Wayland the compositor delivers keys and other buttons to no
// program while a drag runs; on sway the two are bound for the drag's
// length instead (see CSwayDragBindings).
class CDragCanceller : public QObject, public QAbstractNativeEventFilter {
public:
    CDragCanceller();
    ~CDragCanceller() override;
    CDragCanceller(const CDragCanceller&) = delete;
    CDragCanceller& operator=(const CDragCanceller&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Cancel();

    std::unique_ptr<CSwayDragBindings> m_swayBindings;
    QTimer m_arm; // first tick inside the drag loop: puts the button filter in front
    bool m_keyboardGrabbed = false;
    bool m_filteringButtons = false;
    bool m_cancelled = false;
};
