#pragma once

#include "dialogs/PromptService.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

// A prompt service for tests: answers are queued in advance and every
// prompt is recorded. It installs itself for its lifetime.
class CScriptedPromptService : public CPromptService {
public:
    struct Message {
        QString text;
        QString caption;
        QMessageBox::StandardButtons buttons;
        Icon icon;
    };
    struct FileRequest {
        QString initialPath;
        QString filter;
        QString defaultSuffix;
        bool save = false; // a save dialog
        QString caption;   // a save dialog's
    };

    struct PasswordRequest {
        QString caption;
        QString text;
    };

    CScriptedPromptService();
    ~CScriptedPromptService() override;
    CScriptedPromptService(const CScriptedPromptService&) = delete;
    CScriptedPromptService& operator=(const CScriptedPromptService&) = delete;

    // Answers for the next message boxes; without one a box answers with
    // its first button among Ok, Yes, No, Cancel.
    void QueueAnswer(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }
    // Answers for the next file dialogs (open and save alike); an empty
    // string cancels. Without one a dialog is cancelled.
    void QueueFile(const QString& path) { m_files.push_back(path); }
    // Answers for the next password dialogs; nothing cancels. Without one a
    // password dialog is cancelled.
    void QueuePassword(std::optional<QString> password) {
        m_passwords.push_back(std::move(password));
    }

    std::vector<Message> messages;
    std::vector<FileRequest> fileRequests;
    std::vector<PasswordRequest> passwordRequests;
    int beeps = 0;
    std::vector<QUrl> openedUrls;

    QStringList MessageTexts() const;

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
    void Beep() override { ++beeps; }
    bool OpenUrl(const QUrl& url) override;

private:
    QString NextFile();

    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<QString> m_files;
    std::deque<std::optional<QString>> m_passwords;
    CPromptService* m_previous = nullptr;
};
