#include "dialogs/PromptService.h"

#include "dialogs/LibraryFileDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

namespace {

// Indexed by CPromptService::Icon, in its order.
constexpr QMessageBox::Icon kBoxIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                           QMessageBox::Warning, QMessageBox::Critical,
                                           QMessageBox::Question};

} // namespace

CPromptService& CPromptService::Real() {
    static CWidgetPromptService widgets;
    return widgets;
}

QMessageBox::StandardButton CWidgetPromptService::ShowMessage(QWidget* owner, const QString& text,
                                                              const QString& caption,
                                                              QMessageBox::StandardButtons buttons,
                                                              Icon icon) {
    QMessageBox box(kBoxIcons[static_cast<int>(icon)], caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString CWidgetPromptService::ChooseFileToOpen(QWidget* owner, const QString& initialPath,
                                               const QString& filter,
                                               const QString& defaultSuffix) {
    CLibraryFileDialog dialog(owner);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.ChosenLibrary();
}

QString CWidgetPromptService::ChooseFileToSave(QWidget* owner, const QString& caption,
                                               const QString& initialPath, const QString& filter,
                                               const QString& defaultSuffix) {
    QFileDialog dialog(owner, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> CWidgetPromptService::AskPassword(QWidget* owner, const QString& caption,
                                                         const QString& text) {
    QInputDialog dialog(owner);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(text);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Password);
    // A long library address wraps instead of widening the dialog.
    if (auto* label = dialog.findChild<QLabel*>()) {
        label->setWordWrap(true);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

void CWidgetPromptService::Beep() {
    QApplication::beep();
}

bool CWidgetPromptService::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
