#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

// While it lives, cancels every modal dialog that comes up (as a user
// pressing Escape would), for tests that run commands only to see that
// they are taken.
class CDialogCanceller {
public:
    CDialogCanceller() {
        QObject::connect(&m_poll, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
            }
        });
        m_poll.start(10);
    }

private:
    QTimer m_poll;
};
