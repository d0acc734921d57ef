#include "automation/AutomatedWindow.h"

#include "automation/MumbletDlgAutoProxy.h"

namespace {
CAutomatedWindow* g_main = nullptr;
}

CAutomatedWindow::~CAutomatedWindow() {
    for (const auto& [order, proxy] : m_proxies) {
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
    proxy->m_bindOrder = ++m_binds;
    m_proxies.emplace(proxy->m_bindOrder, proxy);
    m_pAutoProxy = proxy;
}

void CAutomatedWindow::Unbind(CMumbletDlgAutoProxy* proxy) {
    const auto found = m_proxies.find(proxy->m_bindOrder);
    if (found == m_proxies.end() || found->second != proxy) {
        return;
    }
    m_proxies.erase(found);
    // Another client may still hold an object: the lock stays until the
    // last one goes.
    m_pAutoProxy = m_proxies.empty() ? nullptr : m_proxies.rbegin()->second;
    if (m_proxies.empty()) {
        OnAutomationReleased();
    }
}
