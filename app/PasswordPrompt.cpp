#include "app/PasswordPrompt.h"

#include "dialogs/PromptService.h"
#include "store/PasswordSource.h"

#include <QCoreApplication>
#include <QThread>

#include <optional>

CPasswordPrompt::CPasswordPrompt(QWidget* owner) : m_owner(owner) {
    SetPasswordSource([this](const PasswordRequest& request) -> std::optional<QString> {
        // Widgets live on the program's main thread only; elsewhere libpq's
        // failure stands.
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
            return std::nullopt;
        }
        return CPromptService::Current().AskPassword(m_owner, kProgramCaption, TextFor(request));
    });
}

CPasswordPrompt::~CPasswordPrompt() {
    SetPasswordSource({});
}

QString CPasswordPrompt::TextFor(const PasswordRequest& request) {
    const QString asks = QStringLiteral("The library server asks for the password of %1 for the "
                                        "library \"%2\".")
                             .arg(request.user, QString::fromStdString(request.library));
    return request.refusedBefore ? QStringLiteral("The server refused that password.  ") + asks
                                 : asks;
}
