#pragma once

#include "engine/Swappable.h"

#include <QMessageBox>
#include <QString>

#include <optional>

class QUrl;
class QWidget;

// The program's name as its message boxes, file filters and palette show it.
inline const QString kProgramCaption = QStringLiteral("Blurtle (TM)");

// Every message box, file dialog, beep and web page the program shows goes
// through the current prompt service, so tests can answer them from a
// script and read what would have been shown.
class CPromptService : public CSwappable<CPromptService> {
public:
    enum class Icon { None, Information, Warning, Stop, Question };

    virtual ~CPromptService() = default;

    // Shows a modal message box; returns the button pressed
    // (QMessageBox::Cancel or QMessageBox::No when the box was closed).
    virtual QMessageBox::StandardButton
    ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok, Icon icon = Icon::None) = 0;

    // Shows `text` in a message box captioned kProgramCaption with an OK button.
    void Tell(QWidget* owner, const QString& text, Icon icon = Icon::None) {
        ShowMessage(owner, text, kProgramCaption, QMessageBox::Ok, icon);
    }

    // Runs the file-open dialog for a library; returns the full chosen
    // path, or an empty string when the user cancelled. The chosen file
    // must exist; a name typed without extension gets `defaultSuffix`. A
    // server address ("postgresql://..." or "postgres://...") typed into
    // the file name comes back as typed.
    virtual QString ChooseFileToOpen(QWidget* owner, const QString& initialPath,
                                     const QString& filter, const QString& defaultSuffix) = 0;

    // Runs the file-save dialog titled `caption`; returns the full chosen
    // path, or an empty string when the user cancelled. It does not ask
    // about an existing file (the caller decides); a name typed without
    // extension gets `defaultSuffix`.
    virtual QString ChooseFileToSave(QWidget* owner, const QString& caption,
                                     const QString& initialPath, const QString& filter,
                                     const QString& defaultSuffix) = 0;

    // Asks for a password in a modal dialog titled `caption` with `text`
    // above a field that hides what is typed; nothing when the user
    // cancelled.
    virtual std::optional<QString> AskPassword(QWidget* owner, const QString& caption,
                                               const QString& text) = 0;

    // The simple beep of a step that can't be taken.
    virtual void Beep() = 0;

    // Opens a web page through the desktop; false when nothing could open it.
    virtual bool OpenUrl(const QUrl& url) = 0;

private:
    friend CSwappable<CPromptService>;
    // The service that shows real widgets.
    static CPromptService& Real();
};

// The prompt service of the running program: QMessageBox, Qt's own
// QFileDialog (CLibraryFileDialog for a library), QInputDialog,
// QApplication::beep, QDesktopServices.
class CWidgetPromptService : public CPromptService {
public:
    QMessageBox::StandardButton ShowMessage(QWidget* owner, const QString& text,
                                            const QString& caption,
                                            QMessageBox::StandardButtons buttons,
                                            Icon icon) override;
    QString ChooseFileToOpen(QWidget* owner, const QString& initialPath, const QString& filter,
                             const QString& defaultSuffix) override;
    QString ChooseFileToSave(QWidget* owner, const QString& caption, const QString& initialPath,
                             const QString& filter, const QString& defaultSuffix) override;
    std::optional<QString> AskPassword(QWidget* owner, const QString& caption,
                                       const QString& text) override;
    void Beep() override;
    bool OpenUrl(const QUrl& url) override;
};
