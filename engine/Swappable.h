#pragma once

#include <utility>

// A service the program reaches through Service::Current(): the real one
// (Service::Real()) unless a test has swapped in a scripted one with
// SetCurrent. Service derives from CSwappable<Service> and befriends it.
template <class Service>
class CSwappable {
public:
    // The service in use.
    static Service& Current() { return s_swapped != nullptr ? *s_swapped : Service::Real(); }
    // Swaps in `service` (null restores the real one); returns the previous one.
    static Service* SetCurrent(Service* service) { return std::exchange(s_swapped, service); }

private:
    static inline Service* s_swapped = nullptr;
};
