#include "app/Startup.h"

#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/SingleInstance.h"
#include "dialogs/AppIcon.h"
#include "engine/ComposeText.h"

#include <QApplication>
#include <QTextStream>

#include <chrono>
#include <cstdint>

namespace {

// The palette's title names the lock and the socket that keep one palette
// per user.
const QString kTitle = QStringLiteral("Blurtle (TM)");

void SeedOnce() {
    // The only seeding in the program: the milliseconds since boot, as the
    // tick count of a desktop session.
    const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    SeedRandomSource(static_cast<std::uint32_t>(ticks.count()));
}

} // namespace

int RunStartup() {
    SeedOnce();

    QGuiApplication::setDesktopFileName(QStringLiteral("blurtle"));
    QApplication::setWindowIcon(BlurtleIcon());

    CSingleInstance instance(CSingleInstance::KeyFor(kTitle));

    // An automation start (started by a client through the session bus)
    // takes a different road here: it publishes the automation service,
    // asks a running palette to hide and close
    // (CSingleInstance::Request::HideAndClose) and then runs a palette of
    // its own. A normal start also writes the service's registration and
    // checks it after the hand-over below. Both come with automation.
    switch (instance.Claim(CSingleInstance::Request::Show)) {
    case CSingleInstance::Role::HandedOver:
        // The running palette is shown and in front: nothing left to do.
        return 0;
    case CSingleInstance::Role::Failed:
        QTextStream(stderr) << "blurtle: another Blurtle is starting and does not answer; "
                               "try again in a moment.\n";
        return 1;
    case CSingleInstance::Role::Primary:
        break;
    }

    // Settings are fixed by the organisation and application names that
    // the command line set; the database path belongs to the application
    // object from here to the end.
    CMumbletApp theApp;
    CMumbletDlg palette;

    QObject::connect(&instance, &CSingleInstance::ShowRequested, &palette,
                     &CMumbletDlg::BringForward);
    QObject::connect(&instance, &CSingleInstance::HideAndCloseRequested, &palette, [&palette] {
        palette.hide();
        palette.close();
    });
    // The end of the palette is the end of the program; hiding it (its
    // close box) is not.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&palette, &QDialog::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    palette.Start();
    return QApplication::exec();
}
