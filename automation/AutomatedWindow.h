#pragma once

#include <cstdint>
#include <functional>
#include <map>

class CMumbletDlgAutoProxy;

// The window that automation objects stand for: the palette. While any
// object is bound to it the application is locked: the palette's close
// roads only hide it. Objects bind when they are made and unbind when they
// go; the window unbinds those still bound when it goes first, so neither
// side ever points at the other after it is gone.
class CAutomatedWindow {
public:
    CAutomatedWindow() = default;
    virtual ~CAutomatedWindow();
    CAutomatedWindow(const CAutomatedWindow&) = delete;
    CAutomatedWindow& operator=(const CAutomatedWindow&) = delete;

    // The window new objects bind to: the program's main window, or null
    // before it exists and after it is gone.
    static CAutomatedWindow* Main();
    static void SetMain(CAutomatedWindow* window);

    // Binds `proxy` and gives back its place among the bound objects, which
    // it unbinds with. `forgetWindow` is called if the window goes first.
    std::uint64_t Bind(CMumbletDlgAutoProxy* proxy, std::function<void()> forgetWindow);
    void Unbind(CMumbletDlgAutoProxy* proxy, std::uint64_t order);
    int BoundCount() const { return static_cast<int>(m_proxies.size()); }

    // The newest object bound to the window, null when there is none.
    CMumbletDlgAutoProxy* m_pAutoProxy = nullptr;

protected:
    // The last bound object has gone: the application lock is released.
    virtual void OnAutomationReleased() {}

private:
    // The bound objects by the order they bound in: the newest is found,
    // and any one unbound, without a walk over all of them.
    struct Bound {
        CMumbletDlgAutoProxy* proxy;
        std::function<void()> forgetWindow;
    };
    std::map<std::uint64_t, Bound> m_proxies;
    std::uint64_t m_binds = 0;
};
