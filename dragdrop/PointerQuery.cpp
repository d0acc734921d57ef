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

} // namespace

CPointerQuery& CPointerQuery::Real() {
    static CSystemPointerQuery systemQuery;
    return systemQuery;
}
