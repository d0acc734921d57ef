#include "dragdrop/DragRunner.h"

#include "dragdrop/DragCanceller.h"

#include <QDrag>

namespace {

class CQtDragRunner : public CDragRunner {
public:
    Qt::DropAction Run(QDrag* drag, Qt::DropActions actions) override {
        // Escape and the right button cancel, wherever the keyboard focus is.
        const CDragCanceller canceller;
        // Qt releases the drag itself when the target is done with it.
        return drag->exec(actions, Qt::CopyAction);
    }
};

} // namespace

CDragRunner& CDragRunner::Real() {
    static CQtDragRunner qtRunner;
    return qtRunner;
}
