#include "automation/MumbletDlgAutoProxy.h"

#include "automation/AutomatedWindow.h"

#include <QDBusError>
#include <QDBusMessage>

CMumbletDlgAutoProxy::CMumbletDlgAutoProxy(CAutomatedWindow* window, const QString& owner,
                                           QObject* parent)
    : QObject(parent), m_pDialog(window), m_owner(owner) {
    if (m_pDialog != nullptr) {
        m_bindOrder = m_pDialog->Bind(this, [this] { m_pDialog = nullptr; });
    }
}

CMumbletDlgAutoProxy::~CMumbletDlgAutoProxy() {
    if (m_pDialog != nullptr) {
        m_pDialog->Unbind(this, m_bindOrder);
    }
}

void CMumbletDlgAutoProxy::Release() {
    if (calledFromDBus() && message().service() != m_owner) {
        sendErrorReply(
            QDBusError::AccessDenied,
            QStringLiteral("Only the client that asked for this object may release it."));
        return;
    }
    emit ReleaseRequested(this);
}
