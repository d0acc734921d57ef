#include "dragdrop/PointerQuery.h"

#include "dragdrop/X11Input.h"

namespace {

class CSystemPointerQuery : public CPointerQuery {
public:
    std::optional<State> Query() override {
        if (const std::optional<X11Input::Pointer> pointer = X11Input::QueryPointer()) {
            return State{pointer->global, pointer->buttons};
        }
        return std::nullopt;
    }
};

CPointerQuery* g_current = nullptr;

} // namespace

CPointerQuery& CPointerQuery::Current() {
    static CSystemPointerQuery systemQuery;
    return g_current != nullptr ? *g_current : systemQuery;
}

CPointerQuery* CPointerQuery::SetCurrent(CPointerQuery* query) {
    CPointerQuery* previous = g_current;
    g_current = query;
    return previous;
}
