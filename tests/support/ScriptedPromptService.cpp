#include "tests/support/ScriptedPromptService.h"

CScriptedPromptService::CScriptedPromptService() : m_previous(CPromptService::SetCurrent(this)) {}

CScriptedPromptService::~CScriptedPromptService() {
    CPromptService::SetCurrent(m_previous);
}

QStringList CScriptedPromptService::MessageTexts() const {
    QStringList texts;
    for (const Message& message : messages) {
        texts << message.text;
    }
    return texts;
}

QMessageBox::StandardButton
CScriptedPromptService::ShowMessage(QWidget*, const QString& text, const QString& caption,
                                    QMessageBox::StandardButtons buttons, Icon icon) {
    messages.push_back({text, caption, buttons, icon});
    if (!m_answers.empty()) {
        const QMessageBox::StandardButton answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    for (QMessageBox::StandardButton button :
         {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        if (buttons.testFlag(button)) {
            return button;
        }
    }
    return QMessageBox::NoButton;
}

QString CScriptedPromptService::ChooseFileToOpen(QWidget*, const QString& initialPath,
                                                 const QString& filter,
                                                 const QString& defaultSuffix) {
    fileRequests.push_back({initialPath, filter, defaultSuffix, false, {}});
    return NextFile();
}

QString CScriptedPromptService::ChooseFileToSave(QWidget*, const QString& caption,
                                                 const QString& initialPath, const QString& filter,
                                                 const QString& defaultSuffix) {
    fileRequests.push_back({initialPath, filter, defaultSuffix, true, caption});
    return NextFile();
}

QString CScriptedPromptService::NextFile() {
    if (m_files.empty()) {
        return {};
    }
    QString path = m_files.front();
    m_files.pop_front();
    return path;
}

std::optional<QString> CScriptedPromptService::AskPassword(QWidget*, const QString& caption,
                                                           const QString& text) {
    passwordRequests.push_back({caption, text});
    if (m_passwords.empty()) {
        return std::nullopt;
    }
    // Taken apart rather than moved: GCC's optimiser takes a moved-from
    // optional QString for uninitialised.
    const bool answered = m_passwords.front().has_value();
    const QString password = m_passwords.front().value_or(QString());
    m_passwords.pop_front();
    if (!answered) {
        return std::nullopt;
    }
    return password;
}

bool CScriptedPromptService::OpenUrl(const QUrl& url) {
    openedUrls.push_back(url);
    return true;
}
