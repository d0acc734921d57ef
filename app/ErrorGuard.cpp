#include "app/ErrorGuard.h"

#include "dialogs/PromptService.h"

#include <QWidget>

namespace {

void Report(const QString& text) {
    // Owned by the active window, when there is one, so the box comes up
    // over the palette rather than somewhere behind it.
    CPromptService::Current().Tell(QApplication::activeWindow(), text, CPromptService::Icon::Stop);
}

} // namespace

void ReportUnhandledError(const std::exception& error) {
    Report(QString::fromUtf8(error.what()));
}

void ReportUnknownError() {
    Report(QStringLiteral("An unexpected error stopped this step."));
}

bool RunGuarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        ReportUnhandledError(error);
    } catch (...) {
        ReportUnknownError();
    }
    return false;
}

CGuardedApplication::CGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool CGuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportUnhandledError(error);
    } catch (...) {
        ReportUnknownError();
    }
    return false;
}
