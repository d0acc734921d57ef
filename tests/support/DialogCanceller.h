#pragma once

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTimer>

// While it lives, cancels every modal dialog that comes up (as a user
// pressing Escape would), for tests that run commands only to see that
// they are taken. Keeps the titles of the dialogs it cancelled.
class CDialogCanceller {
public:
    CDialogCanceller() {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                cancelled << dialog->windowTitle();
                dialog->reject();
            }
        });
        m_poll.start(10);
    }

    QStringList cancelled;

private:
    QTimer m_poll;
};
