#pragma once

#include <QApplication>

#include <exception>
#include <functional>

// Runs `step` and reports any exception it throws: a message box with the
// stop icon, captioned "Blurtle (TM)", showing the error's own text (for a
// database error, the engine's message). Returns false when the step was
// abandoned. For work that runs outside event handling, such as the
// palette's initialisation before the event loop starts, and for every
// event (CGuardedApplication).
bool RunGuarded(const std::function<void()>& step);

// The application object of the running program. Every event goes through
// notify(); an exception escaping its handler is reported there and the
// event is abandoned, so no error crosses Qt's event dispatch unreported
// and the program goes on.
class CGuardedApplication : public QApplication {
    Q_OBJECT

public:
    CGuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
