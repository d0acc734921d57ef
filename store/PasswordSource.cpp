#include "store/PasswordSource.h"

#include "store/LibraryLocation.h"

#include <map>
#include <mutex>
#include <tuple>
#include <utility>

#include <pwd.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
// How many CNoOneToAsk cover this thread now.
thread_local int t_noOneToAsk = 0;
// Whether the source is being asked on this thread now. Per thread: a
// dialog only ever shows on the window's thread, and the watch's thread
// asking meanwhile (and being told no) must not turn the user's own
// question away.
thread_local bool t_asking = false;

PasswordSource& Source() {
    static PasswordSource source;
    return source;
}

// Which login a password belongs to.
using LoginKey = std::tuple<QString, int, QString, QString>;

std::map<LoginKey, QString>& Passwords() {
    static std::map<LoginKey, QString> passwords;
    return passwords;
}

LoginKey KeyOf(const CLibraryLocation& location) {
    return {location.Host(), location.Port(), LoginName(location), location.DatabaseName()};
}

} // namespace

void SetPasswordSource(PasswordSource source) {
    const std::lock_guard lock(g_mutex);
    Source() = std::move(source);
}

bool MayAskForPassword() {
    return t_noOneToAsk == 0 && !t_asking;
}

std::optional<QString> AskForPassword(const PasswordRequest& request) {
    PasswordSource source;
    {
        const std::lock_guard lock(g_mutex);
        source = Source();
    }
    if (!source || !MayAskForPassword()) {
        return std::nullopt;
    }
    t_asking = true;
    struct QuestionClosed {
        ~QuestionClosed() { t_asking = false; }
    } closed;
    return source(request);
}

CNoOneToAsk::CNoOneToAsk() {
    ++t_noOneToAsk;
}

CNoOneToAsk::~CNoOneToAsk() {
    --t_noOneToAsk;
}

QString LoginName(const CLibraryLocation& location) {
    if (!location.UserName().isEmpty()) {
        return location.UserName();
    }
    const QString fromEnvironment = qEnvironmentVariable("PGUSER");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    const passwd* user = ::getpwuid(::geteuid());
    return user != nullptr ? QString::fromLocal8Bit(user->pw_name) : QString();
}

void RememberPassword(const CLibraryLocation& location, const QString& password) {
    const LoginKey key = KeyOf(location);
    const std::lock_guard lock(g_mutex);
    Passwords()[key] = password;
}

std::optional<QString> RememberedPassword(const CLibraryLocation& location) {
    const LoginKey key = KeyOf(location);
    const std::lock_guard lock(g_mutex);
    const auto found = Passwords().find(key);
    return found == Passwords().end() ? std::nullopt : std::optional(found->second);
}

void ForgetPassword(const CLibraryLocation& location) {
    const LoginKey key = KeyOf(location);
    const std::lock_guard lock(g_mutex);
    Passwords().erase(key);
}

void ForgetAllPasswords() {
    const std::lock_guard lock(g_mutex);
    Passwords().clear();
}
