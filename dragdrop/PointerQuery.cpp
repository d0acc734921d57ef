#include "dragdrop/PointerQuery.h"

#include "dragdrop/X11Input.h"

namespace {

class CSystemPointerQuery : public CPointerQuery {
public:
    std::optional<State> Query() override { return X11Input::QueryPointer(); }
};

} // namespace

CPointerQuery& CPointerQuery::Real() {
    static CSystemPointerQuery systemQuery;
    return systemQuery;
}
