#include "app/ErrorGuard.h"

#include "dialogs/PromptService.h"

namespace {

void Report(const QString& text) {
    // Owned by the active window, when there is one, so the box comes up
    // over the palette rather than somewhere behind it.
    CPromptService::Current().Tell(QApplication::activeWindow(), text, CPromptService::Icon::Stop);
}

} // namespace

bool RunGuarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        Report(QString::fromUtf8(error.what()));
    } catch (...) {
        Report(QStringLiteral("An unexpected error stopped this step."));
    }
    return false;
}

CGuardedApplication::CGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool CGuardedApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
