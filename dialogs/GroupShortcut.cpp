#include "dialogs/GroupShortcut.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>

CGroupShortcut::CGroupShortcut(QGroupBox* box, QButtonGroup* buttons)
    : QObject(box), m_buttons(buttons) {
    box->installEventFilter(this);
}

bool CGroupShortcut::eventFilter(QObject* watched, QEvent* event) {
    // The box's own handling looks for a button among its children, finds
    // none and leaves the focus where it was.
    if (event->type() != QEvent::Shortcut) {
        return QObject::eventFilter(watched, event);
    }
    QAbstractButton* target = m_buttons->checkedButton();
    if (target == nullptr && !m_buttons->buttons().isEmpty()) {
        target = m_buttons->buttons().front();
    }
    if (target != nullptr) {
        target->setFocus(Qt::ShortcutFocusReason);
    }
    return true;
}
