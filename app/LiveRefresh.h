#pragma once

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class CLibraryLocation;
class CLibraryWatch;

// Keeps the palette up to date with its library: the watch tells of a
// change (another palette, another program, or this one), and the palette
// is brought up to date as soon as the user is not in the middle of
// something: a drag, a press, a menu, a dialog, or whatever the palette's
// own `busy` says.
class CLiveRefresh {
public:
    // How long a refresh waits for the user to finish before looking again.
    static constexpr int kRetryMs = 250;

    struct Steps {
        // True while the palette itself can't be refreshed.
        std::function<bool()> busy;
        // Stores what the user is arranging; throws when it can't, and the
        // refresh then waits for the next change.
        std::function<void()> storeFirst;
        // Brings the palette up to what the library holds; throws what the
        // library throws.
        std::function<void()> refresh;
    };
    explicit CLiveRefresh(Steps steps);
    ~CLiveRefresh();

    // Starts watching the library at `path` (any watch before ends).
    void Watch(const CLibraryLocation& library);
    // Whether changes are heard now (false while a server is out of reach).
    bool IsListening() const;
    bool IsPending() const { return m_pending; }
    void OnLibraryChanged();

private:
    bool CanRefreshNow() const;
    void RefreshWhenQuiet();

    Steps m_steps;
    std::unique_ptr<CLibraryWatch> m_watch;
    QTimer m_retry;
    bool m_pending = false;
};
