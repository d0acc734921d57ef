#include "automation/AutomatedWindow.h"

namespace {
CAutomatedWindow* g_main = nullptr;
}

CAutomatedWindow::~CAutomatedWindow() {
    for (const auto& [order, bound] : m_proxies) {
        bound.forgetWindow();
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

std::uint64_t CAutomatedWindow::Bind(CMumbletDlgAutoProxy* proxy,
                                     std::function<void()> forgetWindow) {
    m_proxies.emplace(++m_binds, Bound{proxy, std::move(forgetWindow)});
    m_pAutoProxy = proxy;
    return m_binds;
}

void CAutomatedWindow::Unbind(CMumbletDlgAutoProxy* proxy, std::uint64_t order) {
    const auto found = m_proxies.find(order);
    if (found == m_proxies.end() || found->second.proxy != proxy) {
        return;
    }
    m_proxies.erase(found);
    // Another client may still hold an object: the lock stays until the
    // last one goes.
    m_pAutoProxy = m_proxies.empty() ? nullptr : m_proxies.rbegin()->second.proxy;
    if (m_proxies.empty()) {
        OnAutomationReleased();
    }
}
