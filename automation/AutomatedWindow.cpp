#include "automation/AutomatedWindow.h"

#include "automation/MumbletDlgAutoProxy.h"

#include <algorithm>

namespace {
CAutomatedWindow* g_main = nullptr;
}

CAutomatedWindow::~CAutomatedWindow() {
    for (CMumbletDlgAutoProxy* proxy : m_proxies) {
        proxy->m_pDialog = nullptr;
    }
    m_proxies.clear();
    m_pAutoProxy = nullptr;
    if (g_main == this) {
        g_main = nullptr;
    }
}

CAutomatedWindow* CAutomatedWindow::Main() {
    return g_main;
}

void CAutomatedWindow::SetMain(CAutomatedWindow* window) {
    g_main = window;
}

void CAutomatedWindow::Bind(CMumbletDlgAutoProxy* proxy) {
    m_proxies.push_back(proxy);
    m_pAutoProxy = proxy;
}

void CAutomatedWindow::Unbind(CMumbletDlgAutoProxy* proxy) {
    const auto found = std::find(m_proxies.begin(), m_proxies.end(), proxy);
    if (found == m_proxies.end()) {
        return;
    }
    m_proxies.erase(found);
    // Another client may still hold an object: the lock stays until the
    // last one goes.
    m_pAutoProxy = m_proxies.empty() ? nullptr : m_proxies.back();
    if (m_proxies.empty()) {
        OnAutomationReleased();
    }
}
