#include "app/Startup.h"

#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/PasswordPrompt.h"
#include "app/SingleInstance.h"
#include "app/TerminationRequest.h"
#include "automation/AutomatedWindow.h"
#include "automation/AutomationServer.h"
#include "automation/ServiceRegistration.h"
#include "dialogs/AppIcon.h"
#include "dialogs/PromptService.h"
#include "engine/ComposeText.h"

#include <QApplication>
#include <QSessionManager>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace {

// Long enough for the window manager to have mapped a new window.
constexpr int kShownMomentMs = 300;

void SeedOnce() {
    // The only seeding in the program: the milliseconds since boot, as the
    // tick count of a desktop session.
    const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    SeedRandomSource(static_cast<std::uint32_t>(ticks.count()));
}

// A normal start: writes the automation registration, then hands over to
// the palette that runs. The exit code when this process is to end now.
std::optional<int> ClaimForNormalStart(CSingleInstance& instance) {
    QString error;
    if (!ServiceRegistration::Update(QCoreApplication::applicationFilePath(), &error)) {
        QTextStream(stderr) << "blurtle: the automation registration could not be written: "
                            << error << '\n';
    }
    switch (instance.Claim(CSingleInstance::Request::Show)) {
    case CSingleInstance::Role::HandedOver:
        // The running palette is shown and in front: nothing left to do.
        return 0;
    case CSingleInstance::Role::Failed:
        if (!instance.HasPrivateDirectory()) {
            QTextStream(stderr) << "blurtle: no folder that only you can reach could be made "
                                   "for the palette's lock; set XDG_RUNTIME_DIR.\n";
        } else {
            QTextStream(stderr) << "blurtle: another Blurtle is starting and does not answer; "
                                   "try again in a moment.\n";
        }
        return 1;
    case CSingleInstance::Role::Primary:
        break;
    }
    return std::nullopt;
}

// An automated start: serves the automation objects, then asks a running
// palette to hide and close and takes its place. The exit code when this
// process is to end now.
std::optional<int> ClaimForAutomatedStart(CSingleInstance& instance, CAutomationServer& server) {
    QString error;
    switch (server.Publish(&error)) {
    case CAutomationServer::Published:
        break;
    case CAutomationServer::AlreadyServed:
        // The process that owns the name serves every client.
        QTextStream(stderr) << "blurtle: " << error << "; this start ends.\n";
        return 0;
    case CAutomationServer::Failed:
        QTextStream(stderr) << "blurtle: automation is not served: " << error << ".\n";
        return 1;
    }
    switch (instance.Claim(CSingleInstance::Request::HideAndClose)) {
    case CSingleInstance::Role::Primary:
        break;
    case CSingleInstance::Role::HandedOver:
        // The other palette is closing; it lets go of the lock when it has
        // ended. If it first asks its user something, this palette runs
        // meanwhile and takes the lock later.
        if (!instance.WaitToBecomePrimary(5000)) {
            instance.KeepTryingToBecomePrimary();
        }
        break;
    case CSingleInstance::Role::Failed:
        // The client that started us is waiting for its object: serve it.
        QTextStream(stderr) << "blurtle: the running palette did not answer; starting anyway.\n";
        instance.KeepTryingToBecomePrimary();
        break;
    }
    return std::nullopt;
}

// Starts the palette of an automated start while the palette it takes
// over is still with its user (a dialog the user is typing in): ours
// shows, but leaves the keyboard with that dialog. It accepts the focus
// again a moment after it is shown, so a click still activates it.
void StartWithoutTakingFocus(CMumbletDlg& palette) {
    const auto refuseFocus = [&palette](bool refuse) {
        palette.setAttribute(Qt::WA_ShowWithoutActivating, refuse);
        // The window manager is asked on the native window: the attribute
        // alone does not keep every one from focusing a new window.
        palette.windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, refuse);
    };
    palette.winId(); // the native window, so its flag can be set before the show
    refuseFocus(true);
    palette.Start();
    QTimer::singleShot(kShownMomentMs, &palette, [refuseFocus] { refuseFocus(false); });
}

} // namespace

int RunStartup(StartKind kind) {
    SeedOnce();

    QGuiApplication::setDesktopFileName(QStringLiteral("blurtle"));
    QApplication::setWindowIcon(BlurtleIcon());

    CSingleInstance instance(CSingleInstance::KeyFor(kProgramCaption));
    // Made before the palette and gone after it: objects bind to the
    // palette while both exist.
    std::unique_ptr<CAutomationServer> server;
    if (kind == StartKind::Automated) {
        server = std::make_unique<CAutomationServer>();
    }
    const std::optional<int> ended = server != nullptr ? ClaimForAutomatedStart(instance, *server)
                                                       : ClaimForNormalStart(instance);
    if (ended) {
        return *ended;
    }

    // Settings are fixed by the organisation and application names that
    // the command line set; the database path belongs to the application
    // object from here to the end.
    CMumbletApp theApp;
    CMumbletDlg palette;
    // A library server that wants a password asks for it from here on.
    CPasswordPrompt passwords(&palette);
    // From here automation objects can bind to the palette; the check's
    // message box below already lets their requests in.
    CAutomatedWindow::SetMain(&palette);
    ServiceRegistration::CheckServerRegistration([](const QString& text) {
        CPromptService::Current().ShowMessage(nullptr, text, QStringLiteral("Mumblet"),
                                              QMessageBox::Ok, CPromptService::Icon::Warning);
    });

    QObject::connect(&instance, &CSingleInstance::ShowRequested, &palette,
                     &CMumbletDlg::BringForward);
    QObject::connect(&instance, &CSingleInstance::HideAndCloseRequested, &palette,
                     &CMumbletDlg::CloseForAnotherStart);
    // The end of the palette is the end of the program; hiding it (its
    // close box) is not.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&palette, &QDialog::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // The desktop session ending, or a quit that did not come through the
    // palette, still keeps the order the user gave the mnemonics.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &palette,
                     [&palette](QSessionManager&) { palette.OnSessionEnding(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &palette, &CMumbletDlg::OnSessionEnding);
    // A session that ends without a session manager stops the program
    // with a signal: it quits the same orderly way.
    CTerminationRequest termination;
    bool terminated = false;
    QObject::connect(&termination, &CTerminationRequest::Requested, qApp, [&terminated] {
        terminated = true;
        QCoreApplication::quit();
    });

    if (instance.IsPrimary()) {
        palette.Start();
    } else {
        StartWithoutTakingFocus(palette);
    }
    if (terminated) {
        // Stopped while a start-up question was open: the quit ended only
        // that question's loop, and the main loop would not see it.
        palette.OnSessionEnding();
        return 0;
    }
    return QApplication::exec();
}
